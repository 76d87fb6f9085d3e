// Program entry: the application, the main window and its dialogs.
#include <QDateTime>
#include <QDir>
#include <QEvent>
#include <QTimer>
#include <cstdio>
#include <ctime>

#include "link/LineBackend.h"
#include "shell/Clock.h"
#include "shell/DervaloApplication.h"
#include "shell/DesktopStart.h"
#include "shell/HoofdForm.h"
#include "shell/Prompts.h"

namespace {
// With DERVALO_REPORT_FIRST_PAINT=1 in the environment: one line on standard
// error, "first paint <ms since the epoch> <processor ms>", once the main
// window's first paint (its parts included) is done; the processor time is
// that of the whole process so far. scripts/bench times the start with it.
class FirstPaintReport : public QObject {
public:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Paint) {
            watched->removeEventFilter(this);
            // Runs once the paint pass that this paint begins has ended.
            QTimer::singleShot(0, [] {
                timespec cpu{};
                clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &cpu);
                std::fprintf(stderr, "first paint %lld %.1f\n",
                             static_cast<long long>(QDateTime::currentMSecsSinceEpoch()),
                             double(cpu.tv_sec) * 1e3 + double(cpu.tv_nsec) / 1e6);
                std::fflush(stderr);
            });
        }
        return false;
    }
};
} // namespace

int main(int argc, char** argv) {
    // From the desktop menu: work in ~/Dervalo, made on the first start.
    if (DesktopStart::Requested(argc, argv) &&
        DesktopStart::EnterWorkingFolder(QDir::homePath()).isEmpty())
        std::fprintf(stderr, "dervalo: cannot use the folder %s in %s; working in %s\n",
                     DesktopStart::kFolderName, qPrintable(QDir::homePath()),
                     qPrintable(QDir::currentPath()));

    DervaloApplication app(argc, argv);
    DervaloApplication::SetTitle();

    LineBackend line;
    SystemClock clock;
    QtPrompts prompts;
    THoofdForm form(line, clock, prompts, QDir::currentPath());
    FirstPaintReport firstPaint;
    if (qEnvironmentVariable("DERVALO_REPORT_FIRST_PAINT") == QLatin1String("1"))
        form.installEventFilter(&firstPaint);
    prompts.SetParent(&form);
    form.CreateDialogs();
    form.show();
    return app.exec();
}
