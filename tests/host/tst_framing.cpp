// Payload bytes that look like frame bytes travel behind a DLE in both
// directions; frames that lost their end; reading a line that has gone dead;
// capture-file write errors in the middle of reading.
#include <QPlainTextEdit>
#include <QTemporaryDir>
#include <QtTest>

#include "FormFixture.h"
#include "host/CharTable.h"
#include "host/Frames.h"
#include "link/SerialPeer.h"
#include "shell/InOutError.h"

namespace {

THoofdForm& Create(FormFixture& f) {
    f.WriteFile("Dervalo.INI", FormFixture::Settings());
    return f.Create();
}

// For a main window on a line or prompts of the test's own.
void WriteSettingsFile(const QTemporaryDir& dir) {
    QFile ini(dir.filePath("Dervalo.INI"));
    if (ini.open(QIODevice::WriteOnly)) ini.write(FormFixture::Settings());
}

QString Shown(THoofdForm& form) {
    return form.ReceiveWindow->toPlainText();
}

QByteArray AllBytes() {
    QByteArray all;
    for (int c = 0; c < 256; ++c)
        all.append(char(c));
    return all;
}

// What the receive window shows of these payload bytes: a carriage return
// starts a line, the line feed is dropped on reading, 0x20 to 0xFE show as
// the character table has them (a no-break space reads back as a blank).
QString ShownOf(const QByteArray& payload) {
    QString out;
    for (const char ch : payload) {
        const quint8 c = quint8(ch);
        if (c == 0x0D)
            out += QLatin1Char('\n');
        else if (c >= 0x20 && c <= 0xFE)
            out += c == 0xA0 ? QChar(QLatin1Char(' ')) : CharTable::ToChar(c);
    }
    return out;
}

// A device that has hung up: once the scripted input is read, every read
// comes back at once with nothing and no time passes. So that a reader that
// spins still ends, every thousandth empty read lets a millisecond go by.
class HungUpLine : public MemorySerialBackend {
public:
    HungUpLine(VirtualClock& clock) : MemorySerialBackend(&clock), clock_(clock) {}
    bool ReadByte(quint8& byte) override {
        if (!PendingInput().isEmpty()) return MemorySerialBackend::ReadByte(byte);
        if (++emptyReads % 1000 == 0) clock_.Advance(1);
        return false;
    }
    qint32 BytesAvailable() override { return PendingInput().isEmpty() ? 0 : 1; }
    int emptyReads = 0;

private:
    VirtualClock& clock_;
};

// Prompts that let a test look on while a message box is up.
class WatchedPrompts : public ScriptedPrompts {
public:
    std::function<void()> whileBoxShows;
    Answer MessageBox(const QString& text, const QString& caption, Buttons buttons) override {
        const Answer a = ScriptedPrompts::MessageBox(text, caption, buttons);
        if (whileBoxShows) whileBoxShows();
        return a;
    }
};

// Answers the "GG" command frame with `reply`, as soon as it has come whole.
class GgPeer : public SerialPeer {
public:
    explicit GgPeer(QByteArray reply) : reply_(std::move(reply)) {}
    void FromHost(quint8 byte, quint32) override {
        seen_.append(char(byte));
        if (seen_.endsWith("\x01OGG\x17")) out_ += reply_;
        // Plain lines are answered with the prompt, "host on" with nothing.
        if (byte == '\r' && !seen_.endsWith("host on\r")) out_ += "\r\ncmd:";
    }
    void Tick(quint32) override {}
    QByteArray ToHost(quint32) override { return std::exchange(out_, QByteArray()); }

private:
    QByteArray reply_, seen_, out_;
};

} // namespace

class FramingTest : public QObject {
    Q_OBJECT
private slots:
    void escapeAndUnescape();
    void everyByteRoundTrips_data();
    void everyByteRoundTrips();
    void dleInTextFrames_data();
    void dleInTextFrames();
    void dleInRepliesAndLinkMessages_data();
    void dleInRepliesAndLinkMessages();
    void commandArgumentsAreEscaped();
    void hostOnReplyReadPastEscapedEnd();
    void unlistedFrameGivesWayToTheNext_data();
    void unlistedFrameGivesWayToTheNext();
    void deadLineDoesNotSpin_data();
    void deadLineDoesNotSpin();
    void captureErrorShowsOneBoxAtATime();
    void failedCaptureLetsHeldTextOutWhole();
};

