#pragma once

#include <QByteArray>
#include <QString>

// Contacts handed to the main logger as they are logged. No sockets.
namespace LogOut {

inline constexpr quint32 kWsjtxMagic = 0xadbccbda;
inline constexpr quint32 kWsjtxSchema = 3;
inline constexpr quint32 kLoggedAdif = 12;
inline const QByteArray kWsjtxId = "Dervalo";

// The WSJT-X "Logged ADIF" message: magic, schema 3, type 12, the id and
// the ADIF text, big-endian, strings as a 32-bit length and UTF-8 bytes.
QByteArray WsjtxLoggedAdif(const QByteArray& adif);

// "HOST:PORT" (the host may be an IPv6 address in brackets); false when it
// does not read. An empty text is off.
bool ParseTarget(const QString& text, QString& host, quint16& port);

} // namespace LogOut
