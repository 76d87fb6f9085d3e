// An hour on the band: the real main window against the simulated PK-232
// in-process, on the virtual clock, for 60 simulated minutes of an
// operator's work. The band is busy, so other stations are heard whenever
// the program listens. Every ten minutes the same round: a CQ call, a
// station calling in (text both ways, a change over, he disconnects), a call
// to a station (text, a 2 KB text file, a change over, "73", our
// disconnect), a logbook entry picked from the receive window and saved
// after each contact. The capture file is open from minute 12 to minute 38;
// the receive buffer grows all the time and is cleared once from the menu,
// at minute 40.
//
// Measured at the start, every ten simulated minutes and at the end: the
// resident memory (VmRSS), the heap in use (mallinfo2), the processor time
// of the process per simulated minute over the ten minutes before, the
// characters in the receive buffer and the wall time. "Flat" means: the
// processor time per simulated minute at the end about that at the start,
// and memory grown only by what the receive buffer holds.
//
// Deterministic: the controller's seed is fixed, and the two timers run by
// hand on the virtual clock (the real ones are stopped after every step, so
// the event loop only repaints).
// Run: build with -DDERVALO_BENCH=ON in a release build, then ./bench_soak
// ("--minutes N" for a longer soak, in the same rounds of ten minutes); with
// "--tsv" the figures come as "name<TAB>value<TAB>unit" lines
// (BenchReport.h), all named "soak_...".
#include <QApplication>
#include <QDialog>
#include <QElapsedTimer>
#include <QFile>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QQueue>
#include <QTemporaryDir>
#include <QTextCursor>
#include <QTextDocument>
#include <QToolButton>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <functional>
#include <malloc.h>

#include "BenchReport.h"
#include "ControlCommands.h"
#include "Pk232Model.h"
#include "link/MemorySerialBackend.h"
#include "link/Settings.h"
#include "logbook/LogBookInvulForm.h"
#include "logbook/LogBookWidgets.h"
#include "operations/CallEdit.h"
#include "operations/ConnectForm.h"
#include "shell/Clock.h"
#include "shell/HoofdForm.h"
#include "shell/Prompts.h"

namespace {

constexpr quint32 kMinuteMs = 60 * 1000;
constexpr int kSampleEveryMinutes = 10;
constexpr quint32 kWriteTickMs = 113;
constexpr quint32 kStatusTickMs = 557;

// ---- what the process uses

double ProcessCpuMs() {
    timespec ts{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &ts);
    return double(ts.tv_sec) * 1e3 + double(ts.tv_nsec) / 1e6;
}

// VmRSS of this process in kilobytes; -1 where /proc does not tell.
long ResidentKb() {
    std::FILE* f = std::fopen("/proc/self/status", "r");
    if (!f) return -1;
    char line[256];
    long kb = -1;
    while (std::fgets(line, sizeof line, f))
        if (std::strncmp(line, "VmRSS:", 6) == 0) kb = std::atol(line + 6);
    std::fclose(f);
    return kb;
}

// The heap in use, in kilobytes (-1 without mallinfo2).
long HeapInUseKb() {
#if defined(__GLIBC__) && (__GLIBC__ > 2 || (__GLIBC__ == 2 && __GLIBC_MINOR__ >= 33))
    const struct mallinfo2 m = mallinfo2();
    return long((m.uordblks + m.hblkhd) / 1024);
#else
    return -1;
#endif
}

// ---- the operator's answers to the program's questions

class SoakPrompts : public QtPrompts {
public:
    QQueue<std::function<int(QDialog&)>> dialogs; // run instead of showing one
    QString openFile;                             // the file to transmit
    QString saveFile;                             // the capture file
    int boxes = 0;

