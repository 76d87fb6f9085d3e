#include "logout/WsjtxDatagram.h"

#include <QDataStream>
#include <QIODevice>

namespace LogOut {

QByteArray WsjtxLoggedAdif(const QByteArray& adif) {
    QByteArray out;
    QDataStream s(&out, QIODevice::WriteOnly);
    s.setByteOrder(QDataStream::BigEndian);
    // QDataStream writes a QByteArray as its 32-bit length and its bytes.
    s << kWsjtxMagic << kWsjtxSchema << kLoggedAdif << kWsjtxId << adif;
    return out;
}

bool ParseTarget(const QString& given, QString& host, quint16& port) {
    const QString text = given.trimmed();
    const qsizetype colon = text.lastIndexOf(QLatin1Char(':'));
    if (colon <= 0) return false;
    bool ok = false;
    const uint p = text.mid(colon + 1).toUInt(&ok);
    if (!ok || p == 0 || p > 65535) return false;
    host = text.left(colon);
    if (host.startsWith(QLatin1Char('[')) && host.endsWith(QLatin1Char(']')))
        host = host.mid(1, host.size() - 2);
    port = quint16(p);
    return !host.isEmpty();
}

} // namespace LogOut
