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
// A key press and release the way a keyboard delivers it, with the text it
// types.
void Press(QWidget* w, int key, Qt::KeyboardModifiers mods, const QString& text) {
    QKeyEvent press(QEvent::KeyPress, key, mods, text);
    QApplication::sendEvent(w, &press);
    QKeyEvent release(QEvent::KeyRelease, key, mods, text);
    QApplication::sendEvent(w, &release);
}
QString Shown(const THoofdForm& form) {
    return form.ZendWindow->toPlainText();
}
QString LastLine(const THoofdForm& form) {
    return form.ZendWindow->document()->lastBlock().text();
}
} // namespace

class KeyboardTest : public QObject {
    Q_OBJECT
private slots:
    void connectedLetterThenEnter();
    void listenSendsNothingButShows();
    void ctrlDConnectedAndInDumbMode();
    void escapeNeverSentAndEndsReadBack();
    void frameBytesNeverSent();
    void everyKeyValue();
    void backspaceAndTabAsText();
    void whenKeysGoOut_data();
    void whenKeysGoOut();
    void everyKeyRestartsTheTimers();
    void refusedCharactersNeitherShownNorSent();
    void composedCharacters();
};

void KeyboardTest::connectedLetterThenEnter() {
    FormFixture f;
    THoofdForm& form = f.Create();
    Connect(f, false, true);
    f.serial.ClearWritten();
    QTest::keyClick(form.ZendWindow, Qt::Key_A);
    QTest::keyClick(form.ZendWindow, Qt::Key_Return);
    QCOMPARE(f.Written(), QByteArray("\x01 a\x17\x01 \r\x17"));
    // The window shows the key as typed.
    QVERIFY(Shown(form).startsWith("a\n"));
}

void KeyboardTest::listenSendsNothingButShows() {
    FormFixture f;
    THoofdForm& form = f.Create();
    Listen(f);
    f.serial.ClearWritten();
    QTest::keyClicks(form.ZendWindow, "cq de pa0abc");
    QTest::keyClick(form.ZendWindow, Qt::Key_Return);
    QCOMPARE(f.Written(), QByteArray());
    QVERIFY(Shown(form).startsWith("cq de pa0abc\n"));
    // Calling is no link yet.
    Feed(f, Reply("OPPG1---0"));
    QCOMPARE(form.st.LinkStateText, QString("CALLING"));
    f.serial.ClearWritten();
    QTest::keyClick(form.ZendWindow, Qt::Key_X);
    QCOMPARE(f.Written(), QByteArray());
}

void KeyboardTest::ctrlDConnectedAndInDumbMode() {
    FormFixture f;
    THoofdForm& form = f.Create();
    Connect(f, false, true);
    f.serial.ClearWritten();
    QTest::keyClick(form.ZendWindow, Qt::Key_D, Qt::ControlModifier);
    QCOMPARE(f.Written(), QByteArray("\x01 \x04\x17"));
    QCOMPARE(LastLine(form), QString("CTRL-D"));

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
    QVERIFY(bar->maximum() > 20);
    bar->setValue(bar->maximum() - 20);
    form.st.ScrollBackMode = true;
    f.serial.ClearWritten();
    QTest::keyClick(form.ZendWindow, Qt::Key_Escape);
    QCOMPARE(bar->value(), bar->maximum());
    QCOMPARE(f.Written(), QByteArray());

    // Without read-back Escape leaves the receive window where it is.
    form.st.ScrollBackMode = false;
    bar->setValue(5);
    QTest::keyClick(form.ZendWindow, Qt::Key_Escape);
    QCOMPARE(bar->value(), 5);
    QCOMPARE(f.Written(), QByteArray());
}

void KeyboardTest::frameBytesNeverSent() {
    FormFixture f;
    THoofdForm& form = f.Create();
    Connect(f, false, true);
    f.serial.ClearWritten();
    // Ctrl+A and Ctrl+W equal the frame's start and end bytes.
    QTest::keyClick(form.ZendWindow, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClick(form.ZendWindow, Qt::Key_W, Qt::ControlModifier);
    Press(form.ZendWindow, Qt::Key_A, Qt::ControlModifier, "\x01");
    Press(form.ZendWindow, 0x0446, Qt::ControlModifier, "\x17"); // Cyrillic layout
    QCOMPARE(f.Written(), QByteArray());
    QVERIFY(!Shown(form).contains("CTRL-"));
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
        if (control.contains(k)) {
            QCOMPARE(LastLine(form), QStringLiteral("CTRL-") + QChar('A' + k - 1));
            QCOMPARE(form.ZendWindow->blockCount(), lines + 1);
        } else {
            QCOMPARE(form.ZendWindow->blockCount(), lines);
        }
    }
}

