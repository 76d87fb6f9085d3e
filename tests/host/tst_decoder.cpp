// The receive decoder: HOST frames by their control byte, the receive hold,
// the other station's call from link messages, the dumb-terminal reader, and
// how the reader copes with cut frames, floods and garbage on the line.
#include <QPlainTextEdit>
#include <QRandomGenerator>
#include <QtTest>
#include <functional>

#include "FormFixture.h"
#include "host/CharTable.h"
#include "host/Frames.h"
#include "link/SerialPeer.h"

namespace {

constexpr quint64 kCallBound = 2 * quint64(THoofdForm::kFrameTimeLimitMs);
// What one call may cost while it waits for a frame's rest: a few tens of
// milliseconds, well under the write timer's 113.
constexpr quint64 kShortCall = 50;

THoofdForm& Create(FormFixture& f) {
    f.WriteFile("Dervalo.INI", FormFixture::Settings());
    return f.Create();
}

QString Shown(THoofdForm& form) {
    return form.ReceiveWindow->toPlainText();
}

// Bytes that reach the line at given ticks of the virtual clock.
class ScheduledPeer : public SerialPeer {
public:
    void At(quint32 tick, const QByteArray& bytes) { plan_.append({tick, bytes}); }
    void Clear() { plan_.clear(); }
    void FromHost(quint8, quint32) override {}
    void Tick(quint32) override {}
    QByteArray ToHost(quint32 nowMs) override {
        QByteArray out;
        while (!plan_.isEmpty() && plan_.first().first <= nowMs)
            out += plan_.takeFirst().second;
        return out;
    }

private:
    QList<QPair<quint32, QByteArray>> plan_;
};

// A line that never falls quiet: whenever the program looks there is one more
// byte (or `unit`, a whole frame), and each costs a millisecond. After `bytes` bytes it sends an
// end byte and stops, so that a reader without a bound fails the test rather
// than hanging it.
class FloodPeer : public SerialPeer {
public:
    FloodPeer(VirtualClock& clock, char byte, int bytes, const QByteArray& unit = QByteArray())
        : clock_(clock), unit_(unit.isEmpty() ? QByteArray(1, byte) : unit), left_(bytes) {}
    void FromHost(quint8, quint32) override {}
    void Tick(quint32) override {}
    QByteArray ToHost(quint32) override {
        if (left_ < 0) return QByteArray();
        if (left_-- == 0) return QByteArray(1, Frames::kEnd);
        clock_.Advance(1);
        return unit_;
    }

private:
    VirtualClock& clock_;
    QByteArray unit_;
    int left_;
};

// Virtual milliseconds one call of `read` takes.
quint64 Spent(FormFixture& f, const std::function<void()>& read) {
    const quint64 before = f.clock.Elapsed();
    read();
    return f.clock.Elapsed() - before;
}

} // namespace

class DecoderTest : public QObject {
    Q_OBJECT
private slots:
    void readPrimitives();
    void dummiReadDropsOneBlock();
    void textFrames_data();
    void textFrames();
    void gappedFrameReadWhole_data();
    void gappedFrameReadWhole();
    void repliesInPiecesReadWhole();
    void waitingFramesReadAtOneTick();
    void tickKeepsItsBudget();
    void quietLineEndsTheCall();
    void heldText_data();
    void heldText();
    void scrollBackKeepsTextPending();
    void linkMessageGivesHisCall_data();
    void linkMessageGivesHisCall();
    void badInputLeavesDecoderInStep_data();
    void badInputLeavesDecoderInStep();
    void dumbModeFilter();
    void endlessFrameGivesUp_data();
    void endlessFrameGivesUp();
    void dumbFloodReturns();
    void randomGarbageThenGoodFrame();
    void fuzz();
};

void DecoderTest::readPrimitives() {
    FormFixture f;
    THoofdForm& form = Create(f);
    QVERIFY(!form.V24Data());
    QCOMPARE(form.V24input(), THoofdForm::kNoByte);
    QCOMPARE(form.V24Read(), THoofdForm::kNoByte);

    f.serial.FeedInput(QByteArray("\n\n\x17\xff", 4));
    QVERIFY(form.V24Data());
    QCOMPARE(form.V24Read(), 0x0A);
    QCOMPARE(form.V24input(), 0); // a line feed reads as 0
    QCOMPARE(form.V24input(), 0x17);
    QCOMPARE(form.V24input(), 0xFF);
    QVERIFY(!form.V24Data());

    // Waiting for nothing comes back.
    form.WaitForData();
    QVERIFY(!form.V24Data());
}