    Answer MessageBox(const QString& text, const QString&, Buttons) override {
        ++boxes;
        std::fprintf(stderr, "message box: %s\n", qPrintable(text));
        return Answer::Ok;
    }
    bool Confirm(const QString&, const QString&) override { return true; }
    QString OpenFileName(const QString&, const QString&, const QString&) override {
        return openFile;
    }
    QString SaveFileName(const QString&, const QString&, const QString&) override {
        return saveFile;
    }
    int ShowModal(QDialog& dialog) override {
        if (dialogs.isEmpty()) {
            std::fprintf(stderr, "unexpected dialog %s\n", qPrintable(dialog.objectName()));
            return QDialog::Rejected;
        }
        return dialogs.dequeue()(dialog);
    }
    bool EscapeDown() override { return false; }
    void Beep() override {}
};

// Counts the paint events of a widget: the repaints really happen.
class PaintCounter : public QObject {
public:
    long paints = 0;
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::Paint) ++paints;
        return false;
    }
};

// ---- one figure row

struct Sample {
    double minute = 0;       // simulated
    double wallS = 0;        // since the start of the hour
    double cpuMs = 0;        // of the process, since the start of the hour
    double cpuPerMinute = 0; // ms per simulated minute since the sample before
    long rssKb = 0;
    long heapKb = 0;
    int bufferChars = 0;
    int records = 0;
    int contacts = 0;
};

class Soak {
public:
    Soak(const QString& folder, int minutes);
    // The hour; false when a step of it did not come about.
    bool Run();

    QList<Sample> samples;
    int peakBufferChars = 0;
    int contacts = 0;
    int misses = 0;
    // The heap the receive buffer held per character, as its clearing at
    // minute 40 gave it back (0 before that).
    double heapPerChar = 0;
    long repaints() const { return paintCounter_.paints; }
    int boxes() const { return prompts_.boxes; }
    int records() const { return form_.st.LogBookRecordCount; }

private:
    // Time
    double Minute() const { return double(clock_.Elapsed() - startMs_) / kMinuteMs; }
    void Step();
    bool WaitFor(const char* what, const std::function<bool()>& done, quint32 limitMs);
    void IdleUntil(double minute);
    void TakeSample();

    // The operator
    void Type(const QByteArray& text) { keys_ += text; }
    void TypeKey(char key);
    bool TypedAndSent() const {
        return keys_.isEmpty() && pk_.TransmitBuffer().isEmpty() && form_.st.TxPendingCount == 0;
    }
    bool Listen();
    bool CallCQ();
    bool IncomingContact(const QByteArray& call);
    bool OutgoingContact(const QString& call);
    bool ChangeOverAndBack();
    bool LogContact(const QString& call);
    void ClearReceiveBuffer();
    QByteArray Control(const QByteArray& line) {
        return RunControlCommand(pk_, line, clock_.TickCount());
    }

    int minutes_;
    QString folder_;
    VirtualClock clock_;
    MemorySerialBackend serial_{&clock_};
    Pk232Model pk_{232};
    SoakPrompts prompts_;
    THoofdForm form_;
    QByteArray keys_; // typed ahead, one key a write tick
    PaintCounter paintCounter_;
    quint64 startMs_ = 0;
    quint32 nextWrite_ = 0, nextStatus_ = 0;
    bool measuring_ = false;
    int nextSample_ = 0;
    double cpuStart_ = 0, lastCpu_ = 0, lastMinute_ = 0;
    QElapsedTimer wall_;
};

// The settings file: the defaults on COM1 at 9600, own call PA0ABC, "Init
// Pk" on (the program starts the controller) and the logbook on.
QString Settings(const QString& folder) {
    SettingsFields fields;
    ApplyBuiltInDefaults(fields);
    fields.StoredPortName = QStringLiteral("COM1");
    fields.StoredBaudRate = 9600;
    fields.DefaultMyCall = QStringLiteral("PA0ABC");
    fields.MySelCall = QStringLiteral("ABCD");
    fields.PkInitOn = true;
    fields.LogBookOn = true;
    QtPrompts silent;
    quint8 status = 0;
    WriteSettings(folder, fields, status, silent);
    return folder;
}

void WriteFile(const QString& path, const QByteArray& bytes) {
    QFile f(path);
    if (f.open(QIODevice::WriteOnly | QIODevice::Truncate)) f.write(bytes);
}

