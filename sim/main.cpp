// dervalo-pk232sim: a simulated PK-232 on a pseudo-terminal, so that the
// program (or any terminal) can be tried without the controller.

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <stdlib.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <termios.h>
#include <time.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <string>

#include <QByteArray>

#include "ControlCommands.h"
#include "Pk232Model.h"
#include "ReadableBytes.h"
#include "TcpServe.h"

namespace {

constexpr int kPollMs = 10;        // model tick while a program has the line open
constexpr int kIdleMs = 50;        // pause while nobody has the line open
constexpr int kMaxPending = 65536; // bytes waiting for the program to read
constexpr int kReadChunk = 4096;

volatile sig_atomic_t gStop = 0;

void OnSignal(int) {
    gStop = 1;
}

const char kUsage[] =
    "Usage: dervalo-pk232sim [--link PATH] [--log FILE] [--control PATH]\n"
    "                        [--band off|quiet|normal|busy] [--quiet] [--seed N]\n"
    "                        [--air-speed N] [--start host|cmd|converse|cold]\n"
    "                        [--no-line-pace] [--no-pactor]\n"
    "                        [--tcp PORT [--tcp-host ADDR]]\n"
    "       dervalo-pk232sim --write-ini FILE --device PATH\n"
    "\n"
    "Simulates a PK-232 multi-mode controller on a pseudo-terminal. The path of\n"
    "the terminal device is printed on the first line of the output; point the\n"
    "program's serial port at it. Runs until interrupted (Ctrl-C or SIGTERM).\n"
    "Commands on standard input (and on the control pipe) drive the other side\n"
    "of the air: a station calling in, its text, change over, disconnect, a\n"
    "fade, the band's traffic, mailbox messages; \"help\" lists them.\n"
    "\n"
    "  --link PATH        also make PATH a symbolic link to the device (an\n"
    "                     existing link is replaced; removed again at exit)\n"
    "  --log FILE         log all bytes: '->' from the program, '<-' to it\n"
    "  --control PATH     also read commands from the named pipe PATH (made if\n"
    "                     missing, and then removed again at exit)\n"
    "  --band PACE        traffic of other stations while listening: off, quiet,\n"
    "                     normal (the default) or busy\n"
    "  --quiet            the same as --band off\n"
    "  --seed N           seed of the simulated stations' choices (default 232)\n"
    "  --air-speed N      air time N times faster than a real band; 0 none\n"
    "  --start STATE      how the controller stands at start: cmd (at the cmd:\n"
    "                     prompt, the default), host (in HOST mode), converse\n"
    "                     (in Converse), cold (waiting for the autobaud '*',\n"
    "                     then at 7 bits, even parity until AWLEN, PARITY and\n"
    "                     RESTART change it)\n"
    "  --no-line-pace     read and write as fast as the pseudo-terminal allows;\n"
    "                     by default no faster than the serial line at the rate\n"
    "                     the program set (ten bits a byte), as a unit does\n"
    "  --no-pactor        a unit without the PACTOR option: PACTOR commands are\n"
    "                     answered ?What? (in HOST mode: return code 0x07)\n"
    "  --tcp PORT         also serve the controller on TCP port PORT, raw, as a\n"
    "                     serial bridge (ser2net) does: one client at a time (a\n"
    "                     second one waits until the first has gone); the next\n"
    "                     client goes on with the same controller. The program's\n"
    "                     port name for it is tcp:127.0.0.1:PORT\n"
    "  --tcp-host ADDR    the address to listen on (default 127.0.0.1)\n"
    "  --write-ini FILE   write a settings file for the program that uses the\n"
    "  --device PATH      serial port PATH (or tcp:HOST:PORT), then exit\n"
    "  --help             this text\n";

struct Options {
    std::string link;
    std::string log;
    std::string writeIni;
    std::string device;
    std::string control;
    Pk232Model::BandPace band = Pk232Model::BandPace::Normal;
    quint32 seed = 232;
    int airSpeed = 1;
    Pk232Model::UnitState start = Pk232Model::UnitState::Command;
    bool linePace = true;
    bool pactor = true;
    int tcpPort = 0; // 0: no TCP
    std::string tcpHost = "127.0.0.1";
    bool help = false;
};

bool ParseNumber(const std::string& text, unsigned long max, unsigned long& value) {
    if (text.empty() || text.size() > 10) return false;
    for (char c : text) {
        if (c < '0' || c > '9') return false;
    }
    value = std::stoul(text);
    return value <= max;
}

bool ParseArgs(int argc, char** argv, Options& options) {
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        auto value = [&](std::string& into) {
            if (i + 1 >= argc) return false;
            into = argv[++i];
            return !into.empty();
        };
        if (arg == "--help" || arg == "-h") {
            options.help = true;
        } else if (arg == "--quiet") {
            options.band = Pk232Model::BandPace::Off;
        } else if (arg == "--band") {
            std::string pace;
            if (!value(pace)) return false;
            if (pace == "off") {
                options.band = Pk232Model::BandPace::Off;
            } else if (pace == "quiet") {
                options.band = Pk232Model::BandPace::Quiet;
            } else if (pace == "normal") {
                options.band = Pk232Model::BandPace::Normal;
            } else if (pace == "busy") {
                options.band = Pk232Model::BandPace::Busy;
            } else {
                return false;
            }
        } else if (arg == "--seed" || arg == "--air-speed") {
            std::string text;
            unsigned long number = 0;
            if (!value(text) || !ParseNumber(text, arg == "--seed" ? 0xFFFFFFFFul : 1000ul, number))
                return false;
            if (arg == "--seed") {
                options.seed = quint32(number);
            } else {
                options.airSpeed = int(number);
            }
        } else if (arg == "--start") {
            std::string state;
            if (!value(state)) return false;
            if (state == "cmd") {
                options.start = Pk232Model::UnitState::Command;
            } else if (state == "host") {
                options.start = Pk232Model::UnitState::Host;
            } else if (state == "converse") {
                options.start = Pk232Model::UnitState::Converse;
            } else if (state == "cold") {
                options.start = Pk232Model::UnitState::Cold;
            } else {
                return false;
            }
        } else if (arg == "--tcp") {
            std::string text;
            unsigned long number = 0;
            if (!value(text) || !ParseNumber(text, 65535ul, number) || number == 0) return false;
            options.tcpPort = int(number);
        } else if (arg == "--tcp-host") {
            if (!value(options.tcpHost)) return false;
        } else if (arg == "--line-pace") { // the default; kept for scripts
            options.linePace = true;
        } else if (arg == "--no-line-pace") {
            options.linePace = false;
        } else if (arg == "--no-pactor") {
            options.pactor = false;
        } else if (arg == "--control") {
            if (!value(options.control)) return false;
        } else if (arg == "--link") {
            if (!value(options.link)) return false;
        } else if (arg == "--log") {
            if (!value(options.log)) return false;
        } else if (arg == "--write-ini") {
            if (!value(options.writeIni)) return false;
        } else if (arg == "--device") {
            if (!value(options.device)) return false;
        } else {
            return false;
        }
    }
    return options.writeIni.empty() == options.device.empty();
}

