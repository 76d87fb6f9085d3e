#include "link/QtSerialBackend.h"

#include <QFileInfo>
#include <QSocketNotifier>

#include <cerrno>
#include <fcntl.h>
#include <poll.h>
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
    if (name.startsWith(QLatin1Char('/'))) return name;
    return QStringLiteral("/dev/") + name;
}

bool QtSerialBackend::Open(const QString& deviceName) {
    Close();
    // The device under its real name, so that the lock file is the same
    // whichever link leads to it.
    QString path = DevicePath(deviceName);
    const QString real = QFileInfo(path).canonicalFilePath();
    if (!real.isEmpty()) path = real;
    port_.setPortName(path);
    // QSerialPort takes the lock file and TIOCEXCL (no sharing) and puts the
    // line in raw mode.
    if (!port_.open(QIODevice::ReadWrite)) return false;

    // All reading goes straight to the descriptor. QSerialPort's read
    // notifier would pull bytes into its own buffer whenever events are
    // handled, where the count of waiting bytes no longer sees them.
    for (QSocketNotifier* n : port_.findChildren<QSocketNotifier*>())
        if (n->type() == QSocketNotifier::Read) n->setEnabled(false);

    const int fd = port_.handle();
    int bits = 0;
    // A pseudo-terminal has no modem-control lines; a UART has.
    modemLines_ = ::ioctl(fd, TIOCMGET, &bits) == 0;
    rtsUp_ = false;
    if (modemLines_) {
        SetModemLine(fd, TIOCM_DTR, true);
        SetModemLine(fd, TIOCM_RTS, false);
    }
    return true;
}

bool QtSerialBackend::IsOpen() const {
    return port_.isOpen();
}

bool QtSerialBackend::SetState(quint16 baudRate) {
    if (!port_.isOpen() || baudRate == 0) return false;
    // 8N1, no hardware or software flow control; rates outside the standard
    // table go through the driver's custom-rate interface.
    bool ok = port_.setBaudRate(baudRate);
    ok = port_.setDataBits(QSerialPort::Data8) && ok;
    ok = port_.setParity(QSerialPort::NoParity) && ok;
    ok = port_.setStopBits(QSerialPort::OneStop) && ok;
    ok = port_.setFlowControl(QSerialPort::NoFlowControl) && ok;
    if (modemLines_) {
        // DTR up and held; RTS only while sending.
        SetModemLine(port_.handle(), TIOCM_DTR, true);
        DropRtsWhenDrained();
    }
    return ok;
}

bool QtSerialBackend::SetTimeouts() {
    // The time-outs live in this class (poll in ReadByte and WriteByte); the
    // line itself stays non-blocking with VMIN = VTIME = 0.
    return port_.isOpen();
}

bool QtSerialBackend::SetQueues(quint32, quint32) {
    // The Linux serial drivers have fixed queues; there is nothing to ask.
    return port_.isOpen();
}

void QtSerialBackend::DropRtsWhenDrained() {
    if (!rtsUp_ || !port_.isOpen()) return;
    const int fd = port_.handle();
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
    if (!port_.isOpen()) return false;
    const int fd = port_.handle();
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
    if (!port_.isOpen()) return 0;
    DropRtsWhenDrained();
    int waiting = 0;
    // A hung-up line refuses the request: nothing is waiting then.
    if (::ioctl(port_.handle(), FIONREAD, &waiting) != 0) return 0;
    return waiting > 0 ? waiting : 0;
}

int QtSerialBackend::ReadBlock(char* buffer, int maxCount) {
    if (!port_.isOpen() || buffer == nullptr || maxCount <= 0) return 0;
    DropRtsWhenDrained();
    const int fd = port_.handle();
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
    if (!port_.isOpen()) return;
    // Received bytes only: what waits to be sent still goes out.
    (void)::tcflush(port_.handle(), TCIFLUSH);
}

void QtSerialBackend::Close() {
    if (port_.isOpen()) port_.close();
    modemLines_ = false;
    rtsUp_ = false;
}