// About 2 KB of a station description in lines of 40 to 70 characters.
QByteArray StationFile() {
    QByteArray out;
    for (int i = 0; out.size() < 2048; ++i) {
        QByteArray line = "Station notes line " + QByteArray::number(i) + ":";
        while (line.size() < 40 + (i * 13) % 31)
            line += " rig, antenna, weather";
        out += line.left(40 + (i * 13) % 31) + "\r\n";
    }
    return out;
}

Soak::Soak(const QString& folder, int minutes)
    : minutes_(minutes), folder_(Settings(folder)), form_(serial_, clock_, prompts_, folder_) {
    pk_.SetBandPace(Pk232Model::BandPace::Busy);
    serial_.AttachPeer(&pk_);
    WriteFile(folder_ + "/Dervalo.CQP", "CQ CQ CQ de PA0ABC PA0ABC PA0ABC\r\n"
                                        "CQ CQ CQ de PA0ABC PA0ABC PA0ABC pse k\r\n");
    WriteFile(folder_ + "/station.txt", StationFile());
    prompts_.openFile = folder_ + "/station.txt";
    prompts_.saveFile = folder_ + "/capture.log";
    form_.ReceiveWindow->viewport()->installEventFilter(&paintCounter_);
    form_.CreateDialogs();
    form_.show(); // the start-up: reset, HOST mode, PACTOR, listening
    QCoreApplication::processEvents();
    form_.StopTimers();
    nextWrite_ = clock_.TickCount() + kWriteTickMs;
    nextStatus_ = clock_.TickCount() + kStatusTickMs;
}

// The next timer tick, as the event loop would run it: the message hook
// before it, the repaints after it. A key typed ahead goes in before a write
// tick.
void Soak::Step() {
    const bool status = nextStatus_ <= nextWrite_;
    const quint32 next = status ? nextStatus_ : nextWrite_;
    if (next > clock_.TickCount()) clock_.Advance(next - clock_.TickCount());
    form_.ReceiveHandle();
    if (status) {
        form_.StatusAanvraagTimerTimer();
        nextStatus_ = qMax(nextStatus_ + kStatusTickMs, clock_.TickCount());
    } else {
        if (!keys_.isEmpty()) {
            TypeKey(keys_.at(0));
            keys_.remove(0, 1);
        }
        form_.SchryfintervalTimer();
        nextWrite_ = qMax(nextWrite_ + kWriteTickMs, clock_.TickCount());
    }
    // The real timers stay still: only the virtual clock drives the ticks.
    form_.StatusAanvraagTimer.stop();
    form_.Schryfinterval.stop();
    QCoreApplication::processEvents();
    serial_.ClearWritten(); // the in-memory line keeps no record of the hour
    peakBufferChars = qMax(peakBufferChars, THoofdForm::TextLength(form_.ReceiveWindow));
    const int due = nextSample_ * kSampleEveryMinutes;
    if (measuring_ && due <= minutes_ && Minute() >= due) TakeSample();
}

void Soak::TypeKey(char key) {
    const bool enter = key == '\r';
    const QString text = QString(QLatin1Char(key));
    const int code = enter ? int(Qt::Key_Return) : int(QChar(key).toUpper().unicode());
    QKeyEvent press(QEvent::KeyPress, code, Qt::NoModifier, text);
    QKeyEvent release(QEvent::KeyRelease, code, Qt::NoModifier, text);
    QCoreApplication::sendEvent(form_.ZendWindow, &press);
    QCoreApplication::sendEvent(form_.ZendWindow, &release);
}

bool Soak::WaitFor(const char* what, const std::function<bool()>& done, quint32 limitMs) {
    const quint64 until = clock_.Elapsed() + limitMs;
    while (!done()) {
        if (clock_.Elapsed() >= until) {
            ++misses;
            std::fprintf(stderr, "minute %.1f: no %s within %u s (status %s %s %s)\n", Minute(),
                         what, limitMs / 1000, qPrintable(form_.st.ModeName),
                         qPrintable(form_.st.LinkStateText), pk_.StatusBody().constData());
            return false;
        }
        Step();
    }
    return true;
}

