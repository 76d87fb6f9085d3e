#pragma once

#include <QByteArray>
#include <QString>
#include <sys/socket.h>
#include <vector>

// The addresses of a host for a TCP connection, found within a time bound.
// A numeric address is read at once; a name is looked up in the background
// and waited for no longer than the bound, so a name server that does not
// answer cannot hold up the window. A lookup that takes longer is left to
// finish on its own and tidied away by a later call.
namespace HostLookup {

struct Address {
    sockaddr_storage address{};
    socklen_t length = 0;
    int family = 0;
};

// The addresses of `host` at `port`; empty with the reason in `reason`.
std::vector<Address> Find(const QByteArray& host, quint16 port, int ms, QString& reason);

} // namespace HostLookup
