// Transmitting a text file: the bytes on the line, what the transmit window
// shows, the permission rule, the hold at 3000 outstanding bytes and its
// release, the Escape abort, the closing steps, and files that cannot be
// read. The far end is scripted: it echoes what it is sent, or stays silent.
#include <QAction>
#include <QLabel>
#include <QPlainTextEdit>
#include <QtTest>

#include "EchoPeer.h"
#include "FormFixture.h"
#include "host/Frames.h"

namespace {
// A main window in PACTOR, connected, with the echoing far end on the line
// (when `withPeer`), and nothing written yet.
struct Rig {
    FormFixture f;
    EchoPeer peer;
    THoofdForm* form = nullptr;
    // Filled in by the probe that answers each Escape question.
    int passes = 0;
    int maxPending = 0;
    bool runaway = false;

    explicit Rig(bool withPeer = false) {
        f.WriteFile("Dervalo.INI", FormFixture::Settings());
        form = &f.Start();
        if (withPeer) f.serial.AttachPeer(&peer);
        form->st.ModeName = "PACTOR";
        form->st.LinkStateText = "CONNECT";
        form->st.IsConnected = true;
        f.serial.ClearWritten();
        f.prompts.log.clear();
    }
    // Each question of the Escape key is one pass of the loop (the first is
    // the one that forgets an earlier press). `step` sees every pass; the
    // loop is broken off after `limit` passes, so a stall fails, not hangs.
    void Probe(std::function<bool(int pass)> step = {}, int limit = 2'000'000) {
        f.prompts.escapeScript = [this, step, limit] {
            const int pass = passes++;
            maxPending = qMax(maxPending, int(form->st.TxPendingCount));
            if (pass > limit) {
                runaway = true;
                return true;
            }
            return step ? step(pass) : false;
        };
    }
    void Transmit(const QString& name, const QByteArray& content) {
        f.WriteFile(name, content);
        f.prompts.fileAnswers << f.Path(name);
        form->MenuTransmitFile->trigger();
    }
    QStringList TxLines() const {
        return form->ZendWindow->toPlainText().split('\n', Qt::SkipEmptyParts);
    }
    bool Idle() const {
        return !form->st.FileTransmitActive && !form->st.FileTransmitAbort && !form->st.SendingCQ &&
               form->st.TxPendingCount == 0 && form->Schryfinterval.isActive() &&
               form->StatusAanvraagTimer.isActive() && form->XOnLed->text() == "XOn" &&
               form->XOnLed->palette().color(QPalette::Window) == QColor(0, 255, 0) &&
               form->LeesLed->palette().color(QPalette::Window) == QColor(0, 255, 0) &&
               form->LeesLed->palette().color(QPalette::WindowText) == QColor(Qt::black);
    }
};

QByteArray Data(const QByteArray& text) {
    return QByteArray("\x01 ") + text + "\x17";
}

QByteArray Numbered(int lines, int width) {
    QByteArray out;
    for (int i = 0; i < lines; ++i)
        out += QByteArray::number(i).rightJustified(width, '.') + "\r\n";
    return out;
}
} // namespace

class FileTransmitTest : public QObject {
    Q_OBJECT
private slots:
    void linesWhileConnected();
    void emptyLineAndEmptyFile();
    void maildropCheckEndsTheMessage();
    void permission_data();
    void permission();
    void whichLinesAreShown_data();
    void whichLinesAreShown();
    void binaryAndLongLinesGoOutWhole();
    void controlBytesKeepTheFraming();
    void lampsAndTimersWhileSending();
    void escapeEndsAfterThePass();
    void earlierEscapeIsForgotten();
    void holdsAt3000UntilTheEchoComes();
    void longFileWithPromptEchoNeverHolds();
    void slowControllerHoldsAndCatchesUp();
    void countNeverWraps();
    void dumbTerminalShowsAnswersAndDoesNotHold();
    void missingOrCancelledFileSendsNothing();
    void captureFailureStillClosesTheTransmission();
};

void FileTransmitTest::linesWhileConnected() {
    Rig r;
    r.Transmit("ab.txt", "AB\r\nC\r\n");
    QCOMPARE(r.f.Written(), Data("AB\r") + Data("C\r"));
    QCOMPARE(r.TxLines(), (QStringList{"AB", "C"}));
    QCOMPARE(r.f.prompts.Calls("open|"), QStringList{"open|Transmit a text File"});
    QVERIFY(r.f.prompts.Boxes().isEmpty());
    QVERIFY(r.Idle());
}