void Soak::IdleUntil(double minute) {
    while (Minute() < minute)
        Step();
}

void Soak::TakeSample() {
    Sample s;
    s.minute = Minute();
    s.wallS = double(wall_.elapsed()) / 1e3;
    const double cpu = ProcessCpuMs();
    s.cpuMs = cpu - cpuStart_;
    s.cpuPerMinute = s.minute > lastMinute_ ? (cpu - lastCpu_) / (s.minute - lastMinute_) : 0;
    s.rssKb = ResidentKb();
    s.heapKb = HeapInUseKb();
    s.bufferChars = THoofdForm::TextLength(form_.ReceiveWindow);
    s.records = form_.st.LogBookRecordCount;
    s.contacts = contacts;
    samples << s;
    lastCpu_ = cpu;
    lastMinute_ = s.minute;
    ++nextSample_;
}

bool Soak::Listen() {
    if (form_.st.LinkStateText != QLatin1String("LISTEN")) form_.MenuToggleListenClick();
    return WaitFor(
        "listening", [&] { return form_.st.LinkStateText == QLatin1String("LISTEN"); }, 30000);
}

bool Soak::CallCQ() {
    form_.MenuCallCQClick(); // unproto, the CQ file, the end of the transmission
    return WaitFor(
               "end of the CQ call",
               [&] { return form_.st.LinkStateText == QLatin1String("STANDBY"); }, 60000) &&
           Listen();
}

bool Soak::ChangeOverAndBack() {
    form_.MenuChangeOverClick();
    return WaitFor(
               "change over", [&] { return !form_.st.Transmitting; }, 30000) &&
           WaitFor(
               "the turn back", [&] { return form_.st.Transmitting; }, 120000);
}

bool Soak::IncomingContact(const QByteArray& call) {
    Control("call " + call);
    bool ok = WaitFor(
                  "incoming link", [&] { return form_.st.IsConnected; }, 30000) &&
              WaitFor(
                  "our turn", [&] { return form_.st.Transmitting; }, 120000);
    if (ok) {
        Type("Good day " + call +
             ", thanks for calling. Name here is Jan, QTH Amsterdam.\r"
             "Your signal is 579 here. How do you copy? ");
        ok = WaitFor(
                 "our text sent", [&] { return TypedAndSent(); }, 120000) &&
             ChangeOverAndBack();
    }
    if (ok) {
        Type("All copied, thanks. Hope to meet again.\r");
        ok = WaitFor(
            "our text sent", [&] { return TypedAndSent(); }, 120000);
    }
    Control("disc");
    ok = WaitFor(
             "the other station's disconnect", [&] { return !form_.st.IsConnected; }, 30000) &&
         ok;
    ++contacts;
    return Listen() && LogContact(QString::fromLatin1(call)) && ok;
}

bool Soak::OutgoingContact(const QString& call) {
    prompts_.dialogs.enqueue([call](QDialog& d) {
        auto& dialog = static_cast<TConnectForm&>(d);
        dialog.InputCall->setText(call);
        dialog.ConnectOkKnopClick();
        return dialog.result();
    });
    form_.MenuCallAstationClick();
    bool ok = WaitFor(
                  "outgoing link", [&] { return form_.st.IsConnected; }, 60000) &&
              WaitFor(
                  "our turn", [&] { return form_.st.Transmitting; }, 120000);
    if (ok) {
        Type("Thanks for the answer. Here are my station notes:\r");
        ok = WaitFor(
            "our text sent", [&] { return TypedAndSent(); }, 120000);
    }
    if (ok) {
        form_.MenuTransmitFileClick(); // the file goes out before this returns
        ok = WaitFor(
                 "the file on the air", [&] { return TypedAndSent(); }, 300000) &&
             ChangeOverAndBack();
    }
    if (ok) {
        Type("Tnx fer the nice qso, 73 es gd dx\r");
        ok = WaitFor(
            "our text sent", [&] { return TypedAndSent(); }, 120000);
    }
    form_.MenuDisconnectClick();
    ok = WaitFor(
             "our disconnect", [&] { return !form_.st.IsConnected; }, 30000) &&
         ok;
    ++contacts;
    return Listen() && LogContact(call) && ok;
}

