// Whether the reader keeps pace with a real PK-232 on a live link: the unit
// answers every data frame at once (0x5F), echoes each sent character in a
// frame of its own (0x2F) as it goes on the air at 20 characters a second,
// and sends the text it hears in small frames (0x30), while the operator
// types at 20 characters a second. The same run is made with one frame per
// write-timer tick and with the tick that reads what is waiting
// (ReadWaitingFrames), on the virtual clock. Printed: frames read per second
// while typing, the largest number of frames waiting, the status requests
// sent while typing, the delay from the last echo frame to its showing, and
// the processor time of the window's thread per tick (mean and largest).
// Run: build with -DDERVALO_BENCH=ON in a release build, then
// ./bench_readpace; with "--tsv" the figures come as "name<TAB>value<TAB>unit"
// lines (BenchReport.h), those of the one-frame rule named "one_frame_...".
#include <QApplication>
#include <QPlainTextEdit>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>
#include <ctime>
#include <deque>

#include "BenchReport.h"
#include "BenchSupport.h"
#include "host/Frames.h"
#include "link/MemorySerialBackend.h"
#include "link/SerialPeer.h"
#include "shell/Clock.h"
#include "shell/HoofdForm.h"
#include "shell/Prompts.h"

namespace {
constexpr quint32 kAirMsPerChar = 50; // 20 characters a second on the air
constexpr quint32 kKeyMs = 50;        // the operator types 20 a second
constexpr quint32 kHeardMs = 100;     // a heard character every 100 ms
constexpr quint32 kTypingMs = 30000;  // 30 s of typing
constexpr char kLastKey = '#';        // the last key typed, shown nowhere else

// The unit as it behaves on the line, frame by frame.
class RealUnit : public SerialPeer {
public:
    void FromHost(quint8 byte, quint32 nowMs) override {
        if (byte == quint8(Frames::kStart) && !escaped_) {
            frame_.clear();
            inFrame_ = true;
            return;
        }
        if (!inFrame_) return;
        if (byte == quint8(Frames::kDle) && !escaped_) {
            escaped_ = true;
            return;
        }
        if (byte == quint8(Frames::kEnd) && !escaped_) {
            inFrame_ = false;
            Answer(nowMs);
            return;
        }
        escaped_ = false;
        frame_.append(char(byte));
    }
    void Tick(quint32) override {}
    QByteArray ToHost(quint32 nowMs) override {
        QByteArray out;
        while (!out_.empty() && out_.front().first <= nowMs) {
            out += out_.front().second;
            out_.pop_front();
            ++framesDelivered;
        }
        return out;
    }
    // Heard text: one character in a frame of its own at `atMs`.
    void Hear(char c, quint32 atMs) { Put(atMs, Frame(Frames::kRxText, c)); }

    quint32 lastEchoMs = 0;
    int statusRequests = 0;
    int framesSent = 0;
    int framesDelivered = 0; // put on the line by now

private:
    static QByteArray Frame(char control, char c) {
        return QByteArray(1, Frames::kStart) + control + Frames::Escape(QByteArray(1, c)) +
               Frames::kEnd;
    }
    void Put(quint32 atMs, const QByteArray& frame) {
        // Kept in time order; frames made at the same moment keep their order.
        auto at = std::upper_bound(out_.begin(), out_.end(), atMs,
                                   [](quint32 t, const auto& item) { return t < item.first; });
        out_.insert(at, {atMs, frame});
        ++framesSent;
    }
    void Answer(quint32 nowMs) {
        if (frame_.isEmpty()) return;
        if (frame_.at(0) == Frames::kData) {
            Put(nowMs, QByteArray("\x01\x5FXX\x00\x17", 6));
            for (const char c : frame_.mid(1)) {
                airFree_ = std::max(airFree_, nowMs) + kAirMsPerChar;
                Put(airFree_, Frame(Frames::kRxEcho, c));
                lastEchoMs = airFree_;
            }
        } else if (frame_ == "OOP") {
            ++statusRequests;
            Put(nowMs, "\x01OOPPN3--0\x17");
        }
    }

