// What the receive window costs as its buffer grows: one megabyte received
// through the decoder, and at 0, 100 KB and 1 MB of buffer the cost of one
// 60-byte text frame with its repaint, of one text frame, one character, one status tick, one
// status reply, one run of the message hook, one ScrollNaarEnd and one HerstelReceiveWindow. Each
// figure is the median of many runs; "+paint" adds the window's own repaint
// that follows in the event loop. Run: build with -DDERVALO_BENCH=ON in a
// release build, then ./bench_receivewindow (or "./bench_receivewindow quick"
// for 0 and 100 KB only). Also: a 60-byte frame with its repaint after a
// 10 KB line without line end. Times are processor time of the program's
// thread. With "--tsv" the figures come as "name<TAB>value<TAB>unit" lines
// (BenchReport.h); there "status_tick" is one status request out with its
// reply read, decoded and shown on the status line, repaint included, and
// "peak_memory_1mb" the peak resident memory after the megabyte.
#include <QApplication>
#include <QPlainTextEdit>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QTextCursor>
#include <algorithm>
#include <cstdio>
#include <ctime>
#include <functional>
#include <vector>

#include "BenchReport.h"
#include "BenchSupport.h"
#include "link/MemorySerialBackend.h"
#include "shell/Clock.h"
#include "shell/HoofdForm.h"
#include "shell/Prompts.h"

