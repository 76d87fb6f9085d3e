// What a weather-fax band costs the window's thread: at the fastest
// setting (240 lines a minute, every row kept) a band of 8 rows of 960 dots,
// about 970 bytes, comes every 2 s. Each run feeds one band of the
// simulator's chart as 0x3F frames of at most 256 bytes and times the
// reading of the frames (decoding into rows, the picture, the window's new
// strip) and the repaint that follows in the event loop, the fax window
// shown. The chart goes through three times (300 bands, 2,400 rows), so
// the picture's growth is in the figures. Times are processor time of the
// thread. With "--tsv" the figures come as "name<TAB>value<TAB>unit" lines.
#include <QApplication>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>
#include <ctime>
#include <vector>

#include "BenchReport.h"
#include "BenchSupport.h"
#include "ModelFax.h"
#include "fax/FaxReception.h"
#include "fax/FaxWindow.h"
#include "host/Frames.h"
#include "link/MemorySerialBackend.h"
#include "shell/Clock.h"
#include "shell/HoofdForm.h"
#include "shell/Prompts.h"

int main(int argc, char** argv) {
    const bench::Report report(argc, argv);
    QApplication app(argc, argv);
    QTemporaryDir dir;
    VirtualClock clock;
    MemorySerialBackend serial(&clock);
    bench::SilentPrompts prompts;
    THoofdForm w(serial, clock, prompts, dir.path());
    w.SetManualCandidates({});
    w.CreateDialogs();
    w.MenuFax->trigger();
    FaxReception& fax = *w.Fax();
    fax.window->show();
    QApplication::processEvents();

    const pk232sim::FaxChart& chart = pk232sim::FaxChart::Chart();
    std::vector<double> us;
    for (int round = 0; round < 3; ++round)
        for (int b = 0; b < chart.Bands(); ++b) {
            const QByteArray band = chart.Band(b);
            QByteArray frames;
            for (qsizetype at = 0; at < band.size(); at += 256)
                frames += QByteArray("\x01\x3F") + Frames::Escape(band.mid(at, 256)) + "\x17";
            serial.FeedInput(frames);
            const double start = bench::ThreadCpuMicroseconds();
            w.ReadWaitingFrames();
            QApplication::processEvents();
            us.push_back(bench::ThreadCpuMicroseconds() - start);
            clock.Delay(2000);
        }
    const int rows = fax.picture.RowCount();
    std::sort(us.begin(), us.end());
    const double median = us[us.size() / 2];
    const double p95 = us[us.size() * 95 / 100];
    const double largest = us.back();
    report.Figure("fax_band_median", median / 1000.0, "ms");
    report.Figure("fax_band_p95", p95 / 1000.0, "ms");
    report.Figure("fax_band_max", largest / 1000.0, "ms");
    if (!report.Tsv())
        std::printf("fax band of 960 dots, %zu bands, %d rows: median %.3f ms, 95%% %.3f ms, "
                    "largest %.3f ms (target < 5 ms)\n",
                    us.size(), rows, median / 1000.0, p95 / 1000.0, largest / 1000.0);
    return rows == 3 * pk232sim::FaxChart::kHeight ? 0 : 1;
}
