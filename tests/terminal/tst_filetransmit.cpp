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

namespace {
const QColor kGreen(0, 255, 0), kRed(255, 0, 0);

// A main window in PACTOR, connected, with the echoing far end on the line
// when asked for, and nothing written yet.
struct Rig {
    FormFixture f;
    EchoPeer peer;
    THoofdForm* form = nullptr;
    int passes = 0, maxPending = 0;
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
    void Mode(const QString& mode, const QString& state, bool connected) {
        form->st.ModeName = mode;
        form->st.LinkStateText = state;
        form->st.IsConnected = connected;
        form->st.DumbMode = mode == "DUMB";
        form->st.HostModeActive = mode != "DUMB";
    }
    // Every question of the Escape key is one pass of the loop (the first
    // forgets an earlier press); `step` answers it. After `limit` passes the
    // loop is broken off, so a stall fails instead of hanging.
    void Probe(std::function<bool(int pass)> step = {}, int limit = 2'000'000) {
        f.prompts.escapeScript = [this, step, limit] {
            const int pass = passes++;
            maxPending = qMax(maxPending, int(form->st.TxPendingCount));
            if (pass > limit) runaway = true;
            return runaway || (step && step(pass));
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
    static QColor Back(QLabel* l) { return l->palette().color(QPalette::Window); }
    bool Idle() const {
        const auto& s = form->st;
        return !s.FileTransmitActive && !s.FileTransmitAbort && !s.SendingCQ &&
               s.TxPendingCount == 0 && form->Schryfinterval.isActive() &&
               form->StatusAanvraagTimer.isActive() && form->XOnLed->text() == "XOn" &&
               Back(form->XOnLed) == kGreen && Back(form->LeesLed) == kGreen &&
               form->LeesLed->palette().color(QPalette::WindowText) == QColor(Qt::black) &&
               form->ReceiveWindow->viewport()->cursor().shape() != Qt::WaitCursor;
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
    void linesAndClosingSteps();
    void permissionAndShownLines_data();
    void permissionAndShownLines();
    void binaryAndLongLinesGoOutInPieces();
    void endlessLineStopsWithinAPiece();
    void controlBytesKeepTheFraming();
    void escapeEndsAfterThePass();
    void holdsAt3000UntilTheEchoComes();
    void countFollowsTheEcho();
    void easOnLeavesNoCarriageReturnOutstanding();
    void countNeverWraps();
    void maildropCheckAndDumbTerminal();
    void badFiles();
};

void FileTransmitTest::linesAndClosingSteps() {
    Rig r;
    bool probed = false;
    r.Probe([&](int pass) {
        if (pass == 2) { // inside the loop, after the first line
            probed = true;
            [&] {
                QVERIFY(r.form->st.FileTransmitActive);
                QVERIFY(!r.form->Schryfinterval.isActive());
                QVERIFY(!r.form->StatusAanvraagTimer.isActive());
                QCOMPARE(Rig::Back(r.form->LeesLed), kRed);
                QCOMPARE(r.form->LeesLed->palette().color(QPalette::WindowText), QColor(Qt::white));
                QCOMPARE(r.form->XOnLed->text(), QString("XOn"));
                QCOMPARE(r.form->ReceiveWindow->viewport()->cursor().shape(), Qt::WaitCursor);
            }();
        }
        return false;
    });
    r.Transmit("ab.txt", "AB\r\nC\r\n");
    QVERIFY(probed);
    QCOMPARE(r.f.Written(), Data("AB\r") + Data("C\r"));
    QCOMPARE(r.TxLines(), (QStringList{"AB", "C"}));
    QCOMPARE(r.f.prompts.log, QStringList{"open|Transmit a text File"});
    QVERIFY(r.Idle());

    // An empty line is an empty frame but for its carriage return; an empty
    // file sends nothing and still closes as usual.
    r.f.serial.ClearWritten();
    r.Transmit("blank.txt", "\r\n");
    QCOMPARE(r.f.Written(), QByteArray("\x01\x20\r\x17"));
    r.f.serial.ClearWritten();
    r.form->StopTimers();
    r.Transmit("empty.txt", "");
    QCOMPARE(r.f.Written(), QByteArray());
    QVERIFY(r.Idle());
}

void FileTransmitTest::permissionAndShownLines_data() {
    QTest::addColumn<QString>("mode");
    QTest::addColumn<QString>("state");
    QTest::addColumn<bool>("connected");
    QTest::addColumn<bool>("transmitting");
    QTest::addColumn<bool>("allowed");
    QTest::addColumn<bool>("shown");
    QTest::addColumn<bool>("check");
    QTest::newRow("PACTOR listen") << "PACTOR"
                                   << "LISTEN" << false << false << false << false << false;
    QTest::newRow("PACTOR calling") << "PACTOR"
                                    << "CALLING" << false << false << false << false << false;
    QTest::newRow("AMTOR FEC") << "AMTOR"
                               << "FEC" << false << true << false << false << false;
    QTest::newRow("PACTOR unproto") << "PACTOR"
                                    << "UNPROTO" << false << false << true << true << false;
    QTest::newRow("RTTY receiving") << "RTTY"
                                    << "" << false << false << true << false << false;
    QTest::newRow("RTTY transmitting") << "RTTY"
                                       << "" << false << true << true << true << false;
    QTest::newRow("dumb terminal") << "DUMB"
                                   << "" << false << false << true << true << false;
    QTest::newRow("AMTOR connected") << "AMTOR"
                                     << "CONNECT" << true << false << true << true << false;
    QTest::newRow("maildrop check") << "PACTOR"
                                    << "" << false << false << true << true << true;
}

void FileTransmitTest::permissionAndShownLines() {
    QFETCH(QString, mode);
    QFETCH(QString, state);
    QFETCH(bool, connected);
    QFETCH(bool, transmitting);
    QFETCH(bool, allowed);
    QFETCH(bool, shown);
    QFETCH(bool, check);
    Rig r;
    r.form->MenuMaildropCheck->setChecked(check);
    r.Mode(mode, state, connected);
    r.form->st.Transmitting = transmitting;
    r.Transmit("x.txt", "RY RY\r\nDE PA0ABC");
    if (!allowed) {
        QCOMPARE(r.f.prompts.log, QStringList{"box|Dervalo    Warning|Transmitting NOT allowed !"});
        QCOMPARE(r.f.Written(), QByteArray());
        return;
    }
    // Sent in every mode, one data frame per line in HOST mode and the plain
    // lines in the dumb terminal; shown only where the operator is
    // transmitting.
    QVERIFY(r.f.Written().startsWith(mode == "DUMB" ? QByteArray("RY RY\rDE PA0ABC\r")
                                                    : Data("RY RY\r") + Data("DE PA0ABC\r")));
    QCOMPARE(r.TxLines().size(), shown ? 2 : 0);
}

void FileTransmitTest::binaryAndLongLinesGoOutInPieces() {
    // Bytes beyond text go out as they are. A line longer than a piece of
    // 256 bytes goes out in frames of 256, its carriage return after the
    // last piece; one of exactly 256 is still one frame. The transmit window
    // shows each line whole.
    Rig r(true);
    r.peer.charsPerSecond = 1000;
    QByteArray binary;
    for (int b : {0x00, 0x02, 0x1A, 0x1B, 0x7F, 0x80, 0x93, 0xFE, 0xFF})
        binary.append(char(b));
    const QByteArray full(256, 'a'), longLine(600, 'b');
    r.Probe();
    r.Transmit("bin.dat", binary + "\r\n" + full + "\r\n" + longLine + "\r\nend");
    QVERIFY(!r.runaway);
    const QList<QByteArray> frames{binary + "\r",
                                   full + "\r",
                                   longLine.left(256),
                                   longLine.mid(256, 256),
                                   longLine.mid(512) + "\r",
                                   "end\r"};
    QCOMPARE(r.peer.dataFrames, frames);
    QByteArray written;
    for (const QByteArray& frame : frames)
        written += Data(frame);
    QCOMPARE(r.f.Written(), written);
    QCOMPARE(r.TxLines().mid(1), (QStringList{QString(full), QString(longLine), "end"}));
    QVERIFY(r.Idle());
}

void FileTransmitTest::endlessLineStopsWithinAPiece() {
    // A few megabytes without a line end go out piece by piece (in the dumb
    // terminal, where nothing is outstanding): Escape found in the 40th pass
    // stops it after the 40th piece, and the transmit window keeps within
    // its limit meanwhile.
    Rig r;
    r.Mode("DUMB", "", false);
    qsizetype shown = 0;
    r.Probe([&](int pass) {
        shown = qMax(shown, r.form->ZendWindow->document()->characterCount() - 1);
        return pass == 40;
    });
    r.Transmit("endless.dat", QByteArray(3 * 1024 * 1024, 'z'));
    QCOMPARE(r.f.Written(), QByteArray(40 * 256, 'z') + "TClear\r");
    QVERIFY2(shown > 4000 && shown <= 4000 + 256, qPrintable(QString::number(shown)));
    QVERIFY(r.Idle());
}

void FileTransmitTest::controlBytesKeepTheFraming() {
    // The frame bytes of a line travel behind a DLE: the far end takes the
    // line back whole and nothing falls outside a frame.
    Rig r(true);
    const QByteArray line("A\x01"
                          "B\x10"
                          "C\x17"
                          "D");
    r.Probe();
    r.Transmit("ctl.dat", line + "\r\nnext");
    QCOMPARE(r.f.Written(), QByteArray("\x01 A\x10\x01"
                                       "B\x10\x10"
                                       "C\x10\x17"
                                       "D\r\x17") +
                                Data("next\r"));
    QCOMPARE(r.peer.dataFrames, (QList<QByteArray>{line + "\r", "next\r"}));
    QVERIFY(r.peer.plain.isEmpty());
}

void FileTransmitTest::escapeEndsAfterThePass() {
    // An Escape press from before the transmission is forgotten.
    Rig r;
    r.Probe([](int pass) { return pass == 0; });
    r.Transmit("three.txt", "1\r\n2\r\n3");
    QCOMPARE(r.f.Written(), Data("1\r") + Data("2\r") + Data("3\r"));

    // Found in the third pass: that pass still sends its line, no further
    // line is read, the controller's buffer is cleared, then the closing
    // steps; in a CQ call these end with 0x04 in a data frame.
    for (const bool cq : {false, true}) {
        r.f.serial.ClearWritten();
        r.passes = 0;
        r.form->ZendWindow->clear();
        r.Probe([](int pass) { return pass == 3; });
        r.form->st.SendingCQ = cq;
        r.Transmit("five.txt", "1\r\n2\r\n3\r\n4\r\n5\r\n");
        QCOMPARE(r.f.Written(), Data("1\r") + Data("2\r") + Data("3\r") + "\x17\x01OTC\x17" +
                                    (cq ? Data("\x04") : QByteArray()));
        QCOMPARE(r.TxLines(), (QStringList{"1", "2", "3"}));
        QVERIFY(r.Idle());
    }
}

void FileTransmitTest::holdsAt3000UntilTheEchoComes() {
    // Lines of 100 characters, 100 bytes outstanding each (the carriage
    // return is not echoed). Nothing comes back: after 30 lines the loop
    // holds ("XOff"), waiting rather than spinning. When the echo starts the
    // rest goes out.
    Rig r(true);
    r.peer.silent = true;
    QByteArray file;
    for (int i = 0; i < 40; ++i)
        file += QByteArray(100, char('a' + i % 26)) + "\r\n";
    int held = 0;
    quint64 heldFrom = 0;
    r.Probe([&](int) {
        if (r.form->XOnLed->text() != "XOff") return false;
        if (held++ == 0) {
            heldFrom = r.f.clock.Elapsed();
            [&] {
                QCOMPARE(r.peer.dataFrames.size(), 30);
                QCOMPARE(int(r.form->st.TxPendingCount), 3000);
                QCOMPARE(Rig::Back(r.form->XOnLed), kRed);
            }();
        }
        if (held == 500) {
            [&] {
                QCOMPARE(r.peer.dataFrames.size(), 30);
                QVERIFY(r.f.clock.Elapsed() - heldFrom >= 499);
            }();
            r.peer.silent = false;
        }
        return false;
    });
    r.Transmit("forty.txt", file);
    QVERIFY(!r.runaway);
    QVERIFY(held >= 500);
    QCOMPARE(r.peer.dataFrames.size(), 40);
    QCOMPARE(r.maxPending, 3000);
    QVERIFY(r.Idle());
}

void FileTransmitTest::countFollowsTheEcho() {
    // 2,000 lines against a controller that echoes at once: only the echoed
    // text counts, so the count never climbs and the file ends by itself.
    {
        Rig r(true);
        r.Probe();
        r.Transmit("long.txt", Numbered(2000, 12));
        QVERIFY(!r.runaway);
        QCOMPARE(r.peer.dataFrames.size(), 2000);
        QCOMPARE(r.peer.echoed, qsizetype(2000 * 13));
        QVERIFY(r.maxPending <= 13);
        QVERIFY(r.Idle());
    }
    // At 100 characters a second the controller falls behind: the loop holds
    // back and catches up without Escape; the transmit window keeps its limit.
    Rig r(true);
    r.peer.charsPerSecond = 100;
    r.Mode("PACTOR", "UNPRO", false);
    int holds = 0;
    QString lamp = "XOn";
    r.Probe([&](int) {
        holds += r.form->XOnLed->text() == "XOff" && lamp == "XOn";
        lamp = r.form->XOnLed->text();
        return false;
    });
    r.Transmit("slow.txt", Numbered(300, 30));
    QVERIFY(!r.runaway);
    QVERIFY(holds >= 1);
    QVERIFY(r.maxPending <= 3000 + 31);
    QCOMPARE(r.peer.dataFrames.size(), 300);
    QCOMPARE(r.TxLines().last(), QString(QByteArray("299").rightJustified(30, '.')));
    QVERIFY(r.form->ZendWindow->document()->characterCount() <= 4000 + 32);
    QVERIFY(r.Idle());
}

void FileTransmitTest::easOnLeavesNoCarriageReturnOutstanding() {
    // The controller runs with EAS on and echoes no carriage return. 5,000
    // short lines go out and the file ends by itself: the count never
    // climbs and the loop never holds at "XOff". (Most lines are empty: the
    // echo without line ends all lands on one line of the receive window.)
    Rig r(true);
    r.peer.easOn = true;
    QByteArray file, echo;
    for (int i = 0; i < 5000; ++i) {
        const QByteArray line = i % 100 == 0 ? QByteArray::number(i) : QByteArray();
        file += line + "\r\n";
        echo += line;
    }
    bool held = false;
    r.Probe(
        [&](int) {
            held = held || r.form->XOnLed->text() == "XOff";
            return false;
        },
        100'000);
    r.Transmit("eas.txt", file);
    QVERIFY(!r.runaway && !held);
    QCOMPARE(r.peer.dataFrames.size(), 5000);
    QVERIFY2(r.maxPending <= 4, qPrintable(QString::number(r.maxPending)));
    // The echo, its line still open, below the transmission's two event
    // lines: the end stands above the line it came in.
    const QStringList lines = r.form->ReceiveWindow->toPlainText().split('\n');
    QCOMPARE(lines.value(2), QString(echo));
    QVERIFY(lines.value(0).endsWith("FILE eas.txt started"));
    QVERIFY(lines.value(1).endsWith("FILE eas.txt ended"));
    QVERIFY(r.Idle());
}

void FileTransmitTest::countNeverWraps() {
    // More comes back than was sent: the count stops at 0 instead of
    // wrapping to a value that would hold the transmission for ever.
    Rig r;
    r.f.serial.FeedInput(QByteArray("\x01/") + QByteArray(10, 'z') + "\x17");
    int second = -1;
    r.Probe([&](int pass) {
        if (pass == 2) second = r.form->st.TxPendingCount;
        return false;
    });
    r.Transmit("two.txt", "A\r\nB\r\n");
    QCOMPARE(second, 0);
    QCOMPARE(r.f.Written(), Data("A\r") + Data("B\r"));
}

void FileTransmitTest::maildropCheckAndDumbTerminal() {
    // In the maildrop check the file is a mailbox message: out of HOST mode
    // the controller reads no frames, so its lines go out plain, each with
    // its carriage return, then the line "/EX"; for an empty file only that. A
    // line with frame bytes goes out as it is, no DLE added. The mailbox
    // answers in plain text, which reaches the receive window, and with no
    // framed echo to wait for a long message never holds back.
    Rig r;
    r.Mode("DUMB", "", false);
    r.form->MenuMaildropCheck->setChecked(true);
    r.Transmit("msg.txt", "Hello\r\nBye");
    QCOMPARE(r.f.Written(), QByteArray("Hello\rBye\r/EX\r"));
    r.f.serial.ClearWritten();
    r.Transmit("odd.txt", "a\x01\x10\x17"
                          "b");
    QCOMPARE(r.f.Written(), QByteArray("a\x01\x10\x17"
                                       "b\r/EX\r"));
    r.f.serial.ClearWritten();
    r.Transmit("none.txt", "");
    QCOMPARE(r.f.Written(), QByteArray("/EX\r"));

    r.f.serial.ClearWritten();
    r.f.serial.FeedInput("Enter message\r");
    bool held = false;
    r.Probe([&](int) {
        held = held || r.form->XOnLed->text() == "XOff";
        return false;
    });
    r.Transmit("letter.txt", Numbered(200, 40));
    QVERIFY(!r.runaway && !held);
    QByteArray plain = Numbered(200, 40);
    plain.replace("\r\n", "\r");
    QCOMPARE(r.f.Written(), plain + "/EX\r");
    QVERIFY(r.form->ReceiveWindow->toPlainText().contains("Enter message"));
    QVERIFY(r.Idle());
}

void FileTransmitTest::badFiles() {
    // Missing: the error report, nothing sent, lamps and timers as before.
    Rig r(true);
    r.form->StopTimers();
    r.f.prompts.fileAnswers << r.f.Path("nowhere.txt");
    r.form->MenuTransmitFile->trigger();
    QCOMPARE(r.f.prompts.Boxes(), QStringList{"Dervalo|File not found"});
    QCOMPARE(r.f.Written(), QByteArray());
    QVERIFY(!r.form->st.FileTransmitActive);
    QVERIFY(!r.form->Schryfinterval.isActive());
    QCOMPARE(Rig::Back(r.form->LeesLed), kGreen);
    // Cancelled: nothing at all.
    r.form->MenuTransmitFile->trigger();
    QCOMPARE(r.f.prompts.Boxes().size(), 1);
    QCOMPARE(r.f.Written(), QByteArray());

    // The capture file fails on the first echoed character: the file still
    // goes out, the closing steps run, and the error is shown once.
    r.form->st.LogFileOpen = true; // with no file open every write fails
    r.Probe();
    r.Transmit("cap.txt", "one\r\ntwo\r\nthree\r\n");
    QCOMPARE(r.peer.dataFrames.size(), 3);
    QCOMPARE(r.f.prompts.Boxes().size(), 2);
    QVERIFY(r.f.prompts.Boxes().last().startsWith("Dervalo|Error writing"));
    r.form->st.LogFileOpen = false;
    QVERIFY(r.Idle());
}

QTEST_MAIN(FileTransmitTest)
#include "tst_filetransmit.moc"
