#include "TcpServe.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>

namespace {
constexpr int kMaxPending = 65536; // bytes waiting for the client to read
} // namespace

TcpServe::~TcpServe() {
    if (client_ >= 0) close(client_);
    if (listener_ >= 0) close(listener_);
}

bool TcpServe::Listen(const std::string& host, int port) {
    sockaddr_storage address{};
    socklen_t length = 0;
    auto* v4 = reinterpret_cast<sockaddr_in*>(&address);
    auto* v6 = reinterpret_cast<sockaddr_in6*>(&address);
    if (inet_pton(AF_INET, host.c_str(), &v4->sin_addr) == 1) {
        v4->sin_family = AF_INET;
        v4->sin_port = htons(quint16(port));
        length = sizeof *v4;
    } else if (inet_pton(AF_INET6, host.c_str(), &v6->sin6_addr) == 1) {
        v6->sin6_family = AF_INET6;
        v6->sin6_port = htons(quint16(port));
        length = sizeof *v6;
    } else {
        std::fprintf(stderr, "dervalo-pk232sim: %s is no IPv4 or IPv6 address\n", host.c_str());
        return false;
    }
    const int fd = socket(address.ss_family, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
    const int on = 1;
    // A restarted simulator takes its port back at once.
    if (fd < 0 || setsockopt(fd, SOL_SOCKET, SO_REUSEADDR, &on, sizeof on) != 0 ||
        bind(fd, reinterpret_cast<sockaddr*>(&address), length) != 0 || listen(fd, 4) != 0) {
        std::fprintf(stderr, "dervalo-pk232sim: cannot listen on %s port %d: %s\n", host.c_str(),
                     port, std::strerror(errno));
        if (fd >= 0) close(fd);
        return false;
    }
    listener_ = fd;
    note_("listening on " + host + " port " + std::to_string(port));
    return true;
}

void TcpServe::Accept() {
    if (listener_ < 0 || client_ >= 0) return;
    sockaddr_storage peer{};
    socklen_t length = sizeof peer;
    const int fd = accept4(listener_, reinterpret_cast<sockaddr*>(&peer), &length,
                           SOCK_NONBLOCK | SOCK_CLOEXEC);
    if (fd < 0) return;
    const int on = 1;
    setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &on, sizeof on);
    char text[INET6_ADDRSTRLEN] = "?";
    const void* where =
        peer.ss_family == AF_INET6
            ? static_cast<const void*>(&reinterpret_cast<sockaddr_in6*>(&peer)->sin6_addr)
            : static_cast<const void*>(&reinterpret_cast<sockaddr_in*>(&peer)->sin_addr);
    inet_ntop(peer.ss_family, where, text, sizeof text);
    client_ = fd;
    pending_.clear();
    note_(std::string("client connected from ") + text);
}

void TcpServe::LetGo(const std::string& why) {
    close(client_);
    client_ = -1;
    pending_.clear();
    note_("client gone (" + why + ")");
}

QByteArray TcpServe::Read(int max) {
    if (client_ < 0 || max <= 0) return {};
    QByteArray bytes(max, Qt::Uninitialized);
    const ssize_t n = recv(client_, bytes.data(), size_t(max), MSG_DONTWAIT);
    if (n > 0) return bytes.left(qsizetype(n));
    if (n == 0)
        LetGo("closed");
    else if (errno != EAGAIN && errno != EWOULDBLOCK && errno != EINTR)
        LetGo(std::strerror(errno));
    return {};
}

void TcpServe::Queue(const QByteArray& bytes) {
    if (client_ >= 0) pending_.append(bytes.left(kMaxPending - pending_.size()));
}

int TcpServe::Flush(int max) {
    if (client_ < 0 || pending_.isEmpty() || max <= 0) return 0;
    const ssize_t n =
        send(client_, pending_.constData(), size_t(qMin<qsizetype>(pending_.size(), max)),
             MSG_NOSIGNAL | MSG_DONTWAIT);
    if (n > 0) {
        pending_.remove(0, qsizetype(n));
        return int(n);
    }
    if (n < 0 && errno != EAGAIN && errno != EWOULDBLOCK && errno != EINTR)
        LetGo(std::strerror(errno));
    return 0;
}
