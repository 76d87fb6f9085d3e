// Status replies as the operator sees them: the panes of the status line,
// its colours, the "Log" lamp and the mode buttons.
#include <QLabel>
#include <QToolButton>
#include <QtTest>

#include "FormFixture.h"

namespace {
QByteArray Reply(const QByteArray& body) {
    return "\x01O" + body + "\x17";
}
QByteArray Link(const QByteArray& body) {
    return "\x01P" + body + "\x17";
}
QColor Back(QLabel* l) {
    return l->palette().color(QPalette::Window);
}
QColor Fore(QLabel* l) {
    return l->palette().color(QPalette::WindowText);
}
} // namespace

class StatusLineTest : public QObject {
    Q_OBJECT
private slots:
    void listen();
    void callThenConnected();
    void fecMark();
    void rttyMark();
    void shortReplyAndPunctuation();
    void unlistedCode();
    void logLamp();

private:
    void Feed(FormFixture& f, const QByteArray& bytes) {
        f.serial.FeedInput(bytes);
        // Whole frames may wait in the frame reader after the line is read.
        while (f.form->V24Data())
            f.form->GETV24Data();
    }
};

void StatusLineTest::listen() {
    FormFixture f;
    f.WriteFile("Dervalo.INI", FormFixture::Settings());
    THoofdForm& form = f.Create();
    Feed(f, Reply("OPPN3---0"));
    QCOMPARE(form.Pane1->text(), QString("PACTOR"));
    QCOMPARE(form.Pane2->text(), QString("LISTEN"));
    QCOMPARE(form.Pane3->text(), QString());
    QCOMPARE(form.Pane4->text(), QString("IDLE"));
    QCOMPARE(form.Pane5->text(), QString("RECEIVE"));
    QCOMPARE(Back(form.Pane5), QColor(0, 255, 0));
    QCOMPARE(Fore(form.Pane5), QColor(Qt::black));
    QVERIFY(form.PactorCall->isEnabled());
    QVERIFY(!form.pactorDisconnect->isEnabled());
}

void StatusLineTest::callThenConnected() {
    FormFixture f;
    f.WriteFile("Dervalo.INI", FormFixture::Settings());
    THoofdForm& form = f.Create();
    form.st.HisCall = "PA3XYZ";
    Feed(f, Reply("OPPG1---0"));
    QCOMPARE(form.Pane2->text(), QString("CALLING"));
    QCOMPARE(form.Pane3->text(), QString("PA3XYZ"));
    QCOMPARE(form.Pane4->text(), QString()); // not yet connected, not listening
    QCOMPARE(form.Pane5->text(), QString());

    const quint64 before = f.clock.Elapsed();
    Feed(f, Link(" CONNECTED to DL1ABC") + Reply("OPPG3S-1"));
    QVERIFY(form.st.IsConnected);
    QVERIFY(f.clock.Elapsed() - before >= 200); // the controller is given time
    QCOMPARE(form.Pane2->text(), QString("CONNECT"));
    QCOMPARE(form.Pane3->text(), QString("DL1ABC"));
    QCOMPARE(form.Pane4->text(), QString("IDLE"));
    QCOMPARE(form.Pane5->text(), QString("TRANSMIT"));
    QCOMPARE(Back(form.Pane5), QColor(255, 0, 0));
    QCOMPARE(Fore(form.Pane5), QColor(Qt::white));
    // The mode buttons are locked, the disconnect buttons free; the AMTOR
    // call button is never touched.
    for (QToolButton* b : {form.PactorStb, form.PactorListen, form.PactorUnpro, form.PactorCQ,
                           form.PactorCall, form.PactorListCall, form.AmtorStb, form.AmtorListen,
                           form.AmtorFEC, form.AmtorCQ, form.AmtorListcall})
        QVERIFY2(!b->isEnabled(), qPrintable(b->objectName()));
    for (QToolButton* b : {form.pactorDisconnect, form.PactorHardDisconnect, form.AmtorDisConnect,
                           form.AmtorHardDisconnect})
        QVERIFY2(b->isEnabled(), qPrintable(b->objectName()));
    QVERIFY(form.Amtorcall->isEnabled());

    Feed(f, Reply("OPPG4--1"));
    QCOMPARE(form.Pane4->text(), QString("TRAFFIC Huff"));
    QCOMPARE(form.Pane5->text(), QString("RECEIVE"));

    // Phase 0 ends the link.
    Feed(f, Reply("OPPt0--0"));
    QVERIFY(!form.st.IsConnected);
    QCOMPARE(form.Pane2->text(), QString("STANDBY"));
    QCOMPARE(form.Pane3->text(), QString());
    QCOMPARE(form.Pane4->text(), QString());
    QCOMPARE(form.st.LinkPhaseText, QString("      "));
    QVERIFY(form.PactorCall->isEnabled());
    QVERIFY(!form.pactorDisconnect->isEnabled());
}