namespace {
const QByteArray kFrame = "\x01/CQ CQ CQ de PA3XYZ PA3XYZ PA3XYZ pse k\r\n\x17";
// A received text frame of 60 bytes of text, the last a carriage return.
const QByteArray kFrame60 = "\x01"
                            "0RYRYRY de PA3XYZ PA3XYZ the quick brown fox jumps over 1234\r\x17";
// 60 bytes of echoed text without a line end: a line that only grows.
const QByteArray kLineFrame60 = "\x01/" + QByteArray(59, 'x') + " \x17";

// The processor time of this thread, in microseconds: on a machine shared
// with other work the wall clock would count their time too.
// Median microseconds of `runs` runs of `op`, each after `prepare`.
double Median(int runs, const std::function<void()>& prepare, const std::function<void()>& op) {
    std::vector<double> us;
    for (int i = 0; i < runs; ++i) {
        prepare();
        const double start = bench::ThreadCpuMicroseconds();
        op();
        us.push_back(bench::ThreadCpuMicroseconds() - start);
    }
    std::sort(us.begin(), us.end());
    return us[us.size() / 2];
}

void Fill(THoofdForm& form, MemorySerialBackend& serial, int bytes) {
    while (THoofdForm::TextLength(form.ReceiveWindow) < bytes) {
        for (int i = 0; i < 256; ++i)
            serial.FeedInput(kFrame);
        while (serial.BytesAvailable() > 0)
            form.GETV24Data();
    }
}

void Measure(THoofdForm& form, MemorySerialBackend& serial, const char* label, const char* key,
             const bench::Report& report) {
    QPlainTextEdit* rx = form.ReceiveWindow;
    auto paint = [&] { rx->viewport()->repaint(); };
    auto nothing = [] {};
    auto toTop = [&] {
        rx->verticalScrollBar()->setValue(0);
        QTextCursor c = rx->textCursor();
        c.movePosition(QTextCursor::Start);
        rx->setTextCursor(c);
        paint();
    };
    const int runs = 101;
    const double frame = Median(
        runs, [&] { serial.FeedInput(kFrame); }, [&] { form.GETV24Data(); });
    const double character = Median(runs, nothing, [&] { form.schryf('x'); });
    const double tick = Median(runs, nothing, [&] { form.StatusAanvraagTimerTimer(); });
    const double reply = Median(
        runs, [&] { serial.FeedInput("\x01OOPPN3--0\x17"); }, [&] { form.GETV24Data(); });
    const double hook = Median(runs, nothing, [&] { form.ReceiveHandle(); });
    const double scroll = Median(runs, toTop, [&] { form.ScrollNaarEnd(); });
    const double scrollPaint = Median(runs, toTop, [&] {
        form.ScrollNaarEnd();
        paint();
    });
    const double herstel = Median(runs, toTop, [&] { form.HerstelReceiveWindow(); });
    const double herstelPaint = Median(runs, toTop, [&] {
        form.HerstelReceiveWindow();
        paint();
    });
    const double framePaint = Median(
        runs, [&] { serial.FeedInput(kFrame); },
        [&] {
            form.GETV24Data();
            paint();
        });
    const double frame60Paint = Median(
        runs, [&] { serial.FeedInput(kFrame60); },
        [&] {
            form.GETV24Data();
            paint();
        });
    // One status tick as the operator sees it: the request goes out, the
    // reply comes, is read and decoded, and the status line shows it with
    // the repaint that follows in the event loop. The same reply each time
    // (nothing on the status line changes), and two replies in turn
    // (listening and calling: the link state, phase and transmit panes
    // change at every tick).
    auto flush = [] { QCoreApplication::processEvents(); };
    auto statusTick = [&](const QByteArray& reply) {
        form.StatusAanvraagTimerTimer();
        serial.FeedInput(reply);
        form.GETV24Data();
        QCoreApplication::processEvents();
    };
    const double statusSame = Median(runs, flush, [&] { statusTick("\x01OOPPN3---0\x17"); });
    int turn = 0;
    const double statusChanging = Median(
        runs, flush, [&] { statusTick(++turn % 2 ? "\x01OOPPG1---0\x17" : "\x01OOPPN3---0\x17"); });
    serial.ClearWritten();
    if (report.Tsv()) {
        const auto figure = [&](const char* name, double value) {
            report.Figure(
                qPrintable(QStringLiteral("%1@%2").arg(QLatin1String(name), QLatin1String(key))),
                value, "us");
        };
        figure("frame60_paint", frame60Paint);
        figure("frame", frame);
        figure("frame_paint", framePaint);
        figure("char", character);
        figure("status_request", tick);
        figure("status_reply", reply);
        figure("status_tick", statusSame);
        figure("status_tick_changing", statusChanging);
        figure("hook", hook);
        figure("scroll_to_end_paint", scrollPaint);
        figure("restore_window_paint", herstelPaint);
        return;
    }
    std::printf("%-8s %9d chars | 60-byte frame +paint %7.1f | "
                "frame %7.1f (+paint %7.1f) | char %6.1f | status tick %6.1f | "
                "reply %6.1f | hook %5.1f | ScrollNaarEnd %6.1f (+paint %7.1f) | "
                "HerstelReceiveWindow %6.1f (+paint %7.1f) | status tick +paint %6.1f "
                "(changing %6.1f)  [us]\n",
                label, THoofdForm::TextLength(rx), frame60Paint, frame, framePaint, character, tick,
                reply, hook, scroll, scrollPaint, herstel, herstelPaint, statusSame,
                statusChanging);
}
// A frame's cost, repaint included, while the last line holds `lineBytes`
// bytes without a line end and grows by the frame.
void MeasureLongLine(THoofdForm& form, MemorySerialBackend& serial, int lineBytes,
                     const bench::Report& report) {
    for (int n = 0; n < lineBytes; n += 60) {
        serial.FeedInput(kLineFrame60);
        form.GETV24Data();
    }
    auto paint = [&] { form.ReceiveWindow->viewport()->repaint(); };
    const double us = Median(
        101, [&] { serial.FeedInput(kLineFrame60); },
        [&] {
            form.GETV24Data();
            paint();
        });
    const double bare = Median(
        101, [&] { serial.FeedInput(kLineFrame60); }, [&] { form.GETV24Data(); });
    report.Figure("long_line_frame60_paint", us, "us");
    if (report.Tsv()) return;
    std::printf("after a %d KB line without line end: 60-byte frame %7.1f us, +paint %7.1f us\n",
                lineBytes / 1024, bare, us);
}
} // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QTemporaryDir dir;
    VirtualClock clock;
    MemorySerialBackend serial(&clock);
    bench::SilentPrompts prompts;
    // "quick": the figures at 0 and 100 KB only.
    const bool quick = bench::HasArg(argc, argv, "quick");
    const bench::Report report(argc, argv);

    if (!quick) {
        // One megabyte through the decoder into a shown window.
        THoofdForm form(serial, clock, prompts, dir.path());
        form.show();
        QCoreApplication::processEvents();
        form.StopTimers();
        const double start = bench::ThreadCpuMicroseconds();
        Fill(form, serial, 1 << 20);
        const double ms = (bench::ThreadCpuMicroseconds() - start) / 1e3;
        const int frames = THoofdForm::TextLength(form.ReceiveWindow) / (int(kFrame.size()) - 3);
        // The peak resident memory of the process so far: the program's
        // window with a megabyte received, and this benchmark around it.
        const long peakKb = bench::PeakResidentKb();
        report.Figure("fill_1mb_per_frame", ms * 1000 / frames, "us");
        report.Figure("peak_memory_1mb", double(peakKb) / 1024, "MB");
        if (!report.Tsv())
            std::printf("1 MB through the decoder: %d frames in %.0f ms, %.1f us per frame; "
                        "peak resident memory %.1f MB\n",
                        frames, ms, ms * 1000 / frames, double(peakKb) / 1024);
        form.ReceiveWindow->clear();
    }

    THoofdForm form(serial, clock, prompts, dir.path());
    form.show();
    QCoreApplication::processEvents();
    form.StopTimers();
    Measure(form, serial, "0", "0", report);
    Fill(form, serial, 100 * 1024);
    Measure(form, serial, "100 KB", "100KB", report);
    MeasureLongLine(form, serial, 10 * 1024, report);
    if (quick) return 0;
    Fill(form, serial, 1 << 20);
    Measure(form, serial, "1 MB", "1MB", report);
    return 0;
}