void DecoderTest::dummiReadDropsOneBlock() {
    FormFixture f;
    THoofdForm& form = Create(f);
    QVERIFY(!form.Schryfinterval.isActive());
    form.DummiRead(); // nothing waiting: nothing read
    QVERIFY(form.Schryfinterval.isActive());
    QVERIFY(form.StatusAanvraagTimer.isActive());

    form.StopTimers();
    f.serial.FeedInput(QByteArray(1000, 'a') + QByteArray(100, 'b'));
    form.DummiRead();
    QCOMPARE(f.serial.PendingInput(), QByteArray(76, 'b'));
    QVERIFY(Shown(form).isEmpty());
    QVERIFY(form.StatusAanvraagTimer.isActive());
}

void DecoderTest::textFrames_data() {
    QTest::addColumn<char>("control");
    QTest::addColumn<int>("schryfCalls");
    // A, B, carriage return and the 0 the line feed reads as; the monitor
    // frame hands on its end byte as well.
    QTest::newRow("echo") << char(0x2F) << 4;
    QTest::newRow("text") << char(0x30) << 4;
    QTest::newRow("monitor") << char(0x3F) << 5;
}

void DecoderTest::textFrames() {
    QFETCH(char, control);
    QFETCH(int, schryfCalls);
    FormFixture f;
    THoofdForm& form = Create(f);
    form.st.FileTransmitActive = true;
    form.st.TxPendingCount = 100;

    f.serial.FeedInput(QByteArray("\x01") + control + "AB\r\n\x17");
    form.GETV24Data();
    // One line break: the line feed never reaches the window as one.
    QCOMPARE(Shown(form), QString("AB\n"));
    QCOMPARE(form.st.TxPendingCount, quint16(100 - schryfCalls));
    QVERIFY(f.serial.PendingInput().isEmpty());
    QVERIFY(form.st.PendingReceiveText.isEmpty());
}

void DecoderTest::gappedFrameReadWhole_data() {
    QTest::addColumn<char>("control");
    QTest::newRow("echo") << char(0x2F);
    QTest::newRow("text") << char(0x30);
    QTest::newRow("monitor") << char(0x3F);
}

void DecoderTest::gappedFrameReadWhole() {
    // A frame that trickles in over several ticks is read whole, and the
    // frames after it too; no call waits for any of it. A DLE and the byte
    // it escapes may come 10 ms apart (an adapter's latency timer, a
    // network bridge) with a tick between them: an escaped 0x17 does not
    // end the frame, an escaped 0x01 does not begin one.
    QFETCH(char, control);
    FormFixture f;
    THoofdForm& form = Create(f);
    ScheduledPeer peer;
    const quint32 now = f.clock.TickCount();
    peer.At(now + 40, "B");
    peer.At(now + 220, "C\x10");
    peer.At(now + 230, "\x17"
                       "D\x17");
    peer.At(now + 330, QByteArray("\x01") + control + "E\x10");
    peer.At(now + 340, "\x01"
                       "F\x17");
    peer.At(now + 500, "\x01/later\x17");
    f.serial.AttachPeer(&peer);
    f.serial.FeedInput(QByteArray("\x01") + control + "A");

    QStringList shown;
    for (int tick = 0; tick < 8; ++tick) {
        const quint64 spent = Spent(f, [&] { form.SchryfintervalTimer(); });
        QVERIFY2(spent < 5, QByteArray::number(spent).constData());
        shown << Shown(form);
        f.clock.Advance(113);
    }
    // The ticks at 226 and 339 saw the DLE without its byte.
    QCOMPARE(shown.mid(0, 5), QStringList({"", "", "", "ABCD", "ABCDEF"}));
    QCOMPARE(Shown(form), QString("ABCDEFlater"));
    QVERIFY(!form.V24Data());
    f.serial.AttachPeer(nullptr);
}

