#include "link/QtSerialBackend.h"

#include <QFile>

#include "link/LineSpeed.h"

#include <cerrno>
#include <climits>
#include <fcntl.h>
#include <poll.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

namespace {

// A read of an empty queue waits this long for a byte to arrive.
constexpr int kReadTimeoutMs = 1;
// A one-byte write the driver cannot take within this long gives up.
constexpr int kWriteTimeoutMs = 4;

// Waits up to `ms` for `events` on `fd`; returns the events that came (with
// hang-up and errors), 0 on time-out.
short WaitFor(int fd, short events, int ms) {
    pollfd p{fd, events, 0};
    for (;;) {
        const int r = ::poll(&p, 1, ms);
        if (r > 0) return p.revents;
        if (r == 0) return 0;
        if (errno != EINTR) return POLLERR;
    }
}

bool TryAgain(ssize_t r) {
    return r < 0 && (errno == EAGAIN || errno == EWOULDBLOCK || errno == EINTR);
}

void SetModemLine(int fd, int line, bool up) {
    int bits = line;
    (void)::ioctl(fd, up ? TIOCMBIS : TIOCMBIC, &bits);
}

} // namespace

QtSerialBackend::QtSerialBackend() = default;

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
    if (path.isEmpty()) return false;
    // Non-blocking, so that a line without carrier opens at once and reads
    // never wait beyond their time-out.
    const int fd =
        ::open(QFile::encodeName(path).constData(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) return false;
    // Only a terminal line is a serial port. No sharing: the lock holds
    // against every other opener that asks for it (root included) and goes
    // with the descriptor; the terminal's exclusive mode keeps out the rest.
    termios tio{};
    if (!::isatty(fd) || ::flock(fd, LOCK_EX | LOCK_NB) != 0 || ::ioctl(fd, TIOCEXCL) != 0 ||
        ::tcgetattr(fd, &tio) != 0) {
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
        ::close(fd);
        return false;
    }
    fd_ = fd;

    int bits = 0;
    // A pseudo-terminal has no modem-control lines; a UART has.
    modemLines_ = ::ioctl(fd_, TIOCMGET, &bits) == 0;
    rtsUp_ = false;
    if (modemLines_) {
        SetModemLine(fd_, TIOCM_DTR, true);
        SetModemLine(fd_, TIOCM_RTS, false);
    }
    return true;
}

bool QtSerialBackend::IsOpen() const {
    return fd_ >= 0;
}

bool QtSerialBackend::SetState(quint16 baudRate) {
    if (fd_ < 0 || baudRate == 0) return false;
    // 8N1, no hardware or software flow control.
    termios tio{};
    bool ok = ::tcgetattr(fd_, &tio) == 0;
    if (ok) {
        tio.c_cflag &= ~tcflag_t(CSIZE | CSTOPB | PARENB | CRTSCTS);
        tio.c_cflag |= CS8 | CLOCAL | CREAD;
        tio.c_iflag &= ~tcflag_t(IXON | IXOFF | IXANY | INPCK);
        ok = ::tcsetattr(fd_, TCSANOW, &tio) == 0;
    }
    ok = SetLineSpeed(fd_, baudRate) && ok;
    if (modemLines_) {
        // DTR up and held; RTS only while sending.
        SetModemLine(fd_, TIOCM_DTR, true);
        DropRtsWhenDrained();
    }
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

void QtSerialBackend::DropRtsWhenDrained() {
    if (!rtsUp_ || fd_ < 0) return;
    const int fd = fd_;
    int queued = 0;
    if (::ioctl(fd, TIOCOUTQ, &queued) == 0 && queued > 0) return;
#ifdef TIOCSERGETLSR
    // The driver's queue may be empty while the UART still shifts out the
    // last character.
    unsigned int lsr = 0;
    if (::ioctl(fd, TIOCSERGETLSR, &lsr) == 0 && !(lsr & TIOCSER_TEMT)) return;
#endif
    SetModemLine(fd, TIOCM_RTS, false);
    rtsUp_ = false;
}

bool QtSerialBackend::WriteByte(quint8 byte) {
    if (fd_ < 0) return false;
    const int fd = fd_;
    if (modemLines_ && !rtsUp_) {
        SetModemLine(fd, TIOCM_RTS, true);
        rtsUp_ = true;
    }
    ssize_t r = ::write(fd, &byte, 1);
    if (TryAgain(r)) {
        const short ev = WaitFor(fd, POLLOUT, kWriteTimeoutMs);
        if (!(ev & POLLOUT) || (ev & (POLLERR | POLLHUP | POLLNVAL))) return false;
        r = ::write(fd, &byte, 1);
    }
    return r == 1;
}

bool QtSerialBackend::ReadByte(quint8& byte) {
    return ReadBlock(reinterpret_cast<char*>(&byte), 1) == 1;
}

qint32 QtSerialBackend::BytesAvailable() {
    if (fd_ < 0) return 0;
    DropRtsWhenDrained();
    int waiting = 0;
    // A hung-up line refuses the request: nothing is waiting then.
    if (::ioctl(fd_, FIONREAD, &waiting) != 0) return 0;
    return waiting > 0 ? waiting : 0;
}

int QtSerialBackend::ReadBlock(char* buffer, int maxCount) {
    if (fd_ < 0 || buffer == nullptr || maxCount <= 0) return 0;
    DropRtsWhenDrained();
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
    modemLines_ = false;
    rtsUp_ = false;
}
