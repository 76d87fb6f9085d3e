// The line against the window's thread, on a real pseudo-terminal with the
// real line code, clock and event loop (offscreen):
// - the longest wait of the window's thread (the largest gap between the
//   beats of a 5 ms timer) while the line stalls for 15 s: the far side
//   reads nothing while the status timer asks and 60 KB of text are sent;
// - from a frame's arrival to its text shown, median and largest, for
//   one-character received frames at the pace of a 38,400-baud line;
// - the processor share of the window's thread at a 38,400-baud flood of
//   one-character frames (960 a second) for 10 s.
// Run: build with -DDERVALO_BENCH=ON in a release build, then
// ./bench_linestall; with "--tsv" the figures come as
// "name<TAB>value<TAB>unit" lines (BenchReport.h).
#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QPlainTextEdit>
#include <QTemporaryDir>
#include <QTextDocument>
#include <QTimer>
#include <algorithm>
#include <atomic>
#include <cstdio>
#include <ctime>
#include <fcntl.h>
#include <stdlib.h>
#include <thread>
#include <unistd.h>
#include <vector>

#include "BenchReport.h"
#include "BenchSupport.h"
#include "host/Frames.h"
#include "link/LineBackend.h"
#include "shell/Clock.h"
#include "shell/HoofdForm.h"
#include "shell/Prompts.h"

namespace {
// The master side of a pseudo-terminal; the program opens its slave.
struct Pty {
    int fd = ::posix_openpt(O_RDWR | O_NOCTTY | O_NONBLOCK);
    QString slave;
    Pty() {
        if (fd >= 0 && ::grantpt(fd) == 0 && ::unlockpt(fd) == 0)
            slave = QString::fromLocal8Bit(::ptsname(fd));
    }
    ~Pty() {
        if (fd >= 0) ::close(fd);
    }
    void Drain() {
        char buf[4096];
        while (::read(fd, buf, sizeof buf) > 0) {
        }
    }
};

// A settings file for the slave at 38,400 baud, "Init Pk" off: no start-up.
void WriteSettings(const QString& folder, const QString& device) {
    QFile ini(folder + "/Dervalo.INI");
    if (!ini.open(QIODevice::WriteOnly)) return;
    const QList<QByteArray> lines = {
        ";Port Number", device.toLocal8Bit(), ";Baudrate", "38400",
        ";Do NOT change the values below", "terminal", "8", "System", "8", "12632256",
        "16711680", "Normal", "normal", "0", "65535", "", "0", "0", "", "0", "0", "11203312",
        "System", "System", "263", "PA0ABC", "ABCD", "OFF", "OFF", "OFF", "OFF"};
    for (const QByteArray& l : lines)
        ini.write(l + "\r\n");
}

// The event loop for `ms`. The timer goes with the call: one left running
// would end a later loop early (a flood measured for a quarter of a second,
// then the window's thread blocked in a join, gave a share of 0 %).
void Run(int ms) {
    QTimer end;
    end.setSingleShot(true);
    QObject::connect(&end, &QTimer::timeout, qApp, &QCoreApplication::quit);
    end.start(ms);
    qApp->exec();
}

} // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const bench::Report report(argc, argv);
    QTemporaryDir dir;
    bench::SilentPrompts prompts;
    SystemClock clock;

    // 1. The line stalls for 15 s.
    {
        Pty pty;
        WriteSettings(dir.path(), pty.slave);
        LineBackend line;
        THoofdForm form(line, clock, prompts, dir.path());
        form.CreateDialogs();
        form.show();
        form.StartTimers();
        qint64 longest = 0;
        QElapsedTimer beat;
        beat.start();
        QTimer beats;
        beats.setInterval(5);
        QObject::connect(&beats, &QTimer::timeout, [&] {
            longest = std::max(longest, beat.restart());
        });
        int sent = 0;
        QTimer typing; // 60 KB in 100-byte frames over the first 6 s
        typing.setInterval(10);
        QObject::connect(&typing, &QTimer::timeout, [&] {
            if (sent < 60 * 1024) {
                form.senddata(QByteArray(100, 'x'));
                sent += 100;
            }
        });
        beats.start();
        typing.start();
        beat.restart();
        Run(15000);
        if (!report.Tsv()) std::printf("stall: longest wait %lld ms\n", longest);
        report.Figure("stall_longest_wait", double(longest), "ms");
    }

    // 2. and 3. Frames at the pace of a 38,400-baud line.
    for (const bool flood : {false, true}) {
        Pty pty;
        WriteSettings(dir.path(), pty.slave);
        LineBackend line;
        THoofdForm form(line, clock, prompts, dir.path());
        form.CreateDialogs();
        form.show();
        form.StartTimers();
        QElapsedTimer wall;
        wall.start();
        std::vector<qint64> sentAt, shownAt;
        QObject::connect(form.ReceiveWindow->document(), &QTextDocument::contentsChange,
                         [&](int, int, int added) {
                             for (int i = 0; i < added && shownAt.size() < sentAt.size(); ++i)
                                 shownAt.push_back(wall.nsecsElapsed());
                         });
        // One frame "0x01 0x30 X 0x17" takes 4 bytes, about 1 ms at 38,400
        // baud. Latency: one every 20 ms for 10 s; flood: back to back.
        const int frames = flood ? 9600 : 500;
        const int gapUs = flood ? 1042 : 20000;
        std::atomic<bool> done{false};
        std::atomic<int> refused{0}; // frames the full line did not take
        std::vector<qint64> writes(size_t(frames), 0);
        std::thread writer([&] {
            for (int i = 0; i < frames; ++i) {
                writes[size_t(i)] = wall.nsecsElapsed();
                const char frame[] = {0x01, 0x30, char('A' + i % 26), 0x17};
                if (::write(pty.fd, frame, sizeof frame) != sizeof frame) ++refused;
                pty.Drain();
                std::this_thread::sleep_for(std::chrono::microseconds(gapUs));
            }
            done = true;
        });
        sentAt.resize(size_t(frames), 0);
        const double cpuBefore = (bench::ThreadCpuMicroseconds() / 1e3);
        const qint64 wallBefore = wall.elapsed();
        QTimer stopper;
        stopper.setInterval(50);
        QObject::connect(&stopper, &QTimer::timeout, [&] {
            if (done) app.quit();
        });
        stopper.start();
        app.exec();
        stopper.stop();
        writer.join();
        Run(300); // the last frames
        const double cpu = (bench::ThreadCpuMicroseconds() / 1e3) - cpuBefore;
        const double elapsed = double(wall.elapsed() - wallBefore);
        if (flood) {
            const double share = 100.0 * cpu / elapsed;
            if (!report.Tsv())
                std::printf("flood: processor share %.1f %% (%d of %d frames not taken by the "
                            "line)\n",
                            share, refused.load(), frames);
            report.Figure("flood_cpu_share", share, "%");
        } else {
            std::vector<double> lag;
            for (size_t i = 0; i < shownAt.size() && i < writes.size(); ++i)
                lag.push_back(double(shownAt[i] - writes[i]) / 1e6);
            std::sort(lag.begin(), lag.end());
            const double median = lag.empty() ? -1 : lag[lag.size() / 2];
            const double largest = lag.empty() ? -1 : lag.back();
            if (!report.Tsv())
                std::printf("frame to text: median %.1f ms, largest %.1f ms (%zu frames)\n",
                            median, largest, lag.size());
            report.Figure("frame_to_text_median", median, "ms");
            report.Figure("frame_to_text_largest", largest, "ms");
        }
    }
    return 0;
}
