#include "link/LineBackend.h"

#include <QFile>
#include <QFileInfo>
#include <QSerialPort>
#include <QSocketNotifier>
#include <QTcpSocket>

#include <cerrno>
#include <climits>
#include <cstring>
#include <poll.h>
#include <sys/file.h>

#include "link/TcpName.h"

namespace {

// A name from the settings file as a box can show it: control characters
// as \xNN, no longer than a line, and an empty one as "".
QString ShownName(const QString& name) {
    constexpr int kMaxShown = 60;
    if (name.isEmpty()) return QStringLiteral("\"\"");
    QString shown;
    for (const QChar c : name) {
        if (shown.size() >= kMaxShown) return shown + QStringLiteral("...");
        const char16_t u = c.unicode();
        if (u < 0x20 || (u >= 0x7F && u < 0xA0))
            shown += QStringLiteral("\\x%1").arg(int(u), 2, 16, QLatin1Char('0'));
        else
            shown += c;
    }
    return shown;
}

QString Reason(int errnum) {
    return QString::fromLocal8Bit(std::strerror(errnum));
}

// The system's error number behind a reason Qt gives in the system's words.
int ErrnoOf(const QString& reason) {
    for (const int e : {ENOENT, EACCES, EPERM, EBUSY, ENXIO, EIO, ENOTTY, ENODEV, ECONNREFUSED,
                        ECONNRESET, EHOSTUNREACH, ENETUNREACH, ETIMEDOUT})
        if (reason == Reason(e)) return e;
    return 0;
}

} // namespace

LineBackend::LineBackend() {
    clock_.start();
}

LineBackend::~LineBackend() {
    Close();
}

