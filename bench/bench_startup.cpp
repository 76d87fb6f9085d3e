// The controller start-up of the real program against the simulator program
// at 9600 baud, line-paced as a real port: from the window's showing (the
// first layout pass runs the start-up) to PACTOR listen, from each state a
// unit can stand in. Each command line waits for the unit's answer, so this
// is the figure to keep under 10 s.
//
//   bench_startup [--tsv] SIMULATOR   (or DERVALO_SIM in the environment)

#include <QApplication>
#include <QDeadlineTimer>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <QThread>
#include <cstdio>

#include "BenchReport.h"
#include "link/LineBackend.h"
#include "link/Settings.h"
#include "shell/Clock.h"
#include "shell/HoofdForm.h"
#include "shell/Prompts.h"

namespace {

// Counts the boxes instead of showing them: a start-up that warns is no
// start-up to time.
class BenchPrompts : public QtPrompts {
public:
    int boxes = 0;
    Answer MessageBox(const QString& text, const QString&, Buttons) override {
        ++boxes;
        std::fprintf(stderr, "message: %s\n", qPrintable(text));
        return Answer::Ok;
    }
    bool Confirm(const QString&, const QString&) override { return true; }
};

// Milliseconds from show() to the end of the start-up; -1 when it warned or
// the simulator did not start.
double StartUpMs(const QString& simulator, const char* state) {
    QTemporaryDir dir;
    const QString device = dir.filePath("pk232");
    QProcess sim;
    sim.start(simulator, {"--link", device, "--band", "off", "--air-speed", "0", "--start", state});
    if (!sim.waitForStarted(5000)) return -1;
    QDeadlineTimer deadline(10000);
    while (!QFileInfo(device).isSymLink() && !deadline.hasExpired())
        QThread::msleep(10);
    double ms = -1;
    {
        BenchPrompts prompts;
        SettingsFields fields;
        ApplyBuiltInDefaults(fields);
        fields.StoredPortName = device;
        fields.StoredBaudRate = 9600;
        fields.DefaultMyCall = QStringLiteral("PA0ABC");
        fields.MySelCall = QStringLiteral("ABCD");
        fields.PkInitOn = true;
        quint8 status = 0;
        WriteSettings(dir.path(), fields, status, prompts);
        LineBackend line;
        SystemClock clock;
        THoofdForm form(line, clock, prompts, dir.path());
        form.CreateDialogs();
        QElapsedTimer timer;
        timer.start();
        form.show(); // the first layout pass runs the start-up
        const qint64 took = timer.elapsed();
        if (prompts.boxes == 0 && form.st.HostModeActive) ms = double(took);
    }
    sim.terminate();
    if (!sim.waitForFinished(5000)) sim.kill();
    return ms;
}

} // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    const bench::Report report(argc, argv);
    QString simulator = qEnvironmentVariable("DERVALO_SIM");
    for (int i = 1; i < argc; ++i) {
        if (argv[i][0] != '-') simulator = QString::fromLocal8Bit(argv[i]);
    }
    if (simulator.isEmpty()) {
        std::fprintf(stderr, "usage: bench_startup [--tsv] SIMULATOR\n");
        return 2;
    }
    for (const char* state : {"cold", "cmd", "converse", "host"}) {
        const double ms = StartUpMs(simulator, state);
        if (ms < 0) {
            std::fprintf(stderr, "bench_startup: the start-up from %s did not end in HOST mode\n",
                         state);
            return 1;
        }
        const QByteArray name = QByteArray("startup_") + state;
        report.Figure(name.constData(), ms, "ms");
        if (!report.Tsv()) std::printf("start-up from %s: %.0f ms\n", state, ms);
    }
    return 0;
}
