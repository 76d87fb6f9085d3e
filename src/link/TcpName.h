#pragma once

#include <QString>
#include <QtGlobal>

// A serial port served over the network by a serial bridge (ser2net in raw
// mode): the port name "tcp:HOST:PORT". HOST is a name, an IPv4 address or
// an IPv6 address in brackets ("tcp:[::1]:4001").
struct TcpAddress {
    QString host; // without brackets
    quint16 port = 0;
};

namespace TcpName {

// True for a name that asks for the network: it starts with "tcp:" (in any
// case). Such a name is never a device path.
bool Is(const QString& portName);
// Splits a "tcp:" name; false with the reason in words when it is malformed.
bool Parse(const QString& portName, TcpAddress& address, QString& reason);
// "HOST:PORT" (as the port dialog's field holds it) as a port name, and back.
QString FromHostPort(const QString& hostPort);
QString HostPort(const QString& portName);

} // namespace TcpName