void FramingTest::escapeAndUnescape() {
    QCOMPARE(Frames::Escape(QByteArray("A\x01"
                                       "B\x10"
                                       "C\x17"
                                       "D",
                                       7)),
             QByteArray("A\x10\x01"
                        "B\x10\x10"
                        "C\x10\x17"
                        "D",
                        10));
    QCOMPARE(Frames::Unescape(QByteArray("\x10\x10\x10\x17", 4)), QByteArray("\x10\x17", 2));
    // A DLE with nothing behind it is dropped; one before a plain byte only
    // makes that byte data.
    QCOMPARE(Frames::Unescape(QByteArray("AB\x10", 3)), QByteArray("AB"));
    QCOMPARE(Frames::Unescape(QByteArray("\x10"
                                         "A",
                                         2)),
             QByteArray("A"));
    const QByteArray all = AllBytes();
    QCOMPARE(Frames::Escape(all).size(), 256 + 3);
    QCOMPARE(Frames::Unescape(Frames::Escape(all)), all);
    QCOMPARE(Frames::Unescape(Frames::Escape(all + all)), all + all);
}

void FramingTest::everyByteRoundTrips_data() {
    QTest::addColumn<char>("control");
    QTest::addColumn<int>("endByteToo"); // the monitor frame hands on its end byte
    QTest::newRow("text") << char(0x2F) << 0;
    QTest::newRow("echo") << char(0x30) << 0;
    QTest::newRow("monitor") << char(0x3F) << 1;
}

void FramingTest::everyByteRoundTrips() {
    // Every byte value through the writer onto the line, then the same bytes
    // back through the decoder as a received frame.
    QFETCH(char, control);
    QFETCH(int, endByteToo);
    FormFixture f;
    THoofdForm& form = Create(f);
    const QByteArray all = AllBytes();
    form.senddata(all);
    const QByteArray line = f.Written();
    QCOMPARE(line, "\x01\x20" + Frames::Escape(all) + "\x17");
    QCOMPARE(line.count('\x17'), 2); // the escaped one and the end byte

    QByteArray received = line;
    received[1] = control;
    f.serial.FeedInput(received + "\x01/next\x17");
    form.st.FileTransmitActive = true;
    form.st.TxPendingCount = 1000;
    form.GETV24Data();
    // Each of the 256 bytes reached the output once, no DLE among them, and
    // the frame ended at its own end byte.
    QCOMPARE(int(form.st.TxPendingCount), 1000 - 256 - endByteToo);
    QCOMPARE(Shown(form), ShownOf(all));
    // The next frame waits its own turn.
    QVERIFY(form.V24Data());
    form.GETV24Data();
    QVERIFY(Shown(form).endsWith("next"));
}

void FramingTest::dleInTextFrames_data() {
    QTest::addColumn<QByteArray>("frame");
    QTest::addColumn<QString>("shown");
    QTest::addColumn<int>("outputs"); // bytes handed to the output
    QTest::newRow("escaped end byte") << QByteArray("\x01/AB\x10\x17"
                                                    "CD\r\x17")
                                      << QString("ABCD\n") << 6;
    QTest::newRow("escaped DLE") << QByteArray("\x01/A\x10\x10"
                                               "B\x17")
                                 << QString("AB") << 3;
    QTest::newRow("escaped start byte") << QByteArray("\x01/A\x10\x01"
                                                      "B\x17")
                                        << QString("AB") << 3;
    QTest::newRow("DLE before a plain byte") << QByteArray("\x01/A\x10"
                                                           "B\x17")
                                             << QString("AB") << 2;
    QTest::newRow("DLE DLE end") << QByteArray("\x01/AB\x10\x10\x17") << QString("AB") << 3;
    // The line goes quiet behind a DLE: the frame waits whole for its byte,
    // however late it comes, and nothing of it shows meanwhile.
    QTest::newRow("DLE last before silence") << QByteArray("\x01/AB\x10") << QString() << 0;
}

void FramingTest::dleInTextFrames() {
    QFETCH(QByteArray, frame);
    QFETCH(QString, shown);
    QFETCH(int, outputs);
    FormFixture f;
    THoofdForm& form = Create(f);
    form.st.FileTransmitActive = true;
    form.st.TxPendingCount = 100;
    f.serial.FeedInput(frame);
    form.GETV24Data();
    QCOMPARE(Shown(form), shown);
    QCOMPARE(int(form.st.TxPendingCount), 100 - outputs);
    QVERIFY(!form.V24Data());

    f.serial.FeedInput("\x01/next\x17");
    form.SchryfintervalTimer();
    QVERIFY2(Shown(form).startsWith(shown) && Shown(form).endsWith("next"), qPrintable(Shown(form)));
}

