#include "link/TcpName.h"

namespace {

const QString kPrefix = QStringLiteral("tcp:");
const QString kForm = QStringLiteral(" (tcp:HOST:PORT)");

bool IsNameChar(QChar c) {
    return (c >= QLatin1Char('a') && c <= QLatin1Char('z')) ||
           (c >= QLatin1Char('A') && c <= QLatin1Char('Z')) ||
           (c >= QLatin1Char('0') && c <= QLatin1Char('9')) || c == QLatin1Char('.') ||
           c == QLatin1Char('-') || c == QLatin1Char('_');
}

// Hex digits, colons and dots, and a zone after '%' ("fe80::1%eth0").
bool IsIpv6(const QString& text) {
    if (text.isEmpty() || !text.contains(QLatin1Char(':'))) return false;
    const qsizetype zone = text.indexOf(QLatin1Char('%'));
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (zone >= 0 && i > zone) {
            if (!IsNameChar(c)) return false;
        } else if (i != zone && !c.isDigit() && c != QLatin1Char(':') && c != QLatin1Char('.') &&
                   !(c.toLower() >= QLatin1Char('a') && c.toLower() <= QLatin1Char('f'))) {
            return false;
        }
    }
    return true;
}

} // namespace

bool TcpName::Is(const QString& portName) {
    return portName.startsWith(kPrefix, Qt::CaseInsensitive);
}

QString TcpName::FromHostPort(const QString& hostPort) {
    return kPrefix + hostPort.trimmed();
}

QString TcpName::HostPort(const QString& portName) {
    return Is(portName) ? portName.mid(kPrefix.size()) : QString();
}

bool TcpName::Parse(const QString& portName, TcpAddress& address, QString& reason) {
    address = {};
    if (!Is(portName)) {
        reason = QStringLiteral("not a network address") + kForm;
        return false;
    }
    const QString rest = HostPort(portName);
    QString host;
    QString port;
    if (rest.startsWith(QLatin1Char('['))) {
        const qsizetype close = rest.indexOf(QLatin1Char(']'));
        if (close < 0) {
            reason = QStringLiteral("no closing bracket after the IPv6 address") + kForm;
            return false;
        }
        host = rest.mid(1, close - 1);
        if (!IsIpv6(host)) {
            reason = QStringLiteral("not an IPv6 address in the brackets") + kForm;
            return false;
        }
        if (rest.mid(close + 1, 1) != QStringLiteral(":")) {
            reason = QStringLiteral("no port") + kForm;
            return false;
        }
        port = rest.mid(close + 2);
    } else {
        const qsizetype colon = rest.lastIndexOf(QLatin1Char(':'));
        if (colon < 0) {
            reason = QStringLiteral("no port") + kForm;
            return false;
        }
        host = rest.left(colon);
        port = rest.mid(colon + 1);
        if (host.contains(QLatin1Char(':'))) {
            reason = QStringLiteral("an IPv6 address goes in brackets (tcp:[::1]:4001)");
            return false;
        }
        for (const QChar c : host) {
            if (!IsNameChar(c)) {
                reason = QStringLiteral("not a host name") + kForm;
                return false;
            }
        }
    }
    if (host.isEmpty()) {
        reason = QStringLiteral("no host") + kForm;
        return false;
    }
    bool number = !port.isEmpty() && port.size() <= 5;
    for (const QChar c : port)
        number = number && c >= QLatin1Char('0') && c <= QLatin1Char('9');
    const int value = number ? port.toInt() : 0;
    if (value < 1 || value > 65535) {
        reason = QStringLiteral("not a port number from 1 to 65535") + kForm;
        return false;
    }
    address.host = host;
    address.port = quint16(value);
    reason.clear();
    return true;
}
