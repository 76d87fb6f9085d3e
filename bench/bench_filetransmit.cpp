// What a text-file transmission costs: a 100 KB text file sent from the menu
// to the simulated PK-232 in-process, on the virtual clock, with the program
// started against it and in PACTOR unproto. At the real air speed (20
// characters a second) the controller falls behind and the loop holds back
// most of the time; with no air time the loop runs flat out. For each: the
// time on the virtual clock, the real time, the processor time of the
// program's thread (and the share of it spent inside the simulated
// controller), the passes of the loop and the largest TxPendingCount seen.
// Run: build with -DDERVALO_BENCH=ON in a release build, then
// ./bench_filetransmit (or "./bench_filetransmit quick" without the real air);
// with "--tsv" the figures come as "name<TAB>value<TAB>unit" lines
// (BenchReport.h), "filetx_noair_..." and "filetx_air_...".
#include <QAction>
#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <cstdio>
#include <ctime>

#include "BenchReport.h"
#include "Pk232Model.h"
#include "link/MemorySerialBackend.h"
#include "link/SerialPeer.h"
#include "link/Settings.h"
#include "shell/Clock.h"
#include "shell/HoofdForm.h"
#include "shell/Prompts.h"

namespace {
double CpuMs() {
    timespec ts{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &ts);
    return double(ts.tv_sec) * 1e3 + double(ts.tv_nsec) / 1e6;
}

// Answers the open dialog with the file and never reports Escape; every
// question of the Escape key is one pass of the loop.
class BenchPrompts : public QtPrompts {
public:
    QString file;
    const THoofdForm* form = nullptr;
    long passes = 0;
    int maxPending = 0;
    int boxes = 0;
    Answer MessageBox(const QString& text, const QString&, Buttons) override {
        ++boxes;
        std::fprintf(stderr, "message: %s\n", qPrintable(text));
        return Answer::Ok;
    }
    bool Confirm(const QString&, const QString&) override { return true; }
    QString OpenFileName(const QString&, const QString&, const QString&) override { return file; }
    bool EscapeDown() override {
        ++passes;
        if (form) maxPending = qMax(maxPending, int(form->st.TxPendingCount));
        return false;
    }
};

// The simulated controller, with the processor time spent inside it noted.
class TimedPeer : public SerialPeer {
public:
    explicit TimedPeer(SerialPeer& inner) : inner_(inner) {}
    double ms = 0;
    void FromHost(quint8 byte, quint32 nowMs) override {
        const double t = CpuMs();
        inner_.FromHost(byte, nowMs);
        ms += CpuMs() - t;
    }
    void Tick(quint32 nowMs) override {
        const double t = CpuMs();
        inner_.Tick(nowMs);
        ms += CpuMs() - t;
    }
    QByteArray ToHost(quint32 nowMs) override {
        const double t = CpuMs();
        QByteArray out = inner_.ToHost(nowMs);
        ms += CpuMs() - t;
        return out;
    }

private:
    SerialPeer& inner_;
};

// The settings file: the built-in defaults on COM1 at 9600, own call
// PA0ABC, "Init Pk" on, so the program starts the controller itself.
void WriteBenchSettings(const QString& folder, Prompts& prompts) {
    SettingsFields fields;
    ApplyBuiltInDefaults(fields);
    fields.StoredPortName = QStringLiteral("COM1");
    fields.StoredBaudRate = 9600;
    fields.DefaultMyCall = QStringLiteral("PA0ABC");
    fields.MySelCall = QStringLiteral("ABCD");
    fields.PkInitOn = true;
    quint8 status = 0;
    WriteSettings(folder, fields, status, prompts);
}

// About 100 KB of text in lines of 20 to 79 characters.
QByteArray TextFile() {
    QByteArray out;
    for (int i = 0; out.size() < 100 * 1024; ++i) {
        QByteArray line = "Line " + QByteArray::number(i) + " of the news bulletin:";
        while (line.size() < 20 + (i * 37) % 60)
            line += " the quick brown fox";
        out += line.left(20 + (i * 37) % 60) + "\r\n";
    }
    return out;
}

void Run(const char* label, const char* key, int airSpeed, const bench::Report& report) {
    QTemporaryDir dir;
    VirtualClock clock;
    MemorySerialBackend serial(&clock);
    Pk232Model pk(232);
    pk.SetBandPace(Pk232Model::BandPace::Off);
    pk.SetAirSpeed(airSpeed);
    TimedPeer peer(pk);
    serial.AttachPeer(&peer);
    BenchPrompts prompts;
    WriteBenchSettings(dir.path(), prompts);
    const QByteArray text = TextFile();
    prompts.file = dir.filePath("bulletin.txt");
    {
        QFile f(prompts.file);
        f.open(QIODevice::WriteOnly);
        f.write(text);
    }

    THoofdForm form(serial, clock, prompts, dir.path());
    form.CreateDialogs();
    form.show(); // the start-up: HOST mode, PACTOR, listening
    QCoreApplication::processEvents();
    auto timers = [&](int ms) {
        for (int t = 0; t < ms; t += 113) {
            if ((t / 113) % 5 == 0) form.StatusAanvraagTimerTimer();
            clock.Advance(113);
            form.SchryfintervalTimer();
        }
    };
    timers(1000);
    form.MenuUnpro->trigger();
    timers(1500);
    if (form.st.LinkStateText != QLatin1String("UNPRO")) {
        std::fprintf(report.Tsv() ? stderr : stdout,
                     "%s: the controller did not start unproto (%s)\n", label,
                     qPrintable(form.st.LinkStateText));
        return;
    }

    prompts.form = &form;
    peer.ms = 0;
    const quint64 virtualStart = clock.Elapsed();
    QElapsedTimer real;
    real.start();
    const double cpuStart = CpuMs();
    form.MenuTransmitFile->trigger();
    const double cpu = CpuMs() - cpuStart;
    const qint64 realMs = real.elapsed();
    const double virtualS = double(clock.Elapsed() - virtualStart) / 1e3;
    // What went on the air and what still waits in the controller: the
    // file with lone carriage returns (the air log keeps its last part).
    QByteArray expected = text;
    expected.replace("\r\n", "\r");
    const QByteArray air = pk.Transmitted() + pk.TransmitBuffer();
    const bool complete = expected.endsWith(air) &&
                          air.size() >= qMin<qsizetype>(expected.size(), Pk232Model::kMaxAirLog) &&
                          prompts.boxes == 0;

    // The loop repaints the whole window every 100 ms of its clock, as no
    // event does meanwhile; what one such repaint costs at the end.
    const double paintStart = CpuMs();
    for (int i = 0; i < 50; ++i)
        form.repaint();
    const double paint = (CpuMs() - paintStart) / 50;
    const double repaints = virtualS * 1000 / THoofdForm::kTxRepaintMs;

    const auto figure = [&](const char* name, double value, const char* unit) {
        report.Figure((QByteArray("filetx_") + key + "_" + name).constData(), value, unit);
    };
    figure("bytes", double(text.size()), "bytes");
    figure("virtual", virtualS, "s");
    figure("real", double(realMs), "ms");
    figure("cpu", cpu, "ms");
    figure("simulator_cpu", peer.ms, "ms");
    figure("max_pending", prompts.maxPending, "bytes");
    figure("complete", complete ? 1 : 0, "bool");
    if (report.Tsv()) return;

    std::printf("%-24s %6lld bytes | virtual %7.1f s | real %6lld ms | cpu %6.0f ms "
                "(simulator %5.0f ms, ~%5.0f repaints of %.2f ms) | %7ld passes, %5.1f us each | "
                "max TxPendingCount %4d | %s\n",
                label, static_cast<long long>(text.size()), virtualS,
                static_cast<long long>(realMs), cpu, peer.ms, repaints, paint, prompts.passes,
                cpu * 1000 / double(qMax(1L, prompts.passes)), prompts.maxPending,
                complete ? "all sent" : "INCOMPLETE");
}
} // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const bool quick = bench::HasArg(argc, argv, "quick");
    const bench::Report report(argc, argv);
    Run("no air time", "noair", 0, report);
    if (!quick) Run("PACTOR unproto, 20 cps", "air", 1, report);
    return 0;
}