void FramingTest::dleInRepliesAndLinkMessages_data() {
    QTest::addColumn<QByteArray>("frame");
    QTest::addColumn<QString>("reply");
    QTest::addColumn<QString>("hisCall");
    QTest::newRow("status reply, escaped end byte")
        << QByteArray("\x01OOP\x10\x17PN3---0\x17") << QString("OPPN3---0") << QString("OLD");
    QTest::newRow("status reply, escaped start byte") << QByteArray("\x01OOPPN\x10\x01"
                                                                    "3---0\x17")
                                                      << QString("OPPN3---0") << QString("OLD");
    QTest::newRow("link message, escaped end byte")
        << QByteArray("\x01P CONNECTED to \x10\x17"
                      "AB1CD\x17")
        << QString(" CONNECTED to AB1CD") << QString("AB1CD");
    QTest::newRow("link message, escaped start byte")
        << QByteArray("\x01P CONNECTED to \x10\x01"
                      "AB1CD\x10\x10\x17")
        << QString(" CONNECTED to AB1CD") << QString("AB1CD");
}

void FramingTest::dleInRepliesAndLinkMessages() {
    QFETCH(QByteArray, frame);
    QFETCH(QString, reply);
    QFETCH(QString, hisCall);
    FormFixture f;
    THoofdForm& form = Create(f);
    form.st.HisCall = "OLD";
    f.serial.FeedInput(frame + "\x01/next\x17");
    form.GETV24Data();
    QCOMPARE(form.st.StatusReplyText, reply);
    QCOMPARE(form.st.HisCall, hisCall);
    if (frame.at(1) == 'O') {
        QCOMPARE(form.st.ModeName, QString("PACTOR"));
        QCOMPARE(form.st.LinkStateText, QString("LISTEN"));
    } else {
        QCOMPARE(form.st.LinkMessageText, reply);
    }
    QVERIFY(Shown(form).isEmpty());
    // The next frame waits its own turn.
    QVERIFY(form.V24Data());
    form.GETV24Data();
    QVERIFY(Shown(form).endsWith("next"));
}

void FramingTest::commandArgumentsAreEscaped() {
    // A command frame carries its arguments escaped; the plain command lines
    // outside HOST mode go as they are.
    FormFixture f;
    THoofdForm& form = Create(f);
    form.Send(Frames::CommandFrame(QByteArray("PG", 2) + QByteArray("A\x17"
                                                                    "B",
                                                                    3)));
    QCOMPARE(f.Written(), QByteArray("\x01OPGA\x10\x17"
                                     "B\x17"));
    f.serial.ClearWritten();
    form.st.HostModeActive = true;
    form.TimeToPk232();
    QCOMPARE(f.Written(), QByteArray("\x01ODA2603050907\x17"));
    f.serial.ClearWritten();
    form.SendCTRL(3);
    QCOMPARE(f.Written(), QByteArray("\x01\x20\x03\x17"));
}

void FramingTest::hostOnReplyReadPastEscapedEnd() {
    // The reply to "GG" is read to its own end byte, not to an escaped one;
    // the frame behind it is left whole for the decoder.
    FormFixture f;
    THoofdForm& form = Create(f);
    GgPeer peer("\x01OGG\x10\x17xy\x17\x01/after\x17");
    f.serial.AttachPeer(&peer);
    form.st.PkParametersLoaded = true;
    form.HostOn(0);
    QVERIFY(form.st.HostModeActive);
    QCOMPARE(f.serial.PendingInput(), QByteArray("\x01/after\x17"));
    form.GETV24Data();
    QCOMPARE(Shown(form), QString("after"));
    f.serial.AttachPeer(nullptr);
}

void FramingTest::unlistedFrameGivesWayToTheNext_data() {
    QTest::addColumn<QByteArray>("input");
    QTest::addColumn<QString>("shown");
    QTest::newRow("lost end byte") << QByteArray("\x01"
                                                 "A garbage \x01/hello\x17\x01/after\x17")
                                   << QString("helloafter");
    QTest::newRow("start byte as control byte")
        << QByteArray("\x01\x01/hello\x17\x01/after\x17") << QString("helloafter");
    // An escaped start byte is data: the unlisted frame goes on to its end.
    QTest::newRow("escaped start byte") << QByteArray("\x01"
                                                      "Ax\x10\x01/no\x17\x01/after\x17")
                                        << QString("after");
    QTest::newRow("escaped end byte") << QByteArray("\x01"
                                                    "Ax\x10\x17/no\x17\x01/after\x17")
                                      << QString("after");
}

void FramingTest::unlistedFrameGivesWayToTheNext() {
    QFETCH(QByteArray, input);
    QFETCH(QString, shown);
    FormFixture f;
    THoofdForm& form = Create(f);
    f.serial.FeedInput(input);
    for (int tick = 0; tick < 5 && form.V24Data(); ++tick)
        form.SchryfintervalTimer();
    QVERIFY(!form.V24Data());
    QCOMPARE(Shown(form), shown);
}