void DecoderTest::repliesInPiecesReadWhole() {
    // A status reply and a link message, each in pieces over several ticks,
    // are decoded whole once their end byte has come.
    FormFixture f;
    THoofdForm& form = Create(f);
    ScheduledPeer peer;
    const quint32 now = f.clock.TickCount();
    peer.At(now + 150, "PN3-");
    peer.At(now + 400, "--0\x17\x01P CONNEC");
    peer.At(now + 700, "TED to DL");
    peer.At(now + 900, "1ABC\x17");
    f.serial.AttachPeer(&peer);
    f.serial.FeedInput("\x01OOP");
    QStringList modes;
    for (int tick = 0; tick < 12; ++tick) {
        const quint64 spent = Spent(f, [&] { form.SchryfintervalTimer(); });
        QVERIFY2(spent < kShortCall, QByteArray::number(spent).constData());
        modes << form.st.LinkStateText;
        f.clock.Advance(113);
    }
    QCOMPARE(modes.first(), QString()); // nothing decoded from half a reply
    QCOMPARE(form.st.ModeName, QString("PACTOR"));
    QCOMPARE(form.st.LinkStateText, QString("LISTEN"));
    QCOMPARE(form.st.LinkMessageText, QString(" CONNECTED to DL1ABC"));
    QCOMPARE(form.st.HisCall, QString("DL1ABC"));
    f.serial.AttachPeer(nullptr);
}

void DecoderTest::waitingFramesReadAtOneTick() {
    // Every complete frame waiting at a tick is read at that tick, a status
    // reply among them; a frame not yet complete ends the tick at once (no
    // wait for its rest), and is read on at the next.
    FormFixture f;
    THoofdForm& form = Create(f);
    f.serial.FeedInput("\x01/one\r\x17\x01/two\r\x17");
    form.SchryfintervalTimer();
    QCOMPARE(Shown(form), QString("one\ntwo\n"));
    QVERIFY(!form.V24Data());
    form.SchryfintervalTimer(); // nothing waiting
    QCOMPARE(Shown(form), QString("one\ntwo\n"));

    f.serial.FeedInput("\x01/3\x17\x01OOPN3\x17\x01/4\x17\x01/5");
    const quint64 spent = Spent(f, [&] { form.SchryfintervalTimer(); });
    QCOMPARE(Shown(form), QString("one\ntwo\n34"));
    QCOMPARE(form.st.StatusReplyText, QString("OPN3"));
    QVERIFY2(spent < 5, QByteArray::number(spent).constData());
    f.serial.FeedInput("6\x17\x01/7\x17");
    form.SchryfintervalTimer();
    QCOMPARE(Shown(form), QString("one\ntwo\n34567"));
    QVERIFY(!form.V24Data());
}

void DecoderTest::tickKeepsItsBudget() {
    // A unit that always has one more frame, and every look at the line
    // costs a millisecond: a tick reads frames for its budget and leaves the
    // rest to the next.
    FormFixture f;
    THoofdForm& form = Create(f);
    FloodPeer frames(f.clock, 'x', 1000, "\x01/x\x17");
    f.serial.AttachPeer(&frames);
    f.serial.FeedInput("\x01/x\x17");
    const quint64 spent = Spent(f, [&] { form.SchryfintervalTimer(); });
    const qsizetype read = Shown(form).size();
    QVERIFY2(spent >= THoofdForm::kTickBudgetMs && spent < THoofdForm::kTickBudgetMs + 10,
             QByteArray::number(spent).constData());
    QVERIFY(read > 1);
    QVERIFY(form.V24Data());
    form.SchryfintervalTimer();
    QVERIFY(Shown(form).size() > read);
    f.serial.AttachPeer(nullptr);
}

void DecoderTest::quietLineEndsTheCall() {
    // Noise, then nothing: no frame has started, so the call does not sit
    // waiting for the next one.
    FormFixture f;
    THoofdForm& form = Create(f);
    ScheduledPeer peer;
    peer.At(f.clock.TickCount() + 500, "\x01/late\x17");
    f.serial.AttachPeer(&peer);
    f.serial.FeedInput("noise\r\n");
    form.SchryfintervalTimer();
    QVERIFY(Shown(form).isEmpty());
    QVERIFY(!form.V24Data());
    f.clock.Advance(500);
    form.SchryfintervalTimer();
    QCOMPARE(Shown(form), QString("late"));
    f.serial.AttachPeer(nullptr);
}