// The program's settings file, 31 lines ended by CR LF, for port `device`.
bool WriteIni(const std::string& path, const std::string& device) {
    const char* const lines[] = {
        ";Port Number",
        device.c_str(),
        ";Baudrate",
        "9600",
        ";Do NOT change the values below",
        "terminal",
        "8",
        "System",
        "8",
        "12632256",
        "16711680",
        "Normal",
        "normal",
        "0",
        "65535",
        "",
        "0",
        "0",
        "",
        "0",
        "0",
        "11203312",
        "System",
        "System",
        "263",
        "PA0ABC",
        "ABCD",
        "OFF",
        "OFF",
        "ON",
        "OFF",
    };
    static_assert(sizeof(lines) / sizeof(lines[0]) == 31);
    FILE* file = std::fopen(path.c_str(), "wb");
    if (file == nullptr) return false;
    bool ok = true;
    for (const char* line : lines) {
        ok = ok && std::fputs(line, file) >= 0 && std::fputs("\r\n", file) >= 0;
    }
    return std::fclose(file) == 0 && ok;
}

quint32 MonotonicMs() {
    timespec ts{};
    clock_gettime(CLOCK_MONOTONIC, &ts);
    return quint32(quint64(ts.tv_sec) * 1000u + quint64(ts.tv_nsec) / 1000000u);
}