    QByteArray frame_;
    bool inFrame_ = false;
    bool escaped_ = false;
    quint32 airFree_ = 0;
    std::deque<std::pair<quint32, QByteArray>> out_;
};

int FramesWaiting(const QByteArray& bytes) {
    return int(bytes.count(Frames::kStart));
}

void Run(bool waitingFrames, const QString& folder, const bench::Report& report) {
    VirtualClock clock;
    MemorySerialBackend serial(&clock);
    bench::SilentPrompts prompts;
    RealUnit unit;
    serial.AttachPeer(&unit);
    THoofdForm form(serial, clock, prompts, folder);
    form.show();
    QCoreApplication::processEvents();
    form.StopTimers();

    const quint32 t0 = clock.TickCount();
    for (quint32 t = 0; t < kTypingMs; t += kHeardMs)
        unit.Hear(char('a' + (t / kHeardMs) % 26), t0 + t);
    quint32 nextWrite = t0 + 113, nextStatus = t0 + 557, nextKey = t0;
    int keys = 0, maxWaiting = 0, ticks = 0, requestsWhileTyping = 0, framesRead = 0,
        framesSent = 0;
    double cpuTotal = 0, cpuMax = 0;
    quint32 shownAt = 0;
    const int keyCount = int(kTypingMs / kKeyMs);
    while (clock.TickCount() - t0 < 300000) {
        const quint32 next = std::min({nextWrite, nextStatus, keys < keyCount ? nextKey : ~0u});
        if (next > clock.TickCount()) clock.Advance(next - clock.TickCount());
        if (keys < keyCount && next == nextKey) {
            form.senddata(QByteArray(1, keys + 1 == keyCount ? kLastKey : char('A' + keys % 26)));
            ++keys;
            nextKey += kKeyMs;
        } else if (next == nextStatus) {
            form.StatusAanvraagTimerTimer();
            nextStatus += 557;
        } else {
            serial.BytesAvailable(); // takes in what the unit has sent by now
            maxWaiting = std::max(maxWaiting, FramesWaiting(serial.PendingInput()));
            const double start = bench::ThreadCpuMicroseconds();
            if (waitingFrames) {
                form.SchryfintervalTimer();
            } else if (form.V24Data()) { // one frame per tick
                form.GETV24Data();
            }
            QCoreApplication::processEvents(); // the repaint that follows
            const double used = bench::ThreadCpuMicroseconds() - start;
            cpuTotal += used;
            cpuMax = std::max(cpuMax, used);
            ++ticks;
            nextWrite += 113;
            if (form.ReceiveWindow->toPlainText().contains(QLatin1Char(kLastKey))) {
                shownAt = clock.TickCount();
                break;
            }
        }
        if (clock.TickCount() - t0 <= kTypingMs) {
            requestsWhileTyping = unit.statusRequests;
            serial.BytesAvailable();
            framesRead = unit.framesDelivered - FramesWaiting(serial.PendingInput());
            framesSent = unit.framesDelivered;
        }
    }
    const double seconds = kTypingMs / 1000.0;
    const auto figure = [&](const char* name, double value, const char* unit) {
        const QByteArray full = QByteArray(waitingFrames ? "" : "one_frame_") + name;
        report.Figure(full.constData(), value, unit);
    };
    figure("frames_read", framesRead / seconds, "frames/s");
    figure("frames_sent", framesSent / seconds, "frames/s");
    figure("frames_waiting_max", maxWaiting, "frames");
    figure("status_requests", requestsWhileTyping, "requests");
    figure("last_echo_delay", shownAt ? double(shownAt - unit.lastEchoMs) : -1.0, "ms");
    figure("tick_mean", cpuTotal / ticks, "us");
    figure("tick_max", cpuMax, "us");
    serial.AttachPeer(nullptr);
    if (report.Tsv()) return;
    std::printf("%-22s | %6.1f frames/s read (%5.1f sent) | %5d waiting at most | %3d status "
                "requests | last echo shown after %7.0f ms | tick %6.0f us mean, %6.0f us max\n",
                waitingFrames ? "frames waiting / tick" : "one frame / tick", framesRead / seconds,
                framesSent / seconds, maxWaiting, requestsWhileTyping,
                shownAt ? double(shownAt - unit.lastEchoMs) : -1.0, cpuTotal / ticks, cpuMax);
}
} // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QTemporaryDir dir;
    const bench::Report report(argc, argv);
    if (!report.Tsv())
        std::printf(
            "30 s of typing at 20 keys/s (acknowledged at once, echoed at 20 chars/s on the "
            "air) and a heard character every 100 ms; a delay of -1 means not shown in 300 s\n");
    Run(false, dir.path(), report);
    Run(true, dir.path(), report);
    return 0;
}