void DecoderTest::heldText_data() {
    QTest::addColumn<char>("control");
    QTest::addColumn<QByteArray>("payload");
    QTest::addColumn<QByteArray>("pending");
    QTest::addColumn<int>("schryfCalls");
    QTest::addColumn<QString>("shownAfter");
    QTest::newRow("echo, bell dropped") << char(0x2F)
                                        << QByteArray("A\x07"
                                                      "B")
                                        << QByteArray("AB") << 0 << QString("ABCD");
    QTest::newRow("text, bell dropped") << char(0x30)
                                        << QByteArray("A\x07"
                                                      "B")
                                        << QByteArray("AB") << 0 << QString("ABCD");
    // The monitor frame's end byte goes on even while held.
    QTest::newRow("monitor, bell dropped") << char(0x3F)
                                           << QByteArray("A\x07"
                                                         "B")
                                           << QByteArray("AB") << 1 << QString("ABCD");
    // Backspace, carriage return and 0x20 and up are kept; the line feed
    // (read as 0), escape and other control characters are not.
    QTest::newRow("held set") << char(0x2F) << QByteArray("\x08x\r\n\x1b\x7f\xff\x1f")
                              << QByteArray("\x08x\r\x7f\xff") << 0
                              << QString("x\n") + QChar(0x7F) + "CD";
}

void DecoderTest::heldText() {
    QFETCH(char, control);
    QFETCH(QByteArray, payload);
    QFETCH(QByteArray, pending);
    QFETCH(int, schryfCalls);
    QFETCH(QString, shownAfter);
    FormFixture f;
    THoofdForm& form = Create(f);
    form.st.FileTransmitActive = true;
    form.st.TxPendingCount = 100;
    form.st.HoldReceive = true;

    f.serial.FeedInput(QByteArray("\x01") + control + payload + "\x17");
    form.GETV24Data();
    QCOMPARE(form.st.PendingReceiveText, pending);
    QVERIFY(Shown(form).isEmpty());
    QCOMPARE(form.st.TxPendingCount, quint16(100 - schryfCalls));

    // With nothing waiting the timer leaves the held text where it is.
    form.st.HoldReceive = false;
    form.SchryfintervalTimer();
    QCOMPARE(form.st.PendingReceiveText, pending);

    // The next frame: first the held text, then the frame.
    f.serial.FeedInput("\x01/CD\x17");
    form.SchryfintervalTimer();
    QCOMPARE(Shown(form), shownAfter);
    QVERIFY(form.st.PendingReceiveText.isEmpty());
}

void DecoderTest::scrollBackKeepsTextPending() {
    FormFixture f;
    THoofdForm& form = Create(f);
    form.st.HoldReceive = true;
    form.st.ScrollBackMode = true;
    form.st.PendingReceiveText = "AB";
    for (char n = '1'; n <= '5'; ++n) {
        f.serial.FeedInput(QByteArray("\x01/") + n + "\x17");
        form.GETV24Data();
    }
    QCOMPARE(form.st.PendingReceiveText, QByteArray("AB12345"));
    QVERIFY(Shown(form).isEmpty());

    // Reading back without the hold: frames show, the held text still waits.
    form.st.HoldReceive = false;
    f.serial.FeedInput("\x01/6\x17");
    form.GETV24Data();
    QCOMPARE(Shown(form), QString("6"));
    QCOMPARE(form.st.PendingReceiveText, QByteArray("AB12345"));

    form.st.ScrollBackMode = false;
    f.serial.FeedInput("\x01/7\x17");
    form.GETV24Data();
    QCOMPARE(Shown(form), QString("6AB123457"));
    QVERIFY(form.st.PendingReceiveText.isEmpty());
}