void FileTransmitTest::emptyLineAndEmptyFile() {
    Rig r;
    r.Transmit("blank.txt", "\r\n");
    QCOMPARE(r.f.Written(), QByteArray("\x01\x20\r\x17"));

    // An empty file sends nothing, and still closes as usual.
    r.f.serial.ClearWritten();
    r.form->StopTimers();
    r.Transmit("empty.txt", "");
    QCOMPARE(r.f.Written(), QByteArray());
    QVERIFY(r.Idle());
}

void FileTransmitTest::maildropCheckEndsTheMessage() {
    // In the maildrop check the file is the text of a mailbox message: its
    // frames, then CR 0x1A CR outside any frame; for an empty file only that.
    Rig r;
    r.form->st.IsConnected = false;
    r.form->st.ModeName = "DUMB";
    r.form->st.DumbMode = true;
    r.form->st.HostModeActive = false;
    r.form->MenuMaildropCheck->setChecked(true);
    r.Transmit("msg.txt", "Hello\r\nBye");
    QCOMPARE(r.f.Written(), Data("Hello\r") + Data("Bye\r") + "\r\x1A\r");
    QCOMPARE(r.TxLines(), (QStringList{"Hello", "Bye"}));
    r.f.serial.ClearWritten();
    r.Transmit("none.txt", "");
    QCOMPARE(r.f.Written(), QByteArray("\r\x1A\r"));
    QVERIFY(r.Idle());
}

void FileTransmitTest::permission_data() {
    QTest::addColumn<QString>("mode");
    QTest::addColumn<QString>("state");
    QTest::addColumn<bool>("connected");
    QTest::addColumn<bool>("check");
    QTest::addColumn<bool>("allowed");
    QTest::newRow("PACTOR listen") << "PACTOR"
                                   << "LISTEN" << false << false << false;
    QTest::newRow("PACTOR standby") << "PACTOR"
                                    << "STANDBY" << false << false << false;
    QTest::newRow("PACTOR calling") << "PACTOR"
                                    << "CALLING" << false << false << false;
    QTest::newRow("AMTOR FEC") << "AMTOR"
                               << "FEC" << false << false << false;
    QTest::newRow("PACTOR unproto") << "PACTOR"
                                    << "UNPRO" << false << false << true;
    QTest::newRow("unproto with more") << "PACTOR"
                                       << "UNPROTO" << false << false << true;
    QTest::newRow("RTTY") << "RTTY"
                          << "" << false << false << true;
    QTest::newRow("dumb terminal") << "DUMB"
                                   << "" << false << false << true;
    QTest::newRow("maildrop check") << "PACTOR"
                                    << "" << false << true << true;
    QTest::newRow("connected AMTOR") << "AMTOR"
                                     << "CONNECT" << true << false << true;
}

void FileTransmitTest::permission() {
    QFETCH(QString, mode);
    QFETCH(QString, state);
    QFETCH(bool, connected);
    QFETCH(bool, check);
    QFETCH(bool, allowed);
    Rig r;
    r.form->st.ModeName = mode;
    r.form->st.LinkStateText = state;
    r.form->st.IsConnected = connected;
    r.form->MenuMaildropCheck->setChecked(check);
    r.Transmit("x.txt", "X\r\n");
    if (allowed) {
        QCOMPARE(r.f.prompts.Calls("open|").size(), 1);
        QVERIFY(r.f.Written().startsWith(Data("X\r")));
    } else {
        QCOMPARE(r.f.prompts.Boxes(), QStringList{"Dervalo    Warning|Transmitting NOT allowed !"});
        QVERIFY(r.f.prompts.Calls("open|").isEmpty());
        QCOMPARE(r.f.Written(), QByteArray());
        QCOMPARE(r.f.prompts.fileAnswers.size(), 1); // the dialog never came
    }
}