class LineLog {
public:
    ~LineLog() {
        if (file_ != nullptr) std::fclose(file_);
    }
    bool Open(const std::string& path) {
        file_ = std::fopen(path.c_str(), "ab");
        return file_ != nullptr;
    }
    void Bytes(const char* direction, const QByteArray& bytes) {
        if (file_ != nullptr && !bytes.isEmpty()) Line(direction, ReadableBytes(bytes));
    }
    void Note(const char* text) {
        if (file_ != nullptr) Line("--", text);
    }

private:
    void Line(const char* direction, const QByteArray& text) {
        timespec ts{};
        clock_gettime(CLOCK_REALTIME, &ts);
        tm local{};
        localtime_r(&ts.tv_sec, &local);
        std::fprintf(file_, "%02d:%02d:%02d.%03ld %s %s\n", local.tm_hour, local.tm_min,
                     local.tm_sec, long(ts.tv_nsec / 1000000), direction, text.constData());
        std::fflush(file_);
    }
    FILE* file_ = nullptr;
};

// A symbolic link to the device that is removed at exit, if still ours.
class DeviceLink {
public:
    ~DeviceLink() { Remove(); }
    bool Make(const std::string& path, const std::string& target) {
        struct stat st {};
        if (lstat(path.c_str(), &st) == 0 && !S_ISLNK(st.st_mode)) {
            std::fprintf(stderr, "dervalo-pk232sim: %s exists and is not a link\n", path.c_str());
            return false;
        }
        const std::string temporary = path + ".new" + std::to_string(getpid());
        unlink(temporary.c_str());
        if (symlink(target.c_str(), temporary.c_str()) != 0 ||
            rename(temporary.c_str(), path.c_str()) != 0) {
            std::fprintf(stderr, "dervalo-pk232sim: cannot link %s: %s\n", path.c_str(),
                         std::strerror(errno));
            unlink(temporary.c_str());
            return false;
        }
        path_ = path;
        target_ = target;
        return true;
    }
    void Remove() {
        if (path_.empty()) return;
        char buffer[4096];
        const ssize_t n = readlink(path_.c_str(), buffer, sizeof buffer - 1);
        if (n >= 0 && std::string(buffer, size_t(n)) == target_) unlink(path_.c_str());
        path_.clear();
    }

private:
    std::string path_;
    std::string target_;
};

// Opens the pseudo-terminal pair; returns the master and sets `slaveName`.
int OpenPty(std::string& slaveName) {
    const int master = posix_openpt(O_RDWR | O_NOCTTY);
    if (master < 0) return -1;
    const char* name = nullptr;
    if (grantpt(master) != 0 || unlockpt(master) != 0 || (name = ptsname(master)) == nullptr) {
        close(master);
        return -1;
    }
    slaveName = name;
    // Raw mode is set on the slave side; it stays with the pair across opens.
    const int slave = open(name, O_RDWR | O_NOCTTY);
    if (slave < 0) {
        close(master);
        return -1;
    }
    termios tio{};
    tcgetattr(slave, &tio);
    cfmakeraw(&tio);
    cfsetispeed(&tio, B9600);
    cfsetospeed(&tio, B9600);
    tcsetattr(slave, TCSANOW, &tio);
    close(slave);
    fcntl(master, F_SETFL, fcntl(master, F_GETFL) | O_NONBLOCK);
    return master;
}

// The pace of one direction of the serial line: bytes may pass as fast as
// the rate the program set on the terminal allows, ten bits a byte. Time
// with nothing to send is not saved up beyond a short burst; time while
// bytes waited is, as a line goes on sending while this process waits for
// the processor (a loaded machine must not slow the line down).
class LinePacer {
public:
    void SetRate(int bytesPerSecond) { rate_ = bytesPerSecond > 0 ? bytesPerSecond : 1; }
    // Bytes that may pass now; `waiting`: bytes were there to pass.
    int Allowed(quint32 now, bool waiting) {
        if (!started_) {
            started_ = true;
            at_ = now;
        }
        credit_ += qint64(quint32(now - at_)) * rate_; // thousandths of a byte
        at_ = now;
        const qint64 cap = qMax<qint64>(1000, qint64(rate_) * (waiting ? kLateMs : kBurstMs));
        credit_ = qMin(credit_, cap);
        return int(credit_ / 1000);
    }
    void Used(int count) { credit_ -= qint64(count) * 1000; }
    // Milliseconds until the next byte may pass.
    int WaitMs() const {
        const qint64 missing = 1000 - credit_;
        return missing <= 0 ? 0 : int((missing + rate_ - 1) / rate_);
    }

private:
    static constexpr int kBurstMs = 20;
    static constexpr int kLateMs = 1000;
    int rate_ = 960;
    bool started_ = false;
    quint32 at_ = 0;
    qint64 credit_ = 0;
};