void DecoderTest::linkMessageGivesHisCall_data() {
    QTest::addColumn<QByteArray>("payload");
    QTest::addColumn<QString>("linkMessage");
    QTest::addColumn<QString>("hisCall");
    QTest::newRow("connected") << QByteArray(" CONNECTED to AB1CD") << " CONNECTED to AB1CD"
                               << "AB1CD";
    QTest::newRow("trailing text cut to 8")
        << QByteArray(" CONNECTED to AB1CD via PA0XYZ") << " CONNECTED to AB1CD via PA0XYZ"
        << "AB1CD vi";
    QTest::newRow("ends with to") << QByteArray(" LINKED to") << " LINKED to"
                                  << "";
    QTest::newRow("no to") << QByteArray(" DISCONNECTED") << " DISCONNECTED"
                           << "OLD1";
    QTest::newRow("upper case TO") << QByteArray(" CONNECTED TO AB1CD") << " CONNECTED TO AB1CD"
                                   << "OLD1";
    QTest::newRow("first to counts") << QByteArray(" Auto to AB1CD") << " Auto to AB1CD"
                                     << "to AB1CD";
    QTest::newRow("punctuation dropped")
        << QByteArray("*** CONNECTED to A.B/1CD!\r\n") << " CONNECTED to AB1CD"
        << "AB1CD";
    // Positions count in the kept text: the colon is gone, so the character
    // skipped after "to" is the call's first.
    QTest::newRow("colon after to") << QByteArray(" CONNECTED to:AB1CD") << " CONNECTED toAB1CD"
                                    << "B1CD";
}

void DecoderTest::linkMessageGivesHisCall() {
    QFETCH(QByteArray, payload);
    QFETCH(QString, linkMessage);
    QFETCH(QString, hisCall);
    FormFixture f;
    THoofdForm& form = Create(f);
    form.st.HisCall = "OLD1";
    f.serial.FeedInput("\x01P" + payload + "\x17\x01/next\x17");
    form.GETV24Data();
    QCOMPARE(form.st.LinkMessageText, linkMessage);
    QCOMPARE(form.st.HisCall, hisCall);
    QVERIFY(Shown(form).isEmpty());
    // One frame per call: the next one waits for the next.
    QVERIFY(form.V24Data());
    form.GETV24Data();
    QCOMPARE(Shown(form), QString("next"));
}

void DecoderTest::badInputLeavesDecoderInStep_data() {
    QTest::addColumn<QByteArray>("before");
    QTest::addColumn<int>("calls"); // ticks until the line is read empty: one, whatever came before
    QTest::newRow("noise before the start byte") << QByteArray("qwe\x02\x03\x7f\xff") << 1;
    QTest::newRow("lone end byte") << QByteArray("\x17") << 1;
    QTest::newRow("noise and an end byte") << QByteArray("ab\x17 cd") << 1;
    QTest::newRow("unlisted control byte") << QByteArray("\x01\x41HIDDEN\r\x17") << 1;
    // A start byte inside an unlisted frame, escaped, is data up to the end
    // byte; an unescaped one begins the next frame (see below).
    QTest::newRow("frame inside an unlisted frame") << QByteArray("\x01\x41x\x10\x01/zz\x17") << 1;
    QTest::newRow("start byte as control byte, escaped")
        << QByteArray("\x01\x41\x10\x01/zz\x17") << 1;
    QTest::newRow("empty frame") << QByteArray("\x01\x17") << 1;
    QTest::newRow("two unlisted frames") << QByteArray("\x01\x10\x17\x01\x7e...\x17") << 1;
}

void DecoderTest::badInputLeavesDecoderInStep() {
    QFETCH(QByteArray, before);
    QFETCH(int, calls);
    FormFixture f;
    THoofdForm& form = Create(f);
    form.st.FileTransmitActive = true;
    form.st.TxPendingCount = 100;
    f.serial.FeedInput(before + "\x01/X\x17");
    int made = 0;
    while (form.V24Data() && made < 10) {
        form.SchryfintervalTimer();
        ++made;
    }
    QCOMPARE(made, calls);
    QCOMPARE(Shown(form), QString("X"));
    QCOMPARE(form.st.TxPendingCount, quint16(99)); // nothing else reached the output
}