void FramingTest::deadLineDoesNotSpin_data() {
    QTest::addColumn<QByteArray>("start");
    QTest::newRow("monitor frame") << QByteArray("\x01?ab");
    QTest::newRow("unlisted frame") << QByteArray("\x01"
                                                  "Aab");
    QTest::newRow("text frame") << QByteArray("\x01/ab");
    QTest::newRow("DLE in a monitor frame") << QByteArray("\x01?ab\x10");
    QTest::newRow("control byte") << QByteArray("\x01");
}

void FramingTest::deadLineDoesNotSpin() {
    // The device hangs up in the middle of a frame. Until the frame is given
    // up the reader waits about a millisecond between reads that find
    // nothing, instead of reading as fast as it can.
    QFETCH(QByteArray, start);
    QTemporaryDir dir;
    WriteSettingsFile(dir);
    VirtualClock clock;
    HungUpLine line(clock);
    ScriptedPrompts prompts;
    THoofdForm form(line, clock, prompts, dir.path());
    line.FeedInput(start);
    const quint64 before = clock.Elapsed();
    form.GETV24Data();
    const quint64 spent = clock.Elapsed() - before;
    QVERIFY2(spent <= 2 * THoofdForm::kFrameTimeLimitMs, QByteArray::number(spent).constData());
    // About one read per millisecond of the frame's time limit.
    QVERIFY2(line.emptyReads <= 2 * int(THoofdForm::kFrameTimeLimitMs),
             QByteArray::number(line.emptyReads).constData());
}

void FramingTest::captureErrorShowsOneBoxAtATime() {
    // The capture file cannot be written. While its error box is up the
    // timers rest, so no further frame is read behind it; an error that
    // comes up all the same shows no second box. The failed write has
    // closed the capture file.
    QTemporaryDir dir;
    WriteSettingsFile(dir);
    VirtualClock clock;
    MemorySerialBackend serial(&clock);
    WatchedPrompts prompts;
    THoofdForm form(serial, clock, prompts, dir.path());
    form.StartTimers();

    QFile capture(dir.filePath("Dervalo.log"));
    QVERIFY(capture.open(QIODevice::WriteOnly));
    capture.close();
    auto failingCapture = [&] {
        form.LogFile.setFileName(capture.fileName());
        QVERIFY(form.LogFile.open(QIODevice::ReadOnly)); // every write fails
        form.st.LogFileOpen = true;
    };
    failingCapture();

    int boxesUp = 0;
    bool timersRested = true;
    prompts.whileBoxShows = [&] {
        ++boxesUp;
        timersRested =
            timersRested && !form.Schryfinterval.isActive() && !form.StatusAanvraagTimer.isActive();
        if (boxesUp == 1) {
            failingCapture();
            serial.FeedInput("\x01/again\x17");
            form.Guarded([&] { form.SchryfintervalTimer(); });
        }
    };
    serial.FeedInput("\x01/text\x17");
    form.Guarded([&] { form.SchryfintervalTimer(); });

    QCOMPARE(boxesUp, 1);
    QVERIFY(timersRested);
    QCOMPARE(prompts.Boxes().size(), 1);
    QVERIFY(form.Schryfinterval.isActive());
    QVERIFY(form.StatusAanvraagTimer.isActive());
    QVERIFY(!form.st.LogFileOpen);
    QCOMPARE(Shown(form), QString("textagain"));

    // Stopped timers stay stopped after the box.
    form.StopTimers();
    failingCapture();
    serial.FeedInput("\x01/third\x17");
    form.Guarded([&] { form.SchryfintervalTimer(); });
    QCOMPARE(prompts.Boxes().size(), 2);
    QVERIFY(!form.Schryfinterval.isActive());
    QVERIFY(!form.StatusAanvraagTimer.isActive());
}

void FramingTest::failedCaptureLetsHeldTextOutWhole() {
    FormFixture f;
    THoofdForm& form = Create(f);
    QFile capture(f.Path("Dervalo.log"));
    QVERIFY(capture.open(QIODevice::WriteOnly));
    capture.close();
    form.LogFile.setFileName(capture.fileName());
    QVERIFY(form.LogFile.open(QIODevice::ReadOnly)); // the write of "A" fails
    form.st.LogFileOpen = true;
    form.st.PendingReceiveText = "ABCDEF";
    f.serial.FeedInput("\x01/G\x17");
    form.GETV24Data();
    // The held text and the frame are shown whole; capture has ended and
    // its error waits to be reported.
    QCOMPARE(Shown(form), QString("ABCDEFG"));
    QVERIFY(form.st.PendingReceiveText.isEmpty());
    QVERIFY(!form.st.LogFileOpen);
    QVERIFY_THROWS_EXCEPTION(InOutError, form.ReportCaptureError());
    form.ReportCaptureError(); // once
    QCOMPARE(f.ReadFile("Dervalo.log"), QByteArray());
}

QTEST_MAIN(FramingTest)
#include "tst_framing.moc"
