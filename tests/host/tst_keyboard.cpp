// Typed keys on the line: what goes out, in which form, and when nothing
// does.
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QPlainTextEdit>
#include <QScrollBar>
#include <QTextBlock>
#include <QtTest>

#include "FormFixture.h"
#include "LinkScript.h"

using namespace LinkScript;

namespace {
// A key press the way a keyboard layout delivers it.
void Press(QWidget* w, int key, Qt::KeyboardModifiers mods, const QString& text) {
    QKeyEvent press(QEvent::KeyPress, key, mods, text);
    QApplication::sendEvent(w, &press);
}
QString Shown(const THoofdForm& form) {
    return form.ZendWindow->toPlainText();
}
} // namespace

class KeyboardTest : public QObject {
    Q_OBJECT
private slots:
    void connectedLetterThenEnter();
    void listenShowsButSendsNothing();
    void ctrlDConnectedAndInDumbMode();
    void escapeNeverSentAndEndsReadBack();
    void everyKeyValue();
    void whenKeysGoOut_data();
    void whenKeysGoOut();
    void refusedCharactersNeitherShownNorSent();
    void altLettersNeverType();
};

void KeyboardTest::connectedLetterThenEnter() {
    FormFixture f;
    THoofdForm& form = f.Create();
    Connect(f, false, true);
    f.serial.ClearWritten();
    QTest::keyClick(form.ZendWindow, Qt::Key_A);
    QTest::keyClick(form.ZendWindow, Qt::Key_Return);
    QCOMPARE(f.Written(), QByteArray("\x01 a\x17\x01 \r\x17"));
    QVERIFY(Shown(form).startsWith("a\n"));
}

void KeyboardTest::listenShowsButSendsNothing() {
    FormFixture f;
    THoofdForm& form = f.Create();
    Listen(f);
    form.StopTimers();
    f.serial.ClearWritten();
    const quint64 before = f.clock.Elapsed();
    QTest::keyClicks(form.ZendWindow, "cq\tde");
    QCOMPARE(f.Written(), QByteArray());
    QVERIFY(Shown(form).startsWith("cq\tde\n"));
    // The first key starts the stopped timers, with their pause; the keys
    // after it find them running and leave them alone, without a pause.
    QVERIFY(form.StatusAanvraagTimer.isActive());
    QVERIFY(f.clock.Elapsed() - before >= 100);
    QVERIFY(f.clock.Elapsed() - before < 2 * 100);
    // A key that types nothing is no key for the transmit path.
    form.StopTimers();
    QTest::keyClick(form.ZendWindow, Qt::Key_Left);
    QVERIFY(!form.StatusAanvraagTimer.isActive());
}

void KeyboardTest::ctrlDConnectedAndInDumbMode() {
    FormFixture f;
    THoofdForm& form = f.Create();
    Connect(f, false, true);
    f.serial.ClearWritten();
    QTest::keyClick(form.ZendWindow, Qt::Key_D, Qt::ControlModifier);
    QCOMPARE(f.Written(), QByteArray("\x01 \x04\x17"));
    QCOMPARE(form.ZendWindow->document()->lastBlock().text(), QString("CTRL-D"));

    Standby(f);
    form.st.DumbMode = true;
    f.serial.ClearWritten();
    QTest::keyClick(form.ZendWindow, Qt::Key_D, Qt::ControlModifier);
    QTest::keyClick(form.ZendWindow, Qt::Key_X);
    QCOMPARE(f.Written(), QByteArray("\x04x"));
}

void KeyboardTest::escapeNeverSentAndEndsReadBack() {
    FormFixture f;
    THoofdForm& form = f.Create();
    form.show();
    Connect(f, false, true);
    for (int i = 0; i < 200; ++i)
        form.ReceiveWindow->appendPlainText(QStringLiteral("line %1").arg(i));
    QScrollBar* bar = form.ReceiveWindow->verticalScrollBar();
    bar->setValue(bar->maximum() - 20);
    form.st.ScrollBackMode = true;
    f.serial.ClearWritten();
    QTest::keyClick(form.ZendWindow, Qt::Key_Escape);
    QCOMPARE(bar->value(), bar->maximum());
    // Without read-back Escape leaves the receive window where it is.
    form.st.ScrollBackMode = false;
    bar->setValue(5);
    QTest::keyClick(form.ZendWindow, Qt::Key_Escape);
    QCOMPARE(bar->value(), 5);
    QCOMPARE(f.Written(), QByteArray());
}

void KeyboardTest::everyKeyValue() {
    // With a link up: the ten control keys as control characters with their
    // note, 8 to 13 and 32 to 255 as text, nothing else.
    FormFixture f;
    THoofdForm& form = f.Create();
    Connect(f, false, true);
    const QList<int> control = {2, 3, 4, 6, 17, 19, 21, 22, 25, 26};
    for (int k = 0; k < 256; ++k) {
        f.serial.ClearWritten();
        const int lines = form.ZendWindow->blockCount();
        form.ZendWindowKeyPress(quint8(k));
        const bool sent = control.contains(k) || (k >= 8 && k <= 13) || k >= 32;
        QCOMPARE(f.Written(), sent ? "\x01 " + QByteArray(1, char(k)) + "\x17" : QByteArray());
        QCOMPARE(form.ZendWindow->blockCount(), lines + (control.contains(k) ? 1 : 0));
        if (control.contains(k))
            QCOMPARE(form.ZendWindow->document()->lastBlock().text(),
                     QStringLiteral("CTRL-") + QChar('A' + k - 1));
    }
    // Ctrl+A and Ctrl+W, the frame's start and end bytes, from the keyboard
    // on two layouts; Backspace and Tab as text.
    f.serial.ClearWritten();
    QTest::keyClick(form.ZendWindow, Qt::Key_A, Qt::ControlModifier);
    Press(form.ZendWindow, 0x0446, Qt::ControlModifier, "\x17");
    QTest::keyClick(form.ZendWindow, Qt::Key_Backspace);
    QTest::keyClick(form.ZendWindow, Qt::Key_Tab);
    QCOMPARE(f.Written(), QByteArray("\x01 \b\x17\x01 \t\x17"));
}