void DecoderTest::dumbModeFilter() {
    FormFixture f;
    THoofdForm& form = Create(f);
    form.st.DumbMode = true;
    form.st.FileTransmitActive = true;
    form.st.TxPendingCount = 1000;
    QByteArray all;
    for (int c = 0; c < 256; ++c)
        all.append(char(c));
    f.serial.FeedInput(all + all);

    form.GETV24DUMB();
    QVERIFY(!form.V24Data()); // one call reads everything
    // Tab, vertical tab, form feed, carriage return and 32 and up, twice;
    // the line feed reads as 0 and goes with the other control characters.
    QCOMPARE(form.st.TxPendingCount, quint16(1000 - 2 * (4 + 224)));
    QString line;
    for (int c = 0x20; c <= 0xFE; ++c)
        line += CharTable::ToChar(quint8(c));    // shown as the Windows character set has them
    line.replace(QChar(0xA0), QLatin1Char(' ')); // plain text shows a no-break space as a blank
    QCOMPARE(Shown(form), "\n" + line + "\n" + line);

    // The write timer picks the dumb reader: frame bytes are just bytes.
    form.ReceiveWindow->clear();
    f.serial.FeedInput("\x01/AB\x17\x01/CD\x17");
    form.SchryfintervalTimer();
    QCOMPARE(Shown(form), QString("/AB/CD"));
}

void DecoderTest::endlessFrameGivesUp_data() {
    QTest::addColumn<QByteArray>("start");
    QTest::addColumn<bool>("flood");
    QTest::addColumn<QString>("shown");
    const QList<QPair<const char*, QByteArray>> frames = {
        {"echo", "\x01/abc"},
        {"text", "\x01"
                 "0abc"},
        {"monitor", "\x01?abc"},
        {"command reply", "\x01OOPN"},
        {"link message", "\x01P CONNECTED to AB1"},
        {"unlisted", "\x01\x41"
                     "abc"},
    };
    for (const auto& [name, start] : frames) {
        const bool text = start.at(1) == '/' || start.at(1) == '0' || start.at(1) == '?';
        const QString shown = text ? QStringLiteral("abc") : QString();
        QTest::newRow((QByteArray(name) + ", silent").constData()) << start << false << shown;
        QTest::newRow((QByteArray(name) + ", flood").constData())
            << start << true << (text ? shown + "xxx" : QString());
    }
    QTest::newRow("start byte alone, silent") << QByteArray("\x01") << false << QString();
    QTest::newRow("no start byte, flood") << QByteArray("zz") << true << QString();
}

void DecoderTest::endlessFrameGivesUp() {
    // A frame whose end byte does not come, on a line that has fallen silent
    // or keeps on sending: each call returns at once, nothing of the frame
    // is shown before it ends, and the next frame's start byte hands out
    // the cut frame (its text shown, a reply not decoded) and is read.
    QFETCH(QByteArray, start);
    QFETCH(bool, flood);
    QFETCH(QString, shown);
    FormFixture f;
    THoofdForm& form = Create(f);
    ScheduledPeer late;
    late.At(f.clock.TickCount() + 60000, "\x17"); // only a reader that never gives up gets here
    FloodPeer flooding(f.clock, 'x', 10000);
    f.serial.AttachPeer(flood ? static_cast<SerialPeer*>(&flooding) : &late);
    f.serial.FeedInput(start);

    const quint64 spent = Spent(f, [&] { form.GETV24Data(); });
    QVERIFY2(spent < kShortCall, QByteArray::number(spent).constData());
    QCOMPARE(Shown(form), QString());

    f.serial.AttachPeer(nullptr);
    f.serial.FeedInput("\x01/ok\r\x17");
    while (form.V24Data())
        form.GETV24Data();
    QVERIFY(Shown(form).startsWith(shown));
    QVERIFY(Shown(form).endsWith("ok\n"));
}

void DecoderTest::dumbFloodReturns() {
    FormFixture f;
    THoofdForm& form = Create(f);
    form.st.DumbMode = true;
    FloodPeer flooding(f.clock, 'x', 10000);
    f.serial.AttachPeer(&flooding);
    f.serial.FeedInput("start");
    const quint64 spent = Spent(f, [&] { form.SchryfintervalTimer(); });
    QVERIFY2(spent < kShortCall, QByteArray::number(spent).constData());
    QVERIFY(Shown(form).startsWith("startxxx"));

    f.serial.AttachPeer(nullptr);
    form.poort.PoortPurgeInput();
    form.ReceiveWindow->clear();
    f.serial.FeedInput("more\r");
    form.SchryfintervalTimer();
    QCOMPARE(Shown(form), QString("more\n"));
}