QString LineBackend::DevicePath(const QString& name) {
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

void LineBackend::Fail(const QString& device, const QString& step, int errnum,
                       const QString& reason) {
    error_ = {device, step, errnum, reason.isEmpty() && errnum != 0 ? Reason(errnum) : reason};
}

void LineBackend::DeviceFailed(const QString& step, int errnum, const QString& reason) {
    if (failed_ || !device_) return;
    failed_ = true;
    lost_ += quint64(device_->bytesToWrite());
    Fail(name_, step, errnum, reason);
}

void LineBackend::Notify(bool ready) {
    // Never from inside a call of this backend or a signal of the device:
    // the listener may read, write, or open the line again.
    QMetaObject::invokeMethod(
        this,
        [this, ready] {
            if (ready) readyQueued_ = false;
            const std::function<void()>& listener = ready ? onReady_ : onUp_;
            if (listener) listener();
        },
        Qt::QueuedConnection);
}

bool LineBackend::PassingFault() {
    // A pseudo-terminal may say it takes bytes and then take none: Qt reports
    // the write's "try again" as a failure, keeps what it could not write and
    // writes it when the line takes bytes. Its error text may name another
    // call's error number, so the line itself is asked: one that has not
    // hung up and is not in error is still there. The stall watch finds a
    // line that never takes a byte again; a fault that comes back without a
    // byte moved in between, a hundred times, is a real one.
    constexpr int kMaxPassing = 100;
    if (!serial_ || ++passingFaults_ > kMaxPassing) return false;
    pollfd p{int(serial_->handle()), POLLIN | POLLOUT, 0};
    if (::poll(&p, 1, 0) < 0 || (p.revents & (POLLHUP | POLLERR | POLLNVAL))) return false;
    serial_->clearError();
    return true;
}

void LineBackend::BytesCame() {
    moved_ = true;
    passingFaults_ = 0;
    if (readyQueued_) return;
    readyQueued_ = true;
    Notify(true);
}

bool LineBackend::Open(const QString& deviceName) {
    // A connection still being made to the same place goes on being made.
    if (socket_ && !failed_ && deviceName == name_ &&
        socket_->state() != QAbstractSocket::UnconnectedState)
        return true;
    Close();
    error_ = {};
    failed_ = false;
    moved_ = false;
    return TcpName::Is(deviceName) ? OpenTcp(deviceName) : OpenSerial(deviceName);
}

bool LineBackend::OpenSerial(const QString& deviceName) {
    const QString path = DevicePath(deviceName);
    name_ = path.isEmpty() ? ShownName(deviceName) : path;
    if (path.isEmpty()) {
        Fail(name_, QString(), EINVAL, QStringLiteral("not a device path"));
        return false;
    }
    if (QFileInfo(path).isFile()) {
        Fail(name_, QString(), ENOTTY, QStringLiteral("not a serial device"));
        return false;
    }
    auto* port = new QSerialPort(this);
    port->setPortName(path);
    if (!port->open(QIODevice::ReadWrite)) {
        const QString why = port->errorString();
        const int errnum = ErrnoOf(why);
        // Qt's lock file of the device is held by another program.
        const bool locked = port->error() == QSerialPort::PermissionError && errnum == 0;
        Fail(name_, QString(), locked ? EBUSY : errnum,
             locked ? QStringLiteral("in use by another program")
             : errnum == ENOTTY ? QStringLiteral("not a serial device")
                                : why);
        delete port;
        return false;
    }
    // Also a program run by root, whom the terminal's exclusive mode does
    // not stop, keeps off a device in use (the lock goes with the descriptor).
    if (::flock(int(port->handle()), LOCK_EX | LOCK_NB) != 0) {
        port->close();
        delete port;
        Fail(name_, QString(), EBUSY, QStringLiteral("in use by another program"));
        return false;
    }
    port->setFlowControl(QSerialPort::NoFlowControl);
    port->setDataBits(QSerialPort::Data8);
    port->setParity(QSerialPort::NoParity);
    port->setStopBits(QSerialPort::OneStop);
    // A pseudo-terminal or a bridge has no modem lines to set: no matter.
    port->setDataTerminalReady(true);
    port->setRequestToSend(true);
    port->clearError();
    linesUp_ = true;
    connect(port, &QSerialPort::errorOccurred, this, [this](QSerialPort::SerialPortError e) {
        if (e == QSerialPort::ResourceError || e == QSerialPort::WriteError ||
            e == QSerialPort::ReadError) {
            if (PassingFault()) return;
            const QString why = serial_ ? serial_->errorString() : QString();
            DeviceFailed(e == QSerialPort::WriteError ? QStringLiteral("writing")
                                                      : QStringLiteral("reading"),
                         ErrnoOf(why), why);
        }
    });
    connect(port, &QIODevice::readyRead, this, [this] { BytesCame(); });
    serial_ = port;
    device_ = port;
    lastMove_ = clock_.elapsed();
    lastUnsent_ = 0;
    passingFaults_ = 0;
    return true;
}

bool LineBackend::OpenTcp(const QString& deviceName) {
    name_ = ShownName(deviceName);
    TcpAddress address;
    QString reason;
    if (!TcpName::Parse(deviceName, address, reason)) {
        Fail(name_, QString(), EINVAL, reason);
        return false;
    }
    const qint64 now = clock_.elapsed();
    if (deviceName == failedName_ && now - failedAt_ < holdOffMs_) {
        error_ = failedError_;
        return false;
    }
    failedName_.clear();
    auto* socket = new QTcpSocket(this);
    connect(socket, &QAbstractSocket::errorOccurred, this,
            [this, deviceName](QAbstractSocket::SocketError e) {
                if (e == QAbstractSocket::SocketTimeoutError || !socket_) return;
                const QString why = e == QAbstractSocket::RemoteHostClosedError
                                        ? QStringLiteral("the other end closed the connection")
                                        : socket_->errorString();
                // No connection was made: the open itself failed.
                const bool connecting = !linesUp_;
                DeviceFailed(connecting ? QString() : QStringLiteral("writing"), ErrnoOf(why),
                             why);
                if (connecting) {
                    failedName_ = deviceName;
                    failedAt_ = clock_.elapsed();
                    failedError_ = error_;
                }
            });
    connect(socket, &QAbstractSocket::disconnected, this, [this] {
        DeviceFailed(QStringLiteral("reading"), 0,
                     QStringLiteral("the other end closed the connection"));
    });
    connect(socket, &QAbstractSocket::connected, this, [this] { Connected(); });
    connect(socket, &QIODevice::readyRead, this, [this] { BytesCame(); });
    socket_ = socket;
    device_ = socket;
    lastMove_ = now;
    lastUnsent_ = 0;
    socket->connectToHost(address.host, address.port);
    return !failed_;
}

void LineBackend::Connected() {
    if (!socket_) return;
    socket_->setSocketOption(QAbstractSocket::LowDelayOption, 1);
    // As little as a serial driver holds, so that a peer that stops reading
    // is found out soon.
    socket_->setSocketOption(QAbstractSocket::SendBufferSizeSocketOption, 4096);
    linesUp_ = true;
    lastMove_ = clock_.elapsed();
    Notify(false);
}

bool LineBackend::Carrying() const {
    if (!device_ || failed_) return false;
    return !socket_ || socket_->state() == QAbstractSocket::ConnectedState;
}

void LineBackend::Service() {
    if (!device_ || failed_) return;
    if (socket_ && socket_->state() == QAbstractSocket::ConnectingState) {
        // The system may have made (or refused) the connection meanwhile:
        // then finishing it takes no time. Otherwise the event loop does.
        // Qt gives no descriptor out before the connection is made; the
        // notifier it watches the connection with names it.
        int fd = -1;
        for (const QSocketNotifier* n : socket_->findChildren<QSocketNotifier*>())
            if (n->type() == QSocketNotifier::Write && n->isEnabled()) fd = int(n->socket());
        pollfd p{fd, POLLOUT, 0};
        if (fd >= 0 && ::poll(&p, 1, 0) > 0) socket_->waitForConnected(100);
    }
    if (!Carrying()) return;
    if (serial_) {
        // A line that has hung up (the far side of a pseudo-terminal gone,
        // an adapter pulled) with nothing left to read has failed; Qt finds
        // that out only in the event loop.
        pollfd p{int(serial_->handle()), POLLIN, 0};
        if (::poll(&p, 1, 0) > 0 && (p.revents & (POLLHUP | POLLERR | POLLNVAL)) &&
            !(p.revents & POLLIN)) {
            DeviceFailed(QStringLiteral("reading"), EIO, QStringLiteral("the line has hung up"));
            return;
        }
    }
    // Bytes out as far as the line takes them, bytes in as far as they have
    // come; neither waits.
    if (device_->bytesToWrite() > 0) device_->waitForBytesWritten(0);
    if (Carrying()) device_->waitForReadyRead(0);
    if (!Carrying()) return;
    const qint64 unsent = device_->bytesToWrite();
    const qint64 now = clock_.elapsed();
    if (unsent < lastUnsent_) moved_ = true;
    if (unsent == 0 || unsent < lastUnsent_) lastMove_ = now;
    if (unsent < lastUnsent_) passingFaults_ = 0;
    lastUnsent_ = unsent;
    if (unsent > 0 && now - lastMove_ > stallMs_)
        DeviceFailed(QStringLiteral("writing"), 0,
                     QStringLiteral("the line has taken no byte for %1 s").arg(stallMs_ / 1000.0));
}

bool LineBackend::SetState(quint16 baudRate) {
    if (!device_) return false;
    if (!serial_) return true; // the bridge keeps its own line settings
    if (serial_->setBaudRate(qint32(baudRate))) return true;
    const QString why = serial_->errorString();
    serial_->clearError();
    Fail(name_, QStringLiteral("setting the line"), ErrnoOf(why), why);
    return false;
}

bool LineBackend::Write(const QByteArray& bytes) {
    if (!device_) return false;
    Service();
    if (failed_) return false;
    const qint64 unsent = device_->bytesToWrite();
    if (unsent + bytes.size() > kOutLimit) {
        Fail(name_, QStringLiteral("writing"), ENOBUFS,
             QStringLiteral("the line takes no more bytes"));
        return false;
    }
    if (unsent == 0) lastMove_ = clock_.elapsed();
    if (device_->write(bytes) != bytes.size()) {
        const QString why = device_->errorString();
        DeviceFailed(QStringLiteral("writing"), ErrnoOf(why), why);
        return false;
    }
    lastUnsent_ = device_->bytesToWrite();
    Service();
    return true;
}

bool LineBackend::ReadByte(quint8& byte) {
    Service();
    char c = 0;
    if (!device_ || !device_->getChar(&c)) return false;
    byte = quint8(c);
    return true;
}

qint32 LineBackend::BytesAvailable() {
    Service();
    if (!device_) return 0;
    return qint32(qMin<qint64>(device_->bytesAvailable(), INT_MAX));
}

int LineBackend::ReadBlock(char* buffer, int maxCount) {
    Service();
    if (!device_ || buffer == nullptr || maxCount <= 0) return 0;
    const qint64 got = device_->read(buffer, maxCount);
    return got > 0 ? int(got) : 0;
}

void LineBackend::PurgeInput() {
    Service();
    if (!device_) return;
    if (serial_) serial_->clear(QSerialPort::Input);
    device_->readAll();
}

void LineBackend::Close() {
    if (!device_) {
        serial_ = nullptr;
        socket_ = nullptr;
        return;
    }
    QIODevice* old = device_;
    device_ = nullptr;
    serial_ = nullptr;
    socket_ = nullptr;
    linesUp_ = false;
    old->disconnect(this);
    // A line that failed, or has not taken what waits, would hold the close
    // until the system gives up on draining it (half a minute): what it has
    // not sent is dropped.
    if (auto* port = qobject_cast<QSerialPort*>(old); port && (failed_ || port->bytesToWrite() > 0))
        port->clear(QSerialPort::Output);
    // Closing a serial port ends its exclusive use (Qt clears the terminal's
    // exclusive mode and its lock file); the descriptor's lock goes with it.
    old->close();
    // The device may be in the middle of one of its own signals.
    old->deleteLater();
}

quint64 LineBackend::TakeLost() {
    const quint64 taken = lost_;
    lost_ = 0;
    return taken;
}

qint64 LineBackend::Unsent() const {
    return device_ ? device_->bytesToWrite() : 0;
}