// The call picked in the receive window by a double click, the name typed,
// the entry saved.
bool Soak::LogContact(const QString& call) {
    QTextDocument* doc = form_.ReceiveWindow->document();
    QTextCursor found = doc->find(call, doc->characterCount() - 1, QTextDocument::FindBackward);
    if (found.isNull()) {
        ++misses;
        std::fprintf(stderr, "minute %.1f: %s not in the receive window\n", Minute(),
                     qPrintable(call));
        return false;
    }
    form_.ReceiveWindow->setTextCursor(found);
    const int before = form_.st.LogBookRecordCount;
    prompts_.dialogs.enqueue([](QDialog& d) {
        auto& entry = static_cast<TLogBookInvulForm&>(d);
        entry.CallEditDblClick();
        entry.NameEdit->setText(QStringLiteral("Piet"));
        entry.InfoMemo->setPlainText(QStringLiteral("soak"));
        entry.LogInvulSaveKnopClick();
        return entry.result();
    });
    form_.ReceiveWindowDblClick();
    if (form_.st.LogBookRecordCount == before + 1) return true;
    ++misses;
    std::fprintf(stderr, "minute %.1f: the entry for %s was not saved\n", Minute(),
                 qPrintable(call));
    return false;
}

void Soak::ClearReceiveBuffer() {
    const int chars = THoofdForm::TextLength(form_.ReceiveWindow);
    const long before = HeapInUseKb();
    form_.MenuClearRxScreen->trigger();
    if (chars > 0 && before >= 0) heapPerChar = double(before - HeapInUseKb()) * 1024 / chars;
}

bool Soak::Run() {
    if (!WaitFor(
            "listening after the start-up",
            [&] { return form_.st.LinkStateText == QLatin1String("LISTEN"); }, 60000))
        return false;
    startMs_ = clock_.Elapsed();
    measuring_ = true;
    wall_.start();
    cpuStart_ = lastCpu_ = ProcessCpuMs();
    TakeSample();
    static const QByteArray inCalls[] = {"DL1ABC", "G4XYZ", "F5KLM", "OH2BB", "SM5QQ", "ON4RT"};
    static const QString outCalls[] = {"PA3XYZ", "PA1DEF", "PB0GHI", "PE2JKL", "PD7MNO", "PA9PQR"};
    for (int round = 0; round < minutes_ / kSampleEveryMinutes; ++round) {
        const double at = round * kSampleEveryMinutes;
        if (round == 4) { // the receive buffer cleared, at minute 40
            IdleUntil(at + 0.05);
            ClearReceiveBuffer();
        }
        IdleUntil(at + 0.1);
        CallCQ();
        IdleUntil(at + 0.7);
        IncomingContact(inCalls[round % 6]);
        if (round == 1) { // the capture file, from minute 12
            IdleUntil(at + 2);
            form_.MenuOpenLogFileClick();
        }
        IdleUntil(at + 3.5);
        OutgoingContact(outCalls[round % 6]);
        if (round == 3) { // to minute 38
            IdleUntil(at + 8);
            form_.MenuCloseLogFileClick();
        }
        if (Minute() > at + kSampleEveryMinutes)
            std::fprintf(stderr, "round %d ran into the next (minute %.1f)\n", round, Minute());
    }
    IdleUntil(minutes_);
    return misses == 0 && prompts_.boxes == 0;
}

// ---- the report

