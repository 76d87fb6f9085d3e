#include "link/QtSerialBackend.h"

#include <QFile>

#include "link/Descriptor.h"
#include "link/LineSpeed.h"

#include <cerrno>
#include <chrono>
#include <climits>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

namespace {

// A read of an empty queue waits this long for a byte to arrive.
constexpr int kReadTimeoutMs = 1;
// A full output queue is waited on in steps of at most this long, so that
// the draining is looked at as it goes.
constexpr int kWriteStepMs = 50;
// What the kernel holds for sending when it does not say (a pseudo-terminal
// never does): a few kilobytes.
constexpr int kAssumedQueueBytes = 4096;
// A queue that has not drained for twice the time its bytes need at the line
// rate, plus this, belongs to a line that is stuck.
constexpr qint64 kWriteMarginMs = 1000;
constexpr quint16 kSlowestBaud = 300;
// The rate taken before one has been set.
constexpr quint16 kDefaultBaud = 9600;

void SetModemLine(int fd, int line, bool up) {
    int bits = line;
    (void)::ioctl(fd, up ? TIOCMBIS : TIOCMBIC, &bits);
}

// How long `bytes` take on the line at `baud`: ten bits each (start, eight
// data bits, stop). A rate below the slowest one a controller takes counts
// as that one, so that a wild rate from the settings file cannot make the
// wait endless.
qint64 DrainMs(int bytes, quint16 baud) {
    const qint64 rate = qMax<qint64>(baud, kSlowestBaud);
    return (qint64(bytes) * 10 * 1000 + rate - 1) / rate;
}

} // namespace

using namespace Descriptor;

QtSerialBackend::QtSerialBackend() = default;

void QtSerialBackend::Fail(const QString& step, int errnum, const QString& reason) {
    error_.device = path_;
    error_.step = step;
    error_.errnum = errnum;
    error_.reason =
        reason.isEmpty() && errnum != 0 ? QString::fromLocal8Bit(std::strerror(errnum)) : reason;
}

QtSerialBackend::~QtSerialBackend() {
    Close();
}

QString QtSerialBackend::DevicePath(const QString& name) {
    // COM1 to COM4 are the first four UARTs.
    static const QString kComNames[] = {QStringLiteral("COM1"), QStringLiteral("COM2"),
                                        QStringLiteral("COM3"), QStringLiteral("COM4")};
    for (int i = 0; i < 4; ++i)
        if (name.compare(kComNames[i], Qt::CaseInsensitive) == 0)
            return QStringLiteral("/dev/ttyS%1").arg(i);
    // The name comes from a text file: refuse what no device path holds
    // rather than hand it to the system, which cuts a name at a NUL.
    if (name.isEmpty()) return {};
    for (const QChar c : name)
        if (c.unicode() < 0x20 || (c.unicode() >= 0x7F && c.unicode() < 0xA0)) return {};
    const QString path = name.startsWith(QLatin1Char('/')) ? name : QStringLiteral("/dev/") + name;
    const QByteArray native = QFile::encodeName(path);
    if (QFile::decodeName(native) != path || native.size() >= PATH_MAX) return {};
    return path;
}

