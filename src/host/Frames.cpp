#include "host/Frames.h"

namespace Frames {

QByteArray Escape(const QByteArray& payload) {
    QByteArray out;
    out.reserve(payload.size() + 8);
    for (const char c : payload) {
        if (NeedsDle(quint8(c))) out.append(kDle);
        out.append(c);
    }
    return out;
}

QByteArray Unescape(const QByteArray& onTheLine) {
    QByteArray out;
    out.reserve(onTheLine.size());
    for (qsizetype i = 0; i < onTheLine.size(); ++i) {
        if (onTheLine.at(i) == kDle) {
            if (++i == onTheLine.size()) break;
        }
        out.append(onTheLine.at(i));
    }
    return out;
}

namespace {
QByteArray Frame(char control, const QByteArray& payload) {
    QByteArray f;
    f.reserve(payload.size() + 8);
    f.append(kStart).append(control).append(Escape(payload)).append(kEnd);
    return f;
}
} // namespace

QByteArray CommandFrame(const QByteArray& mnemonicAndArguments) {
    return Frame(kCommand, mnemonicAndArguments);
}

QByteArray DataFrame(const QByteArray& text) {
    return Frame(kData, text);
}

QByteArray ClockText(const QDateTime& at) {
    const QDate d = at.date();
    const QTime t = at.time();
    const QByteArray year = QByteArray::number(d.year());
    // The third and fourth character of the year in decimal.
    QByteArray text = year.mid(2, 2);
    auto two = [](int v) { return QByteArray::number(v).rightJustified(2, '0'); };
    text += two(d.month()) + two(d.day()) + two(t.hour()) + two(t.minute());
    return text;
}

QString HisCallFromLinkMessage(const QString& linkMessage, const QString& current) {
    const int p = linkMessage.indexOf(QLatin1String("to"));
    if (p < 0) return current;
    // Skip "to" and the one character after it.
    return linkMessage.mid(p + 3, 8);
}

} // namespace Frames