// Bytes wait to be read on this descriptor (-1: none).
bool BytesQueued(int fd) {
    int queued = 0;
    return fd >= 0 && ioctl(fd, FIONREAD, &queued) == 0 && queued > 0;
}

// Bytes a second at the rate set on the terminal (ten bits a byte).
int LineBytesPerSecond(int fd) {
    termios tio{};
    if (tcgetattr(fd, &tio) != 0) return 960;
    switch (cfgetospeed(&tio)) {
    case B1200:
        return 120;
    case B2400:
        return 240;
    case B4800:
        return 480;
    case B19200:
        return 1920;
    case B38400:
        return 3840;
    case B57600:
        return 5760;
    case B115200:
        return 11520;
    default:
        return 960;
    }
}

// Command lines from standard input or the control pipe, read only when
// poll says so (standard input is never switched to non-blocking: it may be
// shared with the shell).
class CommandInput {
public:
    ~CommandInput() { Close(); }
    void Attach(int fd, bool owned) {
        fd_ = fd;
        owned_ = owned;
    }
    int Fd() const { return fd_; }
    // Reads what is waiting and appends the complete lines; at the end of the
    // input it stops watching.
    void Read(QList<QByteArray>& lines) {
        char buffer[1024];
        const ssize_t n = read(fd_, buffer, sizeof buffer);
        if (n == 0 || (n < 0 && errno != EAGAIN && errno != EINTR)) {
            Close();
            return;
        }
        if (n < 0) return;
        partial_.append(buffer, qsizetype(n));
        qsizetype end = 0;
        while ((end = partial_.indexOf('\n')) >= 0) {
            lines.append(partial_.left(end));
            partial_.remove(0, end + 1);
        }
        if (partial_.size() > kMaxCommandLine) partial_.clear(); // no endless line
    }
    void Close() {
        if (owned_ && fd_ >= 0) close(fd_);
        fd_ = -1;
    }

private:
    static constexpr int kMaxCommandLine = 4096;
    int fd_ = -1;
    bool owned_ = false;
    QByteArray partial_;
};

// The named pipe of --control: made when missing and then removed at exit.
class ControlPipe {
public:
    ~ControlPipe() {
        if (writer_ >= 0) close(writer_);
        if (made_) unlink(path_.c_str());
    }
    // Returns the descriptor to read, or -1 after a message.
    int Open(const std::string& path) {
        struct stat st {};
        if (stat(path.c_str(), &st) != 0) {
            if (mkfifo(path.c_str(), 0600) != 0) {
                std::fprintf(stderr, "dervalo-pk232sim: cannot make the pipe %s: %s\n",
                             path.c_str(), std::strerror(errno));
                return -1;
            }
            made_ = true;
            path_ = path;
        } else if (!S_ISFIFO(st.st_mode)) {
            std::fprintf(stderr, "dervalo-pk232sim: %s exists and is not a named pipe\n",
                         path.c_str());
            return -1;
        }
        const int reader = open(path.c_str(), O_RDONLY | O_NONBLOCK);
        if (reader < 0) {
            std::fprintf(stderr, "dervalo-pk232sim: cannot open %s: %s\n", path.c_str(),
                         std::strerror(errno));
            return -1;
        }
        // A writer of our own: the pipe never reads as ended when a writer
        // like "echo call PA3XYZ > PATH" closes its end.
        writer_ = open(path.c_str(), O_WRONLY | O_NONBLOCK);
        return reader;
    }

private:
    std::string path_;
    bool made_ = false;
    int writer_ = -1;
};

bool StdinIsOurs() {
    // A background job must not read the terminal (it would be stopped).
    return !isatty(STDIN_FILENO) || tcgetpgrp(STDIN_FILENO) == getpgrp();
}