void DecoderTest::randomGarbageThenGoodFrame() {
    FormFixture f;
    THoofdForm& form = Create(f);
    QRandomGenerator rng(232);
    for (int round = 0; round < 50; ++round) {
        QByteArray garbage;
        const int n = 1 + rng.bounded(200);
        for (int i = 0; i < n; ++i) {
            char b = char(rng.bounded(256));
            if (b == Frames::kStart) b = Frames::kEnd; // stray end bytes, never a start
            garbage.append(b);
        }
        form.ReceiveWindow->clear();
        f.serial.FeedInput(garbage + "\x01/GOOD\x17");
        int calls = 0;
        while (form.V24Data()) {
            QVERIFY(++calls <= n + 1);
            QVERIFY(Spent(f, [&] { form.GETV24Data(); }) < kCallBound);
        }
        QCOMPARE(Shown(form), QString("GOOD"));
    }
}

void DecoderTest::fuzz() {
    FormFixture f;
    THoofdForm& form = Create(f);
    ScheduledPeer rescue;
    f.serial.AttachPeer(&rescue);
    QRandomGenerator rng(0x50B2);
    // Frame bytes and the characters the decoders look for turn up often.
    static const char kLikely[] = {0x01, 0x17, 0x2F, 0x30, 0x3F, 0x4F, 0x50,      0x0A,
                                   0x0D, 't',  'o',  ' ',  0x08, 0x07, char(0xFF)};
    auto randomByte = [&] {
        if (rng.bounded(3) == 0) return kLikely[rng.bounded(int(sizeof kLikely))];
        return char(rng.bounded(256));
    };

    for (int blob = 0; blob < 3000; ++blob) {
        QByteArray bytes;
        const int n = rng.bounded(48);
        for (int i = 0; i < n; ++i)
            bytes.append(randomByte());
        form.st.HoldReceive = rng.bounded(4) == 0;
        form.st.ScrollBackMode = form.st.HoldReceive && rng.bounded(2) == 0;
        form.st.DumbMode = rng.bounded(8) == 0;
        f.serial.FeedInput(bytes);
        // Only a reader that never gives up lives to see this end byte.
        rescue.At(f.clock.TickCount() + 60000, QByteArray(1, Frames::kEnd));
        int calls = 0;
        while (form.V24Data()) {
            QVERIFY2(++calls <= n, qPrintable(QString("blob %1").arg(blob)));
            const quint64 spent = Spent(f, [&] { form.SchryfintervalTimer(); });
            QVERIFY2(spent < kCallBound,
                     qPrintable(QString("blob %1: %2 ms").arg(blob).arg(spent)));
        }
        rescue.Clear();

        if (blob % 3 == 0) {
            // A good frame after whatever came before is read as it should be.
            form.st.HoldReceive = false;
            form.st.ScrollBackMode = false;
            form.st.DumbMode = false;
            const QByteArray mark = "#" + QByteArray::number(blob);
            f.serial.FeedInput("\x01/" + mark + "\r\x17");
            form.SchryfintervalTimer();
            QVERIFY2(Shown(form).endsWith(QString::fromLatin1(mark + "\n")),
                     qPrintable(QString("blob %1").arg(blob)));
            QVERIFY(!form.V24Data());
            QVERIFY(form.st.PendingReceiveText.isEmpty());
        }
        if (blob % 100 == 99) form.ReceiveWindow->clear();
    }

    form.st.HoldReceive = false;
    form.st.ScrollBackMode = false;
    form.st.DumbMode = false;
    form.st.PendingReceiveText.clear();
    form.ReceiveWindow->clear();
    f.serial.FeedInput("\x01/CLEAN\r\x17");
    form.SchryfintervalTimer();
    QCOMPARE(Shown(form), QString("CLEAN\n"));
}

QTEST_MAIN(DecoderTest)
#include "tst_decoder.moc"