void Print(const Soak& soak, const bench::Report& report) {
    const QList<Sample>& s = soak.samples;
    if (s.size() < 2) {
        std::fprintf(stderr, "too few samples\n");
        return;
    }
    const Sample& start = s.first();
    const Sample& first = s.at(1); // the first ten minutes
    const Sample& last = s.last();
    // The text the buffer holds (UTF-16), and all the heap it holds.
    const auto textKb = [](const Sample& x) { return double(x.bufferChars) * 2 / 1024; };
    const auto bufferKb = [&](const Sample& x) {
        return double(x.bufferChars) * soak.heapPerChar / 1024;
    };
    const auto rssBeyondText = [&](const Sample& x) {
        return (double(x.rssKb - start.rssKb) - textKb(x)) / 1024;
    };
    const auto heapBeyondBuffer = [&](const Sample& x) {
        return (double(x.heapKb - start.heapKb) - bufferKb(x)) / 1024;
    };
    const auto figure = [&](const QByteArray& name, double value, const char* unit) {
        report.Figure(("soak_" + name).constData(), value, unit);
    };
    for (const Sample& x : s)
        if (x.minute > 0)
            figure("cpu_per_min@" + QByteArray::number(qRound(x.minute)), x.cpuPerMinute, "ms");
    figure("cpu_per_min_first", first.cpuPerMinute, "ms");
    figure("cpu_per_min_last", last.cpuPerMinute, "ms");
    figure("cpu_ratio_last_first", last.cpuPerMinute / first.cpuPerMinute, "x");
    figure("cpu_total", last.cpuMs / 1e3, "s");
    figure("wall", last.wallS, "s");
    figure("rss_start", double(start.rssKb) / 1024, "MB");
    figure("rss_end", double(last.rssKb) / 1024, "MB");
    figure("rss_growth_beyond_text", rssBeyondText(last), "MB");
    figure("heap_start", double(start.heapKb) / 1024, "MB");
    figure("heap_end", double(last.heapKb) / 1024, "MB");
    figure("heap_per_buffer_char", soak.heapPerChar, "bytes");
    figure("heap_growth_beyond_buffer", heapBeyondBuffer(last), "MB");
    figure("buffer_end", last.bufferChars, "chars");
    figure("buffer_peak", soak.peakBufferChars, "chars");
    figure("contacts", soak.contacts, "contacts");
    figure("complete", soak.misses == 0 && soak.boxes() == 0 ? 1 : 0, "bool");
    if (report.Tsv()) return;

    std::printf("%.0f minutes of simulated band traffic: busy band, %d contacts, %d logbook "
                "entries, %ld repaints of the receive window, %d steps missed, %d message "
                "boxes\n\n",
                last.minute, soak.contacts, soak.records(), soak.repaints(), soak.misses,
                soak.boxes());
    std::printf("| Minute | Wall s | CPU s | CPU ms per sim. minute | RSS MB | Heap MB | Buffer "
                "chars | RSS growth - text MB | Heap growth - buffer MB |\n");
    std::printf("|---|---|---|---|---|---|---|---|---|\n");
    for (const Sample& x : s) {
        const QByteArray perMinute =
            x.minute > 0 ? QByteArray::number(x.cpuPerMinute, 'f', 0) : QByteArray("-");
        std::printf("| %.0f | %.1f | %.2f | %s | %.1f | %.1f | %d | %.1f | %.1f |\n", x.minute,
                    x.wallS, x.cpuMs / 1e3, perMinute.constData(), double(x.rssKb) / 1024,
                    double(x.heapKb) / 1024, x.bufferChars, rssBeyondText(x), heapBeyondBuffer(x));
    }
    std::printf("\nCPU per simulated minute: %.0f ms in the first ten minutes, %.0f ms in the "
                "last (x%.2f). The buffer held %.0f bytes of heap per character (given back "
                "when it was cleared); text counted as 2 bytes per character; peak buffer %d "
                "characters\n",
                first.cpuPerMinute, last.cpuPerMinute, last.cpuPerMinute / first.cpuPerMinute,
                soak.heapPerChar, soak.peakBufferChars);
}

} // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
    const bench::Report report(argc, argv);
    QTemporaryDir dir;
    // "--minutes N" soaks longer (or shorter) than the hour, in rounds of ten
    // minutes; the receive buffer is cleared at minute 40 only.
    int minutes = 60;
    for (int i = 1; i + 1 < argc; ++i)
        if (std::strcmp(argv[i], "--minutes") == 0) minutes = qMax(10, std::atoi(argv[i + 1]));
    Soak soak(dir.path(), minutes);
    const bool complete = soak.Run();
    Print(soak, report);
    return complete ? 0 : 1;
}