void InstallSignals() {
    struct sigaction action {};
    action.sa_handler = OnSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = 0; // no restart: poll returns at once
    sigaction(SIGINT, &action, nullptr);
    sigaction(SIGTERM, &action, nullptr);
    sigaction(SIGHUP, &action, nullptr);
    signal(SIGPIPE, SIG_IGN);
}

int Run(const Options& options) {
    LineLog log;
    if (!options.log.empty() && !log.Open(options.log)) {
        std::fprintf(stderr, "dervalo-pk232sim: cannot open the log %s: %s\n",
                     options.log.c_str(), std::strerror(errno));
        return 1;
    }
    std::string slaveName;
    const int master = OpenPty(slaveName);
    if (master < 0) {
        std::fprintf(stderr, "dervalo-pk232sim: no pseudo-terminal: %s\n", std::strerror(errno));
        return 1;
    }
    // Listening before the link is made: whoever finds the link finds the
    // port ready as well.
    TcpServe tcp([&log](const std::string& note) { log.Note(note.c_str()); });
    if (options.tcpPort != 0 && !tcp.Listen(options.tcpHost, options.tcpPort)) {
        close(master);
        return 1;
    }
    DeviceLink link;
    if (!options.link.empty() && !link.Make(options.link, slaveName)) {
        close(master);
        return 1;
    }
    ControlPipe pipe;
    CommandInput control;
    if (!options.control.empty()) {
        const int fd = pipe.Open(options.control);
        if (fd < 0) {
            close(master);
            return 1;
        }
        control.Attach(fd, true);
    }
    CommandInput input;
    input.Attach(STDIN_FILENO, false);
    InstallSignals();
    std::printf("%s\n", slaveName.c_str());
    std::fflush(stdout);
    if (isatty(STDIN_FILENO)) {
        std::fputs("dervalo-pk232sim: type \"help\" for the commands that drive the other "
                   "station\n",
                   stderr);
    }
    log.Note(("started on " + slaveName).c_str());

    Pk232Model model(options.seed);
    model.SetBandPace(options.band);
    model.SetAirSpeed(options.airSpeed);
    model.SetPactorOption(options.pactor);
    model.PutInState(options.start, MonotonicMs());
    QByteArray pending;
    bool lineOpen = false;
    char buffer[kReadChunk];
    LinePacer readPace;
    LinePacer writePace;

    while (!gStop) {
        // With no program holding the slave open the master reports a hang-up
        // (and reads fail with EIO) until the next open: it is watched only
        // while open, and looked at without waiting while not.
        if (!lineOpen) {
            pollfd probe{master, POLLIN, 0};
            if (poll(&probe, 1, 0) >= 0 && (probe.revents & (POLLHUP | POLLERR)) == 0) {
                log.Note("line opened by the program");
                lineOpen = true;
            }
        }
        // Paced, the line is read only when a byte may have come through.
        // A stalled unit takes nothing off the line: the pseudo-terminal's
        // and the socket's buffers fill, and the program's writes stop.
        int readable = model.LineStalled() ? 0 : kReadChunk;
        int writable = kMaxPending;
        int timeout = lineOpen || tcp.Connected() ? kPollMs : kIdleMs;
        // The unit answers a command line in the time its answer takes on
        // the line, paced or not.
        model.SetLineRate(LineBytesPerSecond(master));
        if (options.linePace) {
            const int rate = LineBytesPerSecond(master);
            readPace.SetRate(rate);
            writePace.SetRate(rate);
            const quint32 start = MonotonicMs();
            readable = model.LineStalled()
                           ? 0
                           : qMin(readPace.Allowed(start, BytesQueued(lineOpen ? master : -1) ||
                                                              BytesQueued(tcp.ClientFd())),
                                  kReadChunk);
            writable = writePace.Allowed(start, !pending.isEmpty() || tcp.HasPending());
            if (readable == 0 && !model.LineStalled())
                timeout = qBound(1, readPace.WaitMs(), timeout);
            if (writable == 0 && (!pending.isEmpty() || tcp.HasPending()))
                timeout = qMin(timeout, qBound(1, writePace.WaitMs(), kPollMs));
        }
        const bool canWrite = writable > 0;
        const short events =
            short((readable > 0 ? POLLIN : 0) | (pending.isEmpty() || !canWrite ? 0 : POLLOUT));
        const short clientEvents =
            short((readable > 0 ? POLLIN : 0) | (tcp.HasPending() && canWrite ? POLLOUT : 0));
        pollfd fds[5] = {{lineOpen ? master : -1, events, 0},
                         {input.Fd() >= 0 && StdinIsOurs() ? input.Fd() : -1, POLLIN, 0},
                         {control.Fd(), POLLIN, 0},
                         {tcp.ListenFd(), POLLIN, 0},
                         {tcp.ClientFd(), clientEvents, 0}};
        const int ready = poll(fds, 5, timeout);
        if (ready < 0 && errno != EINTR) break;
        const pollfd& fd = fds[0];
        const quint32 now = MonotonicMs();
        QList<QByteArray> commands;
        if (ready > 0 && fds[1].fd >= 0 && fds[1].revents != 0) input.Read(commands);
        if (ready > 0 && fds[2].fd >= 0 && fds[2].revents != 0) control.Read(commands);
        for (const QByteArray& command : commands) {
            const QByteArray answer = RunControlCommand(model, command, now);
            log.Note(("control: " + command.trimmed()).constData());
            std::fputs(answer.constData(), stdout);
            std::fflush(stdout);
        }
        if (ready > 0 && fds[3].fd >= 0 && fds[3].revents != 0) tcp.Accept();
        bool hangUp = lineOpen && ready > 0 && (fd.revents & (POLLHUP | POLLERR)) != 0;
        QByteArray fromHost;
        if (lineOpen && ready > 0 && (fd.revents & POLLIN) != 0) {
            const ssize_t n = read(master, buffer, size_t(readable));
            if (n > 0) {
                fromHost = QByteArray(buffer, qsizetype(n));
            } else if (n < 0 && errno == EIO) {
                hangUp = true;
            }
        }
        // The TCP client reads within what the pace leaves.
        if (ready > 0 && fds[4].fd >= 0 && fds[4].revents != 0)
            fromHost += tcp.Read(readable - int(fromHost.size()));
        if (!fromHost.isEmpty()) {
            readPace.Used(int(fromHost.size()));
            log.Bytes("->", fromHost);
            for (char c : fromHost)
                model.FromHost(quint8(c), now);
        }
        if (hangUp && lineOpen) {
            log.Note("line closed by the program");
            tcflush(master, TCOFLUSH); // nothing stale for the next one
            pending.clear();
            lineOpen = false;
        }

        const QByteArray out = model.ToHost(now);
        for (const QByteArray& note : model.TakeNotes()) {
            // Ignored bytes come at every mode switch (ESC DD CR): the log
            // keeps them, the terminal is spared.
            if (!note.startsWith(Pk232Model::kIgnoredOutsideFrame))
                std::fprintf(stderr, "dervalo-pk232sim: %s\n", note.constData());
            log.Note(note.constData());
        }
        if ((lineOpen || tcp.Connected()) && !out.isEmpty()) {
            log.Bytes("<-", out);
            if (lineOpen) pending.append(out.left(kMaxPending - pending.size()));
            tcp.Queue(out);
        }
        if (options.linePace)
            writable = writePace.Allowed(MonotonicMs(), !pending.isEmpty() || tcp.HasPending());
        // Both ends get the same bytes: the pace counts them once.
        int sent = 0;
        if (lineOpen && !pending.isEmpty() && writable > 0) {
            const qsizetype count = qMin<qsizetype>(pending.size(), writable);
            const ssize_t n = write(master, pending.constData(), size_t(count));
            if (n > 0) {
                pending.remove(0, qsizetype(n));
                sent = int(n);
            }
        }
        sent = qMax(sent, tcp.Flush(writable));
        writePace.Used(sent);
    }

    log.Note("stopped");
    link.Remove();
    close(master);
    return 0;
}

} // namespace

int main(int argc, char** argv) {
    Options options;
    if (!ParseArgs(argc, argv, options)) {
        std::fputs(kUsage, stderr);
        return 2;
    }
    if (options.help) {
        std::fputs(kUsage, stdout);
        return 0;
    }
    if (!options.writeIni.empty()) {
        if (!WriteIni(options.writeIni, options.device)) {
            std::fprintf(stderr, "dervalo-pk232sim: cannot write %s\n", options.writeIni.c_str());
            return 1;
        }
        return 0;
    }
    return Run(options);
}
