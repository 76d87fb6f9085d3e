// How fast received frames go from the line into the receive window, and how
// fast status replies are decoded. Run: build with -DDERVALO_BENCH=ON, then
// QT_QPA_PLATFORM=offscreen ./bench_decoder; with "--tsv" the figures come as
// "name<TAB>value<TAB>unit" lines (BenchReport.h).
#include <QApplication>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <cstdio>

#include "BenchReport.h"
#include "BenchSupport.h"
#include "link/MemorySerialBackend.h"
#include "shell/Clock.h"
#include "shell/HoofdForm.h"
#include "shell/Prompts.h"

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QTemporaryDir dir;
    VirtualClock clock;
    MemorySerialBackend serial(&clock);
    bench::SilentPrompts prompts;
    THoofdForm form(serial, clock, prompts, dir.path());
    form.StopTimers();

    const int frames = 2000;
    const QByteArray text = "\x01/CQ CQ CQ de PA3XYZ PA3XYZ PA3XYZ pse k\r\n\x17";
    for (int i = 0; i < frames; ++i)
        serial.FeedInput(text);
    QElapsedTimer t;
    t.start();
    while (serial.BytesAvailable() > 0)
        form.GETV24Data();
    const double textMs = double(t.nsecsElapsed()) / 1e6;

    const int replies = 20000;
    for (int i = 0; i < replies; ++i)
        serial.FeedInput("\x01OOPPN3--0\x17");
    t.restart();
    while (serial.BytesAvailable() > 0)
        form.GETV24Data();
    const double replyMs = double(t.nsecsElapsed()) / 1e6;

    const bench::Report report(argc, argv);
    report.Figure("decoder_text_frame", textMs * 1000 / frames, "us");
    report.Figure("decoder_status_reply", replyMs * 1000 / replies, "us");
    if (report.Tsv()) return 0;
    std::printf("text frames:    %d of %d bytes in %.1f ms, %.1f us per frame\n", frames,
                int(text.size()), textMs, textMs * 1000 / frames);
    std::printf("status replies: %d in %.1f ms, %.1f us per reply\n", replies, replyMs,
                replyMs * 1000 / replies);
    return 0;
}
