// CQ calls and the one-way transmissions: what each key and button sends in
// each mode, the toggles on the link state, the CQ files found in any letter
// case, and their messages when missing.
#include <QAction>
#include <QDir>
#include <QPlainTextEdit>
#include <QToolButton>
#include <QtTest>

#include "FormFixture.h"

namespace {
const QByteArray kEnd04("\x01\x20\x04\x17", 4);
const QByteArray kUnpro("\x01OPD\x17"), kFec("\x01OFE\x17"), kXmit("\x01OXM\x17");

QByteArray Data(const QByteArray& text) {
    return QByteArray("\x01 ") + text + "\x17";
}

struct Rig {
    FormFixture f;
    THoofdForm* form = nullptr;
    Rig(const QString& mode, const QString& state) {
        f.WriteFile("Dervalo.INI", FormFixture::Settings());
        form = &f.Start();
        form->st.ModeName = mode;
        form->st.LinkStateText = state;
        form->st.DumbMode = mode == "DUMB";
        f.serial.ClearWritten();
        f.prompts.log.clear();
    }
    QByteArray Take() {
        const QByteArray w = f.Written();
        f.serial.ClearWritten();
        return w;
    }
};
} // namespace

class BroadcastsTest : public QObject {
    Q_OBJECT
private slots:
    void oneWayToggles_data();
    void oneWayToggles();
    void cqCalls_data();
    void cqCalls();
    void missingCQFile_data();
    void missingCQFile();
    void unreadableCQFileLeavesNoCQBehind();
};

void BroadcastsTest::oneWayToggles_data() {
    QTest::addColumn<QString>("mode");
    QTest::addColumn<QString>("state");
    QTest::addColumn<QByteArray>("f7");
    QTest::addColumn<QByteArray>("altF7");
    QTest::addColumn<QByteArray>("ctrlF7");
    const QByteArray no;
    QTest::newRow("PACTOR standby") << "PACTOR"
                                    << "STANDBY" << kUnpro << no << no;
    QTest::newRow("PACTOR listen") << "PACTOR"
                                   << "LISTEN" << kUnpro << no << no;
    QTest::newRow("PACTOR unproto") << "PACTOR"
                                    << "UNPRO" << kEnd04 << no << no;
    QTest::newRow("PACTOR calling") << "PACTOR"
                                    << "CALLING" << kEnd04 << no << no;
    QTest::newRow("AMTOR standby") << "AMTOR"
                                   << "STANDBY" << no << kFec << no;
    QTest::newRow("AMTOR FEC") << "AMTOR"
                               << "FEC" << no << kEnd04 << no;
    QTest::newRow("AMTOR, unproto text") << "AMTOR"
                                         << "UNPRO" << no << kFec << no;
    QTest::newRow("RTTY") << "RTTY"
                          << "" << no << no << kXmit;
    QTest::newRow("RTTY, FEC text") << "RTTY"
                                    << "FEC" << no << no << kXmit;
    QTest::newRow("dumb terminal") << "DUMB"
                                   << "" << no << no << no;
    QTest::newRow("no mode") << ""
                             << "" << no << no << no;
}

void BroadcastsTest::oneWayToggles() {
    QFETCH(QString, mode);
    QFETCH(QString, state);
    QFETCH(QByteArray, f7);
    QFETCH(QByteArray, altF7);
    QFETCH(QByteArray, ctrlF7);
    Rig r(mode, state);
    r.form->MenuUnpro->trigger();
    QCOMPARE(r.Take(), f7);
    r.form->MenuAmtorFec->trigger();
    QCOMPARE(r.Take(), altF7);
    r.form->MenuBaudotTransmit->trigger();
    QCOMPARE(r.Take(), ctrlF7);
    // The page buttons do what their menu items do; the RTTY transmit and
    // receive buttons send their frames in any mode.
    r.form->PactorUnpro->click();
    r.form->AmtorFEC->click();
    QCOMPARE(r.Take(), f7 + altF7);
    r.form->RttyTransmit->click();
    r.form->RttyReceive->click();
    QCOMPARE(r.Take(), QByteArray("\x01OXM\x17\x01ORC\x17"));
    // F8 in the dumb terminal does nothing at all; elsewhere it looks for the
    // mode's CQ file (there is none here).
    r.form->MenuCallCQ->trigger();
    QCOMPARE(r.Take(), QByteArray());
    QCOMPARE(r.f.prompts.Boxes().size(), mode == "PACTOR" || mode == "AMTOR" || mode == "RTTY");
}