void FileTransmitTest::whichLinesAreShown_data() {
    QTest::addColumn<QString>("mode");
    QTest::addColumn<QString>("state");
    QTest::addColumn<bool>("transmitting");
    QTest::addColumn<bool>("shown");
    QTest::newRow("RTTY receiving") << "RTTY"
                                    << "" << false << false;
    QTest::newRow("RTTY transmitting") << "RTTY"
                                       << "" << true << true;
    QTest::newRow("PACTOR unproto") << "PACTOR"
                                    << "UNPRO" << false << true;
    QTest::newRow("dumb terminal") << "DUMB"
                                   << "" << false << true;
}

void FileTransmitTest::whichLinesAreShown() {
    QFETCH(QString, mode);
    QFETCH(QString, state);
    QFETCH(bool, transmitting);
    QFETCH(bool, shown);
    Rig r;
    r.form->st.IsConnected = false;
    r.form->st.ModeName = mode;
    r.form->st.LinkStateText = state;
    r.form->st.Transmitting = transmitting;
    r.form->st.DumbMode = mode == "DUMB";
    r.Transmit("rtty.txt", "RY RY\r\nDE PA0ABC\r\n");
    // Sent in every case, one data frame per line.
    QVERIFY(r.f.Written().startsWith(Data("RY RY\r") + Data("DE PA0ABC\r")));
    const QStringList expected = shown ? QStringList{"RY RY", "DE PA0ABC"} : QStringList();
    QCOMPARE(r.TxLines(), expected);
}

void FileTransmitTest::binaryAndLongLinesGoOutWhole() {
    // Bytes beyond text go out as they are; a line far longer than the
    // controller's buffer is still one frame.
    Rig r(true);
    r.peer.charsPerSecond = 1000;
    QByteArray binary;
    for (int b : {0x00, 0x02, 0x1A, 0x1B, 0x7F, 0x80, 0x93, 0xFE, 0xFF})
        binary.append(char(b));
    const QByteArray longLine(5000, 'L');
    r.Probe();
    r.Transmit("bin.dat", binary + "\r\n" + longLine + "\r\nend");
    QVERIFY(!r.runaway);
    QCOMPARE(r.peer.dataFrames,
             (QList<QByteArray>{binary + "\r", longLine + "\r", QByteArray("end\r")}));
    QVERIFY(r.f.Written().startsWith(Data(binary + "\r") + Data(longLine + "\r")));
    QVERIFY(r.maxPending >= 5001); // the long line was outstanding whole
    QVERIFY(r.Idle());
}

void FileTransmitTest::controlBytesKeepTheFraming() {
    Rig r(true);
    r.form->senddata(QByteArray(1, '\x17'));
    if (r.f.Written() == QByteArray("\x01\x20\x17\x17", 4))
        QSKIP("data frames do not escape their payload in this build");
    r.peer.dataFrames.clear();
    r.f.serial.ClearWritten();
    const QByteArray line("A\x01"
                          "B\x10"
                          "C\x17"
                          "D");
    r.Probe();
    r.Transmit("ctl.dat", line + "\r\nnext");
    QCOMPARE(r.peer.dataFrames, (QList<QByteArray>{line + "\r", QByteArray("next\r")}));
    QVERIFY(r.peer.plain.isEmpty());
    QCOMPARE(r.form->ReceiveWindow->toPlainText().count("next"), 1);
}

void FileTransmitTest::lampsAndTimersWhileSending() {
    Rig r;
    bool checked = false;
    r.Probe([&](int pass) {
        if (pass != 2) return false;
        checked = true;
        THoofdForm& form = *r.form;
        [&] {
            QVERIFY(form.st.FileTransmitActive);
            QVERIFY(!form.Schryfinterval.isActive());
            QVERIFY(!form.StatusAanvraagTimer.isActive());
            QCOMPARE(form.LeesLed->palette().color(QPalette::Window), QColor(255, 0, 0));
            QCOMPARE(form.LeesLed->palette().color(QPalette::WindowText), QColor(Qt::white));
            QCOMPARE(form.XOnLed->text(), QString("XOn"));
            QCOMPARE(form.ReceiveWindow->viewport()->cursor().shape(), Qt::WaitCursor);
        }();
        return false;
    });
    r.Transmit("two.txt", "1\r\n2\r\n");
    QVERIFY(checked);
    QVERIFY(r.Idle());
    QVERIFY(r.form->ReceiveWindow->viewport()->cursor().shape() != Qt::WaitCursor);
}

