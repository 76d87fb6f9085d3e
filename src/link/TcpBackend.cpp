#include "link/TcpBackend.h"

#include "link/Descriptor.h"
#include "link/HostLookup.h"
#include "link/TcpName.h"

#include <cerrno>
#include <chrono>
#include <cstring>
#include <fcntl.h>
#include <linux/sockios.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/ioctl.h>
#include <sys/socket.h>
#include <unistd.h>

namespace {

constexpr int kReadTimeoutMs = 1;
constexpr int kWriteStepMs = 50;

} // namespace

using namespace Descriptor;

TcpBackend::TcpBackend(Ticks now) : now_(now ? std::move(now) : Ticks(SteadyMs)) {}

TcpBackend::~TcpBackend() {
    Close();
}

void TcpBackend::Fail(const QString& step, int errnum, const QString& reason) {
    error_.device = ShownName(name_);
    error_.step = step;
    error_.errnum = errnum;
    error_.reason =
        reason.isEmpty() && errnum != 0 ? QString::fromLocal8Bit(std::strerror(errnum)) : reason;
}

void TcpBackend::Lost(const QString& step, int errnum) {
    lost_ = true;
    Fail(step, errnum,
         errnum == 0 ? QStringLiteral("the connection was closed by the other end") : QString());
}

bool TcpBackend::Open(const QString& deviceName) {
    Close();
    name_ = deviceName;
    error_ = {};
    // An address that failed a moment ago is not tried again yet.
    if (!failedName_.isEmpty() && failedName_ == deviceName && now_() - failedAt_ < kHoldOffMs) {
        error_ = failedError_;
        return false;
    }
    TcpAddress address;
    QString reason;
    if (!TcpName::Parse(deviceName, address, reason)) {
        Fail(QString(), EINVAL, reason);
        return false;
    }
    if (Connect(address.host, address.port)) {
        failedName_.clear();
        return true;
    }
    failedName_ = deviceName;
    failedAt_ = now_();
    failedError_ = error_;
    return false;
}

bool TcpBackend::Connect(const QString& host, quint16 port) {
    QString reason;
    std::vector<HostLookup::Address> addresses =
        HostLookup::Find(host.toUtf8(), port, kConnectMs, reason);
    // A name the name server cannot give now: the address it gave before.
    if (addresses.empty() && lastName_ == name_ && lastAddress_.length > 0)
        addresses.push_back(lastAddress_);
    if (addresses.empty()) {
        Fail(QString(), 0, reason);
        return false;
    }
    // Each address in turn, all of them within the connect time.
    const qint64 deadline = SteadyMs() + kConnectMs;
    int lastErr = ETIMEDOUT;
    for (const HostLookup::Address& a : addresses) {
        const int fd = ::socket(a.family, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
        if (fd < 0) {
            lastErr = errno;
            continue;
        }
        const int on = 1;
        const int sendBuffer = kSendBufferBytes;
        (void)::setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &on, sizeof on);
        (void)::setsockopt(fd, SOL_SOCKET, SO_SNDBUF, &sendBuffer, sizeof sendBuffer);
        int err = 0;
        if (::connect(fd, reinterpret_cast<const sockaddr*>(&a.address), a.length) != 0) {
            err = errno;
            if (err == EINPROGRESS) {
                const qint64 left = deadline - SteadyMs();
                const short ev = left > 0 ? WaitFor(fd, POLLOUT, int(left)) : 0;
                socklen_t len = sizeof err;
                if (ev == 0)
                    err = ETIMEDOUT;
                else if (::getsockopt(fd, SOL_SOCKET, SO_ERROR, &err, &len) != 0)
                    err = errno;
            }
        }
        if (err == 0) {
            fd_ = fd;
            lastName_ = name_;
            lastAddress_ = a;
            return true;
        }
        lastErr = err;
        ::close(fd);
        if (SteadyMs() >= deadline) break;
    }
    Fail(QString(), lastErr);
    return false;
}

bool TcpBackend::SetState(quint16) {
    // The rate and framing are the bridge's.
    return fd_ >= 0; // a failed open says why
}

bool TcpBackend::SetTimeouts() {
    return fd_ >= 0;
}

bool TcpBackend::SetQueues(quint32, quint32) {
    return fd_ >= 0;
}

bool TcpBackend::PeerGone() {
    const short ev = WaitFor(fd_, POLLIN | POLLRDHUP, 0);
    if (ev & (POLLERR | POLLHUP | POLLNVAL)) return true;
    // Closed for sending at the other end: gone once its last bytes are read.
    return (ev & POLLRDHUP) && BytesAvailable() == 0;
}

bool TcpBackend::WriteByte(quint8 byte) {
    if (fd_ < 0) return false;
    const QString step = QStringLiteral("writing");
    if (lost_ || PeerGone()) {
        if (!lost_) Lost(step, 0);
        return false;
    }
    // No room: the other end is waited on while it takes bytes, not longer.
    int lastQueued = -1;
    qint64 lastProgress = SteadyMs();
    for (;;) {
        const ssize_t r = ::send(fd_, &byte, 1, MSG_NOSIGNAL | MSG_DONTWAIT);
        if (r == 1) return true;
        if (!TryAgain(r)) {
            Lost(step, errno);
            return false;
        }
        const qint64 now = SteadyMs();
        int queued = 0;
        if (::ioctl(fd_, SIOCOUTQ, &queued) == 0 && queued != lastQueued) {
            lastQueued = queued;
            lastProgress = now;
        }
        const qint64 left = lastProgress + kStallMs - now;
        if (left <= 0) {
            Fail(step, ETIMEDOUT, QStringLiteral("the other end takes nothing"));
            return false;
        }
        const short ev = WaitFor(fd_, POLLOUT, int(qMin<qint64>(left, kWriteStepMs)));
        if (ev & (POLLERR | POLLHUP | POLLNVAL)) {
            Lost(step, ECONNRESET);
            return false;
        }
    }
}

bool TcpBackend::ReadByte(quint8& byte) {
    return ReadBlock(reinterpret_cast<char*>(&byte), 1) == 1;
}

qint32 TcpBackend::BytesAvailable() {
    return Waiting(fd_);
}

int TcpBackend::ReadBlock(char* buffer, int maxCount) {
    if (fd_ < 0 || buffer == nullptr || maxCount <= 0) return 0;
    for (int attempt = 0; attempt < 2; ++attempt) {
        const ssize_t r = ::recv(fd_, buffer, size_t(maxCount), MSG_DONTWAIT);
        if (r > 0) return int(r);
        if (r == 0) {
            // The other end has closed: the next write finds it gone.
            if (!lost_) Lost(QStringLiteral("reading"), 0);
            return 0;
        }
        if (!TryAgain(r)) {
            Lost(QStringLiteral("reading"), errno);
            return 0;
        }
        if (attempt == 0 && !(WaitFor(fd_, POLLIN, kReadTimeoutMs) & POLLIN)) return 0;
    }
    return 0;
}

void TcpBackend::PurgeInput() {
    // What has arrived so far, and no more.
    char buffer[4096];
    for (qint32 waiting = BytesAvailable(); waiting > 0;) {
        const ssize_t r =
            ::recv(fd_, buffer, size_t(qMin<qint32>(waiting, sizeof buffer)), MSG_DONTWAIT);
        if (r <= 0) break;
        waiting -= qint32(r);
    }
}

void TcpBackend::Close() {
    if (fd_ >= 0) ::close(fd_);
    fd_ = -1;
    lost_ = false;
}