void BroadcastsTest::cqCalls_data() {
    QTest::addColumn<QString>("mode");
    QTest::addColumn<QString>("state");
    QTest::addColumn<QString>("button"); // empty: F8
    QTest::addColumn<QByteArray>("start");
    // The CQ files are found in any letter case.
    QTest::newRow("PACTOR, F8") << "PACTOR"
                                << "STANDBY"
                                << "" << kUnpro;
    QTest::newRow("PACTOR, button") << "PACTOR"
                                    << "LISTEN"
                                    << "PactorCQ" << kUnpro;
    // An unproto transmission already running is ended by the toggle first.
    QTest::newRow("PACTOR in unproto") << "PACTOR"
                                       << "UNPRO"
                                       << "PactorCQ" << kEnd04;
    QTest::newRow("AMTOR, F8") << "AMTOR"
                               << "STANDBY"
                               << "" << kFec;
    QTest::newRow("AMTOR, button") << "AMTOR"
                                   << ""
                                   << "AmtorCQ" << kFec;
    QTest::newRow("RTTY, F8") << "RTTY"
                              << ""
                              << "" << kXmit;
    // The RTTY page's button while the mode is still PACTOR: no Baudot
    // transmit command, the file goes out all the same.
    QTest::newRow("RTTY button in PACTOR") << "PACTOR"
                                           << "STANDBY"
                                           << "RttyCQ" << QByteArray();
}

void BroadcastsTest::cqCalls() {
    QFETCH(QString, mode);
    QFETCH(QString, state);
    QFETCH(QString, button);
    QFETCH(QByteArray, start);
    Rig r(mode, state);
    r.f.WriteFile("dervalo.cqp", "CQ CQ de PA0ABC\r\npse k\r\n");
    r.f.WriteFile("DERVALO.CQA", "CQ FEC\r\n");
    r.f.WriteFile("Dervalo.cqB", "RYRYRY\r\nCQ RTTY");
    const QMap<QString, QByteArray> lines{{"PACTOR", Data("CQ CQ de PA0ABC\r") + Data("pse k\r")},
                                          {"AMTOR", Data("CQ FEC\r")},
                                          {"RTTY", Data("RYRYRY\r") + Data("CQ RTTY\r")}};
    const QString fileMode = button == "RttyCQ" ? QString("RTTY") : mode;
    if (button.isEmpty())
        r.form->MenuCallCQ->trigger();
    else
        r.form->findChild<QToolButton*>(button)->click();
    // The lines follow the start of the one-way transmission, are shown in
    // the transmit window, and 0x04 in a data frame ends the call.
    QCOMPARE(r.f.Written(), start + lines[fileMode] + kEnd04);
    QCOMPARE(r.form->ZendWindow->toPlainText().split('\n', Qt::SkipEmptyParts).size(),
             lines[fileMode].count("\x01 "));
    QVERIFY(r.f.prompts.log.isEmpty());
    QVERIFY(!r.form->st.SendingCQ);
    QVERIFY(!r.form->st.FileTransmitActive);
    QVERIFY(r.form->StatusAanvraagTimer.isActive());
}

void BroadcastsTest::missingCQFile_data() {
    QTest::addColumn<QString>("mode");
    QTest::addColumn<QString>("message");
    QTest::newRow("PACTOR") << "PACTOR"
                            << "File Dervalo.CQP not found !";
    QTest::newRow("AMTOR") << "AMTOR"
                           << "File Dervalo.CQA not found !";
    QTest::newRow("RTTY") << "RTTY"
                          << "File Dervalo.CQB not found !";
}

void BroadcastsTest::missingCQFile() {
    // Only the message: no transmission started, nothing sent.
    QFETCH(QString, mode);
    QFETCH(QString, message);
    Rig r(mode, "STANDBY");
    r.f.WriteFile("Dervalo.CQX", "CQ\r\n");
    r.form->MenuCallCQ->trigger();
    QCOMPARE(r.f.prompts.Boxes(), QStringList{"Dervalo    Warning|" + message});
    QCOMPARE(r.f.Written(), QByteArray());
    QVERIFY(!r.form->st.SendingCQ);
}

void BroadcastsTest::unreadableCQFileLeavesNoCQBehind() {
    // A CQ "file" that is a folder cannot be read: the error is shown, no
    // transmission is started or ended, and a file sent later is not taken
    // for a CQ call.
    for (const char* state : {"UNPRO", "LISTEN"}) {
        Rig r("PACTOR", state);
        QVERIFY(QDir(r.f.dir.path()).mkdir("Dervalo.CQP"));
        r.form->PactorCQ->click();
        QCOMPARE(r.f.prompts.Boxes(), QStringList{"Dervalo|File access denied"});
        QCOMPARE(r.Take(), QByteArray());
        QVERIFY(!r.form->st.SendingCQ);
        r.f.WriteFile("plain.txt", "hello\r\n");
        r.form->SendFile(r.f.Path("plain.txt"));
        QCOMPARE(r.Take(), Data("hello\r"));
    }
}

QTEST_MAIN(BroadcastsTest)
#include "tst_broadcasts.moc"