void FileTransmitTest::escapeEndsAfterThePass() {
    // Escape is found in the third pass: that pass still sends its line, no
    // further line is read, the controller's buffer is cleared, then the
    // closing steps.
    Rig r;
    r.Probe([](int pass) { return pass == 3; });
    r.Transmit("five.txt", "1\r\n2\r\n3\r\n4\r\n5\r\n");
    QCOMPARE(r.f.Written(), Data("1\r") + Data("2\r") + Data("3\r") + "\x17" + "\x01OTC\x17");
    QCOMPARE(r.TxLines(), (QStringList{"1", "2", "3"}));
    QVERIFY(r.Idle());

    // The same in a CQ call ends with 0x04 after the clearing command.
    r.f.serial.ClearWritten();
    r.passes = 0;
    r.form->st.SendingCQ = true;
    r.form->SendFile(r.f.Path("five.txt"));
    QCOMPARE(r.f.Written(), Data("1\r") + Data("2\r") + Data("3\r") + "\x17\x01OTC\x17" + "\x04");
    QVERIFY(r.Idle());
}

void FileTransmitTest::earlierEscapeIsForgotten() {
    Rig r;
    r.Probe([](int pass) { return pass == 0; });
    r.Transmit("three.txt", "1\r\n2\r\n3");
    QCOMPARE(r.f.Written(), Data("1\r") + Data("2\r") + Data("3\r"));
}

void FileTransmitTest::holdsAt3000UntilTheEchoComes() {
    // Forty lines of 99 characters: 100 bytes outstanding each with the
    // carriage return. Nothing comes back, so after 30 lines the count is at
    // 3000 and the loop holds ("XOff"), waiting, not spinning. When the echo
    // starts the rest goes out by itself.
    Rig r(true);
    r.peer.silent = true;
    QByteArray file;
    for (int i = 0; i < 40; ++i)
        file += QByteArray(99, char('a' + i % 26)) + "\r\n";
    int heldPasses = 0;
    quint64 heldFrom = 0;
    r.Probe([&](int) {
        if (r.form->XOnLed->text() != "XOff") return false;
        if (heldPasses++ == 0) {
            heldFrom = r.f.clock.Elapsed();
            [&] {
                QCOMPARE(r.peer.dataFrames.size(), 30);
                QCOMPARE(int(r.form->st.TxPendingCount), 3000);
                QCOMPARE(r.form->XOnLed->palette().color(QPalette::Window), QColor(255, 0, 0));
                QCOMPARE(r.form->XOnLed->palette().color(QPalette::WindowText), QColor(Qt::white));
            }();
        }
        if (heldPasses == 500) {
            [&] {
                QCOMPARE(r.peer.dataFrames.size(), 30);         // nothing more while held
                QVERIFY(r.f.clock.Elapsed() - heldFrom >= 499); // each pass waited
            }();
            r.peer.silent = false;
        }
        return false;
    });
    r.Transmit("forty.txt", file);
    QVERIFY(!r.runaway);
    QVERIFY(heldPasses >= 500);
    QCOMPARE(r.peer.dataFrames.size(), 40);
    QCOMPARE(r.maxPending, 3000);
    QVERIFY(r.Idle());
}

void FileTransmitTest::longFileWithPromptEchoNeverHolds() {
    // 2,000 lines against a controller that echoes at once: the count follows
    // the echoed text, so it never climbs and the file ends by itself.
    Rig r(true);
    r.Probe();
    const QByteArray file = Numbered(2000, 12);
    r.Transmit("long.txt", file);
    QVERIFY(!r.runaway);
    QCOMPARE(r.peer.dataFrames.size(), 2000);
    QCOMPARE(r.peer.echoed, qsizetype(2000 * 13));
    QVERIFY(r.maxPending <= 13);
    QCOMPARE(r.form->ReceiveWindow->toPlainText().count('\n'), 2000);
    QVERIFY(r.Idle());
}

