#include "host/Frames.h"

namespace Frames {

QByteArray CommandFrame(const QByteArray& mnemonicAndArguments) {
    QByteArray f;
    f.reserve(mnemonicAndArguments.size() + 3);
    f.append(kStart).append(kCommand).append(mnemonicAndArguments).append(kEnd);
    return f;
}

QByteArray DataFrame(const QByteArray& text) {
    QByteArray f;
    f.reserve(text.size() + 3);
    f.append(kStart).append(kData).append(text).append(kEnd);
    return f;
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
