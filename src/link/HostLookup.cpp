#include "link/HostLookup.h"

#include <cerrno>
#include <cstring>
#include <ctime>
#include <list>
#include <memory>
#include <netdb.h>

#include "link/Descriptor.h"

namespace HostLookup {

namespace {

// One lookup in the background, with the strings it reads kept alive as
// long as it runs.
struct Request {
    QByteArray host;
    QByteArray port;
    addrinfo hints{};
    gaicb block{};
};

// Lookups given up on that were still running; freed once they are done.
std::list<std::unique_ptr<Request>>& Abandoned() {
    static std::list<std::unique_ptr<Request>> abandoned;
    return abandoned;
}

void TidyAbandoned() {
    auto& list = Abandoned();
    for (auto it = list.begin(); it != list.end();) {
        if (::gai_error(&(*it)->block) == EAI_INPROGRESS) {
            ++it;
            continue;
        }
        if ((*it)->block.ar_result != nullptr) ::freeaddrinfo((*it)->block.ar_result);
        it = list.erase(it);
    }
}

std::vector<Address> Copy(const addrinfo* found) {
    std::vector<Address> addresses;
    for (const addrinfo* a = found; a != nullptr; a = a->ai_next) {
        if (a->ai_addrlen > sizeof(sockaddr_storage)) continue;
        Address one;
        std::memcpy(&one.address, a->ai_addr, a->ai_addrlen);
        one.length = a->ai_addrlen;
        one.family = a->ai_family;
        addresses.push_back(one);
    }
    return addresses;
}

QString Reason(int code) {
    return QStringLiteral("host not found: ") + QString::fromLocal8Bit(::gai_strerror(code));
}

addrinfo Hints(int flags) {
    addrinfo hints{};
    hints.ai_family = AF_UNSPEC;
    hints.ai_socktype = SOCK_STREAM;
    hints.ai_flags = AI_NUMERICSERV | flags;
    return hints;
}

} // namespace

std::vector<Address> Find(const QByteArray& host, quint16 port, int ms, QString& reason) {
    TidyAbandoned();
    const QByteArray service = QByteArray::number(port);

    // A numeric address needs no name server.
    const addrinfo numeric = Hints(AI_NUMERICHOST);
    addrinfo* found = nullptr;
    const int direct = ::getaddrinfo(host.constData(), service.constData(), &numeric, &found);
    if (direct == 0) {
        std::vector<Address> addresses = Copy(found);
        ::freeaddrinfo(found);
        return addresses;
    }
    if (direct != EAI_NONAME) {
        reason = Reason(direct);
        return {};
    }

    // A name: looked up in the background, waited for within the bound.
    auto request = std::make_unique<Request>();
    request->host = host;
    request->port = service;
    request->hints = Hints(0);
    request->block.ar_name = request->host.constData();
    request->block.ar_service = request->port.constData();
    request->block.ar_request = &request->hints;
    gaicb* list[1] = {&request->block};
    const int started = ::getaddrinfo_a(GAI_NOWAIT, list, 1, nullptr);
    if (started != 0) {
        reason = Reason(started);
        return {};
    }
    const qint64 deadline = Descriptor::SteadyMs() + ms;
    int state = ::gai_error(&request->block);
    while (state == EAI_INPROGRESS) {
        const qint64 left = deadline - Descriptor::SteadyMs();
        if (left <= 0) break;
        timespec wait{time_t(left / 1000), long(left % 1000) * 1000000L};
        const gaicb* const waiting[1] = {&request->block};
        (void)::gai_suspend(waiting, 1, &wait);
        state = ::gai_error(&request->block);
    }
    if (state == EAI_INPROGRESS) {
        if (::gai_cancel(&request->block) != EAI_CANCELED)
            Abandoned().push_back(std::move(request));
        reason = QStringLiteral("host not found: the name server did not answer within %1 s")
                     .arg(ms / 1000.0);
        return {};
    }
    if (state != 0) {
        reason = Reason(state);
        return {};
    }
    std::vector<Address> addresses = Copy(request->block.ar_result);
    ::freeaddrinfo(request->block.ar_result);
    return addresses;
}

} // namespace HostLookup