void KeyboardTest::whenKeysGoOut_data() {
    QTest::addColumn<QList<QByteArray>>("replies");
    QTest::addColumn<bool>("sent");
    QTest::newRow("PACTOR listen") << QList<QByteArray>{"OPPN3---0"} << false;
    QTest::newRow("AMTOR calling") << QList<QByteArray>{"OPAC1---0"} << false;
    // RTTY before transmitting is switched on.
    QTest::newRow("RTTY standby") << QList<QByteArray>{"OPBA0---0"} << true;
    QTest::newRow("unproto") << QList<QByteArray>{"OPPD4S-0"} << true;
    QTest::newRow("FEC") << QList<QByteArray>{"OPFE4S-0", "OPFE4S-0"} << true;
    QTest::newRow("FEC receive") << QList<QByteArray>{"OPFE4--0"} << false;
    QTest::newRow("AMTOR link, receiving") << QList<QByteArray>{"OPAC1---0", "OPAC3--0"} << true;
    QTest::newRow("link ended") << QList<QByteArray>{"OPPG1---0", "OPPG3S-0", "OPPt0---0"} << false;
}

void KeyboardTest::whenKeysGoOut() {
    QFETCH(QList<QByteArray>, replies);
    QFETCH(bool, sent);
    FormFixture f;
    THoofdForm& form = f.Create();
    for (const QByteArray& r : replies)
        Feed(f, Reply(r));
    f.serial.ClearWritten();
    QTest::keyClick(form.ZendWindow, Qt::Key_K);
    QCOMPARE(f.Written(), sent ? QByteArray("\x01 k\x17") : QByteArray());
}

void KeyboardTest::refusedCharactersNeitherShownNorSent() {
    FormFixture f;
    THoofdForm& form = f.Create();
    Connect(f, false, true);
    form.StopTimers();
    f.serial.ClearWritten();
    const QString before = Shown(form);
    Press(form.ZendWindow, 0x0436, Qt::NoModifier, QString(QChar(0x0436)));
    QInputMethodEvent composed(QString(), {});
    composed.setCommitString(QString(QChar(0x0151)));
    QApplication::sendEvent(form.ZendWindow, &composed);
    QCOMPARE(Shown(form), before);
    QCOMPARE(f.Written(), QByteArray());
    QVERIFY(!form.StatusAanvraagTimer.isActive()); // no key at all

    // Characters of the set go out as their one byte and show as themselves,
    // typed or composed.
    Press(form.ZendWindow, Qt::Key_E, Qt::ControlModifier | Qt::AltModifier,
          QString(QChar(0x20AC)));
    composed.setCommitString(QString(QChar(0xFC)));
    QApplication::sendEvent(form.ZendWindow, &composed);
    QCOMPARE(f.Written(), QByteArray("\x01 \x80\x17\x01 \xFC\x17"));
    QVERIFY(Shown(form).startsWith(QString(QChar(0x20AC)) + QChar(0xFC) + "\n"));
}

void KeyboardTest::altLettersNeverType() {
    // Alt with a letter no menu item claims types and sends nothing; Alt with
    // a menu item's letter still reaches the item, and AltGr still types.
    FormFixture f;
    f.WriteFile("Dervalo.INI", FormFixture::Settings());
    THoofdForm& form = f.Start();
    form.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&form));
    Connect(f, false, true);
    form.StopTimers();
    form.ZendWindow->setFocus();
    f.serial.ClearWritten();
    const QString before = Shown(form);
    QTest::keyClick(form.ZendWindow, Qt::Key_Q, Qt::AltModifier);
    QTest::keyClick(form.ZendWindow, Qt::Key_Q, Qt::AltModifier | Qt::ShiftModifier);
    QTest::keyClick(form.ZendWindow, Qt::Key_1, Qt::AltModifier);
    QCOMPARE(Shown(form), before);
    QCOMPARE(f.Written(), QByteArray());
    QVERIFY(!form.StatusAanvraagTimer.isActive()); // no key at all

    Press(form.ZendWindow, Qt::Key_At, Qt::GroupSwitchModifier, "@");
    Press(form.ZendWindow, Qt::Key_E, Qt::ControlModifier | Qt::AltModifier,
          QString(QChar(0x20AC)));
    QCOMPARE(f.Written(), QByteArray("\x01 @\x17\x01 \x80\x17"));
    QCOMPARE(Shown(form), QString(QChar('@')) + QChar(0x20AC) + before);

    // Alt+D: the disconnect while this side sends.
    f.serial.ClearWritten();
    QTest::keyClick(form.ZendWindow, Qt::Key_D, Qt::AltModifier);
    QCOMPARE(f.Written(), QByteArray("\x01 \x04\x17"));
    // Alt+T: the transmit window cleared.
    QTest::keyClick(form.ZendWindow, Qt::Key_T, Qt::AltModifier);
    QVERIFY(Shown(form).isEmpty());
}

QTEST_MAIN(KeyboardTest)
#include "tst_keyboard.moc"
