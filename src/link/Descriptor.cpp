#include "link/Descriptor.h"

#include <cerrno>
#include <chrono>
#include <poll.h>
#include <sys/ioctl.h>

namespace Descriptor {

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

qint32 Waiting(int fd) {
    if (fd < 0) return 0;
    int waiting = 0;
    if (::ioctl(fd, FIONREAD, &waiting) != 0) return 0;
    return waiting > 0 ? waiting : 0;
}

qint64 SteadyMs() {
    using namespace std::chrono;
    return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
}

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

} // namespace Descriptor
