#include "modes/PacketLink.h"

#include <QRegularExpression>
#include <QStringList>

#include "host/CharTable.h"
#include "host/Frames.h"

namespace PacketLink {
namespace {
QByteArray ChannelFrame(char base, int channel, const QByteArray& payload) {
    return QByteArray(1, Frames::kStart) + char(base + (channel & 0x0F)) +
           Frames::Escape(payload) + Frames::kEnd;
}
QString WordAfter(const QString& text, const QString& word) {
    const QStringList words = text.split(QLatin1Char(' '), Qt::SkipEmptyParts);
    const qsizetype at = words.indexOf(word);
    return at >= 0 && at + 1 < words.size() ? words.at(at + 1) : QString();
}
} // namespace

Message Read(const QString& keptText) {
    const QString t = keptText.simplified();
    const QString upper = t.toUpper();
    Message m;
    if (upper.startsWith(QLatin1String("CONNECTED"))) {
        m.event = Event::Connected;
        m.call = WordAfter(t, QStringLiteral("to"));
    } else if (upper.startsWith(QLatin1String("DISCONNECTED"))) {
        m.event = Event::Disconnected;
        m.call = t.section(QLatin1Char(' '), 1, 1);
    } else if (upper.endsWith(QLatin1String(" BUSY"))) {
        m.event = Event::Busy;
        m.call = t.section(QLatin1Char(' '), 0, 0);
    } else if (upper.startsWith(QLatin1String("RETRY COUNT EXCEEDED"))) {
        m.event = Event::RetryExceeded;
    } else if (upper.startsWith(QLatin1String("CONNECT REQUEST"))) {
        m.event = Event::Request;
        m.call = t.section(QLatin1Char(' '), 2, 2);
    } else if (upper.startsWith(QLatin1String("LINK OUT OF ORDER"))) {
        m.event = Event::OutOfOrder;
    }
    return m;
}

bool EndsLink(Event event) {
    return event == Event::Disconnected || event == Event::Busy ||
           event == Event::RetryExceeded || event == Event::OutOfOrder;
}

QByteArray CommandFrame(int channel, const QByteArray& command) {
    return ChannelFrame(0x40, channel, command);
}

QByteArray DataFrame(int channel, const QByteArray& text) {
    return ChannelFrame(0x20, channel, text);
}

QByteArray ConnectCommand(const QString& typed) {
    QStringList words =
        typed.toUpper().split(QRegularExpression(QStringLiteral("[\\s,]+")), Qt::SkipEmptyParts);
    if (words.isEmpty()) return {};
    const QString call = words.takeFirst();
    if (!words.isEmpty() && (words.first() == QLatin1String("VIA") || words.first() == QLatin1String("V")))
        words.removeFirst();
    QByteArray command = "CO" + CharTable::ToBytes(call);
    if (!words.isEmpty()) command += " VIA " + CharTable::ToBytes(words.join(QLatin1Char(',')));
    return command;
}

QByteArray MonitorStamp(const QDateTime& utc) {
    return utc.toUTC().toString(QStringLiteral("HH:mm:ss ")).toLatin1();
}

} // namespace PacketLink