void KeyboardTest::backspaceAndTabAsText() {
    FormFixture f;
    THoofdForm& form = f.Create();
    Connect(f, true, true);
    f.serial.ClearWritten();
    QTest::keyClicks(form.ZendWindow, "ab");
    QTest::keyClick(form.ZendWindow, Qt::Key_Backspace);
    QTest::keyClick(form.ZendWindow, Qt::Key_Tab);
    QCOMPARE(f.Written(), QByteArray("\x01 a\x17\x01 b\x17\x01 \b\x17\x01 \t\x17"));
    // Tab is typed into the window, not a move of the focus.
    QVERIFY(Shown(form).startsWith("a\t"));
}

void KeyboardTest::whenKeysGoOut_data() {
    QTest::addColumn<QList<QByteArray>>("replies");
    QTest::addColumn<bool>("sent");
    QTest::newRow("PACTOR listen") << QList<QByteArray>{"OPPN3---0"} << false;
    QTest::newRow("PACTOR standby") << QList<QByteArray>{"OPPt0---0"} << false;
    QTest::newRow("AMTOR listen") << QList<QByteArray>{"OPAL3---0"} << false;
    QTest::newRow("AMTOR calling") << QList<QByteArray>{"OPAC1---0"} << false;
    // RTTY before transmitting is switched on.
    QTest::newRow("RTTY standby") << QList<QByteArray>{"OPBA0---0"} << true;
    QTest::newRow("unproto") << QList<QByteArray>{"OPPD4S-0"} << true;
    QTest::newRow("FEC") << QList<QByteArray>{"OPFE4S-0", "OPFE4S-0"} << true;
    QTest::newRow("FEC receive") << QList<QByteArray>{"OPFE4--0", "OPFE4--0"} << false;
    QTest::newRow("AMTOR link, receiving")
        << QList<QByteArray>{"OPAC1---0", "OPAC3--0", "OPAC4--0"} << true;
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

void KeyboardTest::everyKeyRestartsTheTimers() {
    FormFixture f;
    THoofdForm& form = f.Create();
    Listen(f);
    form.StopTimers();
    const quint64 before = f.clock.Elapsed();
    QTest::keyClick(form.ZendWindow, Qt::Key_Q);
    QVERIFY(form.Schryfinterval.isActive());
    QVERIFY(form.StatusAanvraagTimer.isActive());
    QVERIFY(f.clock.Elapsed() - before >= 100);
    // A key that types nothing is no key for the transmit path.
    form.StopTimers();
    QTest::keyClick(form.ZendWindow, Qt::Key_Left);
    QVERIFY(!form.StatusAanvraagTimer.isActive());
}

void KeyboardTest::refusedCharactersNeitherShownNorSent() {
    FormFixture f;
    THoofdForm& form = f.Create();
    Connect(f, false, true);
    form.StopTimers();
    f.serial.ClearWritten();
    const QString before = Shown(form);
    Press(form.ZendWindow, 0x0436, Qt::NoModifier, QString(QChar(0x0436)));
    Press(form.ZendWindow, 0, Qt::NoModifier, QString::fromUtf8("\xF0\x9F\x98\x80"));
    QCOMPARE(Shown(form), before);
    QCOMPARE(f.Written(), QByteArray());
    QVERIFY(!form.StatusAanvraagTimer.isActive()); // not even the timers

    // A character of the set goes out as its one byte and shows as itself.
    Press(form.ZendWindow, Qt::Key_E, Qt::ControlModifier | Qt::AltModifier,
          QString(QChar(0x20AC)));
    Press(form.ZendWindow, Qt::Key_Eacute, Qt::NoModifier, QString(QChar(0xE9)));
    QCOMPARE(f.Written(), QByteArray("\x01 \x80\x17\x01 \xE9\x17"));
    QVERIFY(Shown(form).startsWith(QString(QChar(0x20AC)) + QChar(0xE9)));
}

void KeyboardTest::composedCharacters() {
    FormFixture f;
    THoofdForm& form = f.Create();
    Connect(f, false, true);
    f.serial.ClearWritten();
    QInputMethodEvent ok(QString(), {});
    ok.setCommitString(QString(QChar(0xFC)));
    QApplication::sendEvent(form.ZendWindow, &ok);
    QInputMethodEvent refused(QString(), {});
    refused.setCommitString(QString(QChar(0x0151)));
    QApplication::sendEvent(form.ZendWindow, &refused);
    QCOMPARE(f.Written(), QByteArray("\x01 \xFC\x17"));
    QVERIFY(Shown(form).startsWith(QString(QChar(0xFC)) + "\n"));
}

QTEST_MAIN(KeyboardTest)
#include "tst_keyboard.moc"