void StatusLineTest::fecMark() {
    FormFixture f;
    f.WriteFile("Dervalo.INI", FormFixture::Settings());
    THoofdForm& form = f.Create();
    Feed(f, Reply("OPFE4S-0"));
    QCOMPARE(form.Pane1->text(), QString("AMTOR"));
    QCOMPARE(form.Pane2->text(), QString("R"));
    QCOMPARE(form.Pane5->text(), QString("TRANSMIT"));
    Feed(f, Reply("OPFE4S-0"));
    QCOMPARE(form.Pane2->text(), QString("FEC"));
}

void StatusLineTest::rttyMark() {
    FormFixture f;
    f.WriteFile("Dervalo.INI", FormFixture::Settings());
    THoofdForm& form = f.Create();
    Feed(f, Reply("OPBAS---"));
    QCOMPARE(form.Pane1->text(), QString("RTTY"));
    QCOMPARE(form.Pane2->text(), QString("STANDBY"));
    QCOMPARE(form.Pane5->text(), QString("TRANSMIT"));
    Feed(f, Reply("OPBAS---"));
    QCOMPARE(form.Pane2->text(), QString());
    // Back to receive: the pane empties at once, the state follows a reply
    // later (it reads the mark of the reply before).
    Feed(f, Reply("OPBA----"));
    QCOMPARE(form.Pane2->text(), QString());
    QCOMPARE(form.Pane5->text(), QString());
    // No longer red once the transmission is over.
    QCOMPARE(Back(form.Pane5), Back(form.Pane4));
    QCOMPARE(Fore(form.Pane5), Fore(form.Pane4));
    Feed(f, Reply("OPBA----"));
    QCOMPARE(form.Pane2->text(), QString("STANDBY"));
}

void StatusLineTest::shortReplyAndPunctuation() {
    FormFixture f;
    f.WriteFile("Dervalo.INI", FormFixture::Settings());
    THoofdForm& form = f.Create();
    Feed(f, Reply("OPPN3--10"));
    QCOMPARE(form.st.CompressionText, QString("Huff"));
    // Four kept characters: only the compression changes.
    Feed(f, Reply("GG\x00\x05!"));
    QCOMPARE(form.st.StatusReplyText, QString("GG"));
    QCOMPARE(form.st.CompressionText, QString("Ascii"));
    QCOMPARE(form.Pane2->text(), QString("LISTEN"));
    // Punctuation is dropped before positions count: "O/P" is "OP".
    Feed(f, Reply("O/PAL3\x07---"));
    QCOMPARE(form.st.StatusReplyText, QString("OPAL3---"));
    QCOMPARE(form.Pane1->text(), QString("AMTOR"));
    QCOMPARE(form.Pane2->text(), QString("LISTEN"));
    // The reply keeps 20 characters at most.
    Feed(f, Reply("OPAL3" + QByteArray(40, 'x')));
    QCOMPARE(form.st.StatusReplyText.size(), 20);
}

void StatusLineTest::unlistedCode() {
    FormFixture f;
    f.WriteFile("Dervalo.INI", FormFixture::Settings());
    THoofdForm& form = f.Create();
    Feed(f, Reply("OPPN3---"));
    Feed(f, Reply("OPZZ3---"));
    QCOMPARE(form.Pane1->text(), QString());
    QCOMPARE(form.Pane2->text(), QString("LISTEN"));
}

void StatusLineTest::logLamp() {
    FormFixture f;
    f.WriteFile("Dervalo.INI", FormFixture::Settings());
    THoofdForm& form = f.Create();
    form.StatusLine();
    QCOMPARE(Back(form.LogLed), QColor(0, 255, 0));
    QCOMPARE(form.LogLed->toolTip(), QString("No Log File"));
    form.st.LogFileOpen = true;
    form.StatusLine();
    QCOMPARE(Back(form.LogLed), QColor(255, 0, 0));
    QCOMPARE(Fore(form.LogLed), QColor(Qt::white));
    QCOMPARE(form.LogLed->toolTip(), QString("Log File is open"));
    form.st.LogFileOpen = false;
}

QTEST_MAIN(StatusLineTest)
#include "tst_statusline.moc"