void FileTransmitTest::slowControllerHoldsAndCatchesUp() {
    // At 100 characters a second the controller falls behind: the loop holds
    // back at least once and still finishes without Escape.
    Rig r(true);
    r.peer.charsPerSecond = 100;
    r.form->st.IsConnected = false;
    r.form->st.LinkStateText = "UNPRO";
    int holds = 0;
    QString lamp = "XOn";
    r.Probe([&](int) {
        const QString now = r.form->XOnLed->text();
        if (now == "XOff" && lamp == "XOn") ++holds;
        lamp = now;
        return false;
    });
    r.Transmit("slow.txt", Numbered(300, 30));
    QVERIFY(!r.runaway);
    QVERIFY(holds >= 1);
    QVERIFY(r.maxPending <= 3000 + 31); // at most one line past the mark
    QCOMPARE(r.peer.dataFrames.size(), 300);
    // The lines are shown; the transmit window keeps to its size limit.
    QCOMPARE(r.TxLines().last(), QString(Numbered(300, 30).right(32).left(30)));
    QVERIFY(r.form->ZendWindow->document()->characterCount() <= 4000 + 32);
    QVERIFY(r.Idle());
}

void FileTransmitTest::countNeverWraps() {
    // More comes back than was sent (text of the other station): the count
    // stops at 0 instead of wrapping to a huge value that would hold the
    // transmission for ever.
    Rig r;
    r.f.serial.FeedInput(QByteArray("\x01/") + QByteArray(10, 'z') + "\x17");
    int secondPassCount = -1;
    r.Probe([&](int pass) {
        if (pass == 2) secondPassCount = r.form->st.TxPendingCount;
        return false;
    });
    r.Transmit("two.txt", "A\r\nB\r\n");
    QCOMPARE(secondPassCount, 0);
    QCOMPARE(r.f.Written(), Data("A\r") + Data("B\r"));
    QVERIFY(r.form->ReceiveWindow->toPlainText().contains("zzzzzzzzzz"));
}

void FileTransmitTest::dumbTerminalShowsAnswersAndDoesNotHold() {
    // Out of HOST mode the mailbox answers in plain text: it reaches the
    // receive window, and with no framed echo to wait for, a long message
    // goes out without holding back.
    Rig r;
    r.form->st.IsConnected = false;
    r.form->st.ModeName = "DUMB";
    r.form->st.DumbMode = true;
    r.form->st.HostModeActive = false;
    r.f.serial.FeedInput("Enter message\r");
    bool held = false;
    r.Probe([&](int) {
        held = held || r.form->XOnLed->text() == "XOff";
        return false;
    });
    r.Transmit("letter.txt", Numbered(200, 40));
    QVERIFY(!r.runaway);
    QVERIFY(!held);
    QCOMPARE(r.f.Written().count("\x01 "), 200);
    QVERIFY(r.form->ReceiveWindow->toPlainText().contains("Enter message"));
}

void FileTransmitTest::missingOrCancelledFileSendsNothing() {
    Rig r;
    r.form->StopTimers();
    r.f.prompts.fileAnswers << r.f.Path("nowhere.txt");
    r.form->MenuTransmitFile->trigger();
    QCOMPARE(r.f.prompts.Boxes(), QStringList{"Dervalo|File not found"});
    QCOMPARE(r.f.Written(), QByteArray());
    QVERIFY(!r.form->st.FileTransmitActive);
    QVERIFY(!r.form->Schryfinterval.isActive()); // timers as before
    QCOMPARE(r.form->LeesLed->palette().color(QPalette::Window), QColor(0, 255, 0));

    // A cancelled dialog: nothing sent, the lamp green again.
    r.f.prompts.log.clear();
    r.form->MenuTransmitFile->trigger();
    QCOMPARE(r.f.prompts.Calls("open|").size(), 1);
    QVERIFY(r.f.prompts.Boxes().isEmpty());
    QCOMPARE(r.f.Written(), QByteArray());
    QCOMPARE(r.form->LeesLed->palette().color(QPalette::Window), QColor(0, 255, 0));
}

void FileTransmitTest::captureFailureStillClosesTheTransmission() {
    // The capture file fails on the first echoed character. The file still
    // goes out, the closing steps run, and the error is shown once.
    Rig r(true);
    r.form->st.LogFileOpen = true; // but the file is not open: every write fails
    r.Probe();
    r.Transmit("cap.txt", "one\r\ntwo\r\nthree\r\n");
    QCOMPARE(r.peer.dataFrames.size(), 3);
    QCOMPARE(r.f.prompts.Boxes().size(), 1);
    QVERIFY(r.f.prompts.Boxes().first().startsWith("Dervalo|Error writing"));
    r.form->st.LogFileOpen = false;
    QVERIFY(r.Idle());
}

QTEST_MAIN(FileTransmitTest)
#include "tst_filetransmit.moc"