bool QtSerialBackend::Open(const QString& deviceName) {
    Close();
    const QString path = DevicePath(deviceName);
    error_ = {};
    path_ = path.isEmpty() ? ShownName(deviceName) : path;
    if (path.isEmpty()) {
        Fail(QString(), EINVAL, QStringLiteral("not a device path"));
        return false;
    }
    // Non-blocking, so that a line without carrier opens at once and reads
    // never wait beyond their time-out.
    const int fd =
        ::open(QFile::encodeName(path).constData(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        Fail(QString(), errno);
        return false;
    }
    // Only a terminal line is a serial port. No sharing: the lock holds
    // against every other opener that asks for it (root included) and goes
    // with the descriptor; the terminal's exclusive mode keeps out the rest.
    termios tio{};
    bool ok = ::isatty(fd);
    if (!ok) Fail(QString(), ENOTTY, QStringLiteral("not a serial device"));
    if (ok && ::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        ok = false;
        const int e = errno;
        Fail(QString(), e,
             e == EWOULDBLOCK ? QStringLiteral("in use by another program") : QString());
    }
    if (ok && (::ioctl(fd, TIOCEXCL) != 0 || ::tcgetattr(fd, &tio) != 0)) {
        ok = false;
        Fail(QString(), errno);
    }
    if (!ok) {
        ::close(fd);
        return false;
    }
    // Raw: 8 data bits, no parity, one stop bit, no flow control, no
    // processing; reads come back at once with what is there.
    ::cfmakeraw(&tio);
    tio.c_cflag &= ~tcflag_t(CSTOPB | PARENB | CRTSCTS);
    tio.c_cflag |= CS8 | CLOCAL | CREAD;
    tio.c_iflag &= ~tcflag_t(IXON | IXOFF | IXANY);
    tio.c_cc[VMIN] = 0;
    tio.c_cc[VTIME] = 0;
    if (::tcsetattr(fd, TCSANOW, &tio) != 0) {
        Fail(QString(), errno);
        ::close(fd);
        return false;
    }
    fd_ = fd;
    baud_ = kDefaultBaud;
    RaiseModemLines();
    return true;
}

void QtSerialBackend::RaiseModemLines() {
    // RTS and DTR up for as long as the device is open: a controller set for
    // hardware flow control holds all its output while RTS is low. A
    // pseudo-terminal has no modem-control lines; a UART has.
    int bits = 0;
    if (::ioctl(fd_, TIOCMGET, &bits) == 0) {
        SetModemLine(fd_, TIOCM_DTR, true);
        SetModemLine(fd_, TIOCM_RTS, true);
    }
    linesUp_ = true;
}

bool QtSerialBackend::IsOpen() const {
    return fd_ >= 0;
}

bool QtSerialBackend::SetState(quint16 baudRate) {
    if (fd_ < 0) return false; // the failed open says why
    const QString step = QStringLiteral("setting the line");
    if (baudRate == 0) {
        Fail(step, EINVAL, QStringLiteral("no rate"));
        return false;
    }
    // 8N1, no hardware or software flow control.
    termios tio{};
    bool ok = ::tcgetattr(fd_, &tio) == 0;
    if (ok) {
        tio.c_cflag &= ~tcflag_t(CSIZE | CSTOPB | PARENB | CRTSCTS);
        tio.c_cflag |= CS8 | CLOCAL | CREAD;
        tio.c_iflag &= ~tcflag_t(IXON | IXOFF | IXANY | INPCK);
        ok = ::tcsetattr(fd_, TCSANOW, &tio) == 0;
    }
    if (!ok) Fail(step, errno);
    if (!SetLineSpeed(fd_, baudRate)) {
        if (ok) Fail(step, errno);
        ok = false;
    }
    if (ok) baud_ = baudRate;
    RaiseModemLines();
    return ok;
}

bool QtSerialBackend::SetTimeouts() {
    // The time-outs live in this class (poll in ReadByte and WriteByte); the
    // line itself stays non-blocking with VMIN = VTIME = 0.
    return fd_ >= 0;
}

bool QtSerialBackend::SetQueues(quint32, quint32) {
    // The Linux serial drivers have fixed queues; there is nothing to ask.
    return fd_ >= 0;
}

int QtSerialBackend::QueuedForSending() const {
    int queued = 0;
    if (::ioctl(fd_, TIOCOUTQ, &queued) != 0 || queued <= 0) return kAssumedQueueBytes;
    return queued;
}

bool QtSerialBackend::WriteByte(quint8 byte) {
    if (fd_ < 0) return false;
    const int fd = fd_;
    // A full output queue is no fault: the line drains it at its rate. The
    // write waits for room for as long as the line is seen to drain; it
    // gives up on a device that has gone, or one whose queue has not moved
    // for well beyond the time its bytes need.
    int lastQueued = -1;
    qint64 lastProgress = 0;
    for (;;) {
        const ssize_t r = ::write(fd, &byte, 1);
        if (r == 1) return true;
        if (!TryAgain(r)) { // EIO, ENXIO: the device has gone
            Fail(QStringLiteral("writing"), errno);
            return false;
        }
        const qint64 now = SteadyMs();
        const int queued = QueuedForSending();
        if (queued != lastQueued) {
            lastQueued = queued;
            lastProgress = now;
        }
        const qint64 left = lastProgress + 2 * DrainMs(queued, baud_) + kWriteMarginMs - now;
        if (left <= 0) {
            Fail(QStringLiteral("writing"), ETIMEDOUT, QStringLiteral("the line does not drain"));
            return false;
        }
        const short ev = WaitFor(fd, POLLOUT, int(qMin<qint64>(left, kWriteStepMs)));
        if (ev & (POLLERR | POLLHUP | POLLNVAL)) {
            Fail(QStringLiteral("writing"), EIO);
            return false;
        }
    }
}

bool QtSerialBackend::ReadByte(quint8& byte) {
    return ReadBlock(reinterpret_cast<char*>(&byte), 1) == 1;
}

qint32 QtSerialBackend::BytesAvailable() {
    // A hung-up line refuses the request: nothing is waiting then.
    return Waiting(fd_);
}

int QtSerialBackend::ReadBlock(char* buffer, int maxCount) {
    if (fd_ < 0 || buffer == nullptr || maxCount <= 0) return 0;
    const int fd = fd_;
    // With VMIN = VTIME = 0 an empty queue reads as 0 bytes; a hung-up line
    // reads as 0 bytes as well, and polls as ready at once, so the wait below
    // never turns into a spin.
    ssize_t r = ::read(fd, buffer, size_t(maxCount));
    if (r > 0) return int(r);
    if (r < 0 && !TryAgain(r)) return 0;
    const short ev = WaitFor(fd, POLLIN, kReadTimeoutMs);
    if (!(ev & POLLIN)) return 0;
    r = ::read(fd, buffer, size_t(maxCount));
    return r > 0 ? int(r) : 0;
}

void QtSerialBackend::PurgeInput() {
    if (fd_ < 0) return;
    // Received bytes only: what waits to be sent still goes out.
    (void)::tcflush(fd_, TCIFLUSH);
}

void QtSerialBackend::Close() {
    // Closing the descriptor also ends the lock.
    if (fd_ >= 0) ::close(fd_);
    fd_ = -1;
    linesUp_ = false;
}
