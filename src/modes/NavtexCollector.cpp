#include "modes/NavtexCollector.h"

#include <QTimeZone>
#include <utility>

#include "host/CharTable.h"

namespace {
const QByteArray kStart = "ZCZC";
const QByteArray kEnd = "NNNN";

bool IsLetter(char c) {
    return c >= 'A' && c <= 'Z';
}
bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}
bool IsLineEnd(char c) {
    return c == '\r' || c == '\n';
}

// The message's header id and first line of text; false when the header is
// no "ZCZC B1B2B3B4".
bool Parse(const QByteArray& text, NavtexMessage& m) {
    QByteArray rest = text.mid(kStart.size());
    qsizetype at = 0;
    while (at < rest.size() && rest.at(at) == ' ')
        ++at;
    const QByteArray id = rest.mid(at, 4);
    if (!NavtexCollector::IsId(id)) return false;
    m.id = QString::fromLatin1(id);
    m.station = QLatin1Char(id.at(0));
    m.messageClass = QLatin1Char(id.at(1));
    m.serial = QString::fromLatin1(id.mid(2));
    qsizetype line = rest.indexOf('\r', at);
    const qsizetype lf = rest.indexOf('\n', at);
    if (line < 0 || (lf >= 0 && lf < line)) line = lf;
    for (const QByteArray& l : rest.mid(line < 0 ? rest.size() : line).split('\r')) {
        for (const QByteArray& part : l.split('\n')) {
            const QByteArray t = part.trimmed();
            if (!t.isEmpty() && t != kEnd) {
                m.firstLine = CharTable::ToString(t);
                return true;
            }
        }
    }
    return true;
}
} // namespace

QString NavtexMessage::FileName() const {
    return QStringLiteral("navtex/%1-%2.txt")
        .arg(id, receivedUtc.toUTC().toString(QStringLiteral("yyyyMMdd-HHmm")));
}

bool NavtexCollector::IsId(const QByteArray& id) {
    return id.size() == 4 && IsLetter(id.at(0)) && IsLetter(id.at(1)) && IsDigit(id.at(2)) &&
           IsDigit(id.at(3));
}

std::optional<std::pair<QString, QDateTime>> NavtexCollector::FromFileName(const QString& fileName) {
    const QByteArray name = fileName.toLatin1();
    if (name.size() < 4 + 1 + 13 + 4 || name.at(4) != '-' || !name.endsWith(".txt") ||
        !IsId(name.left(4)))
        return std::nullopt;
    QDateTime at = QDateTime::fromString(QString::fromLatin1(name.mid(5, 13)),
                                         QStringLiteral("yyyyMMdd-HHmm"));
    if (!at.isValid()) return std::nullopt;
    at.setTimeZone(QTimeZone::utc());
    return std::make_pair(QString::fromLatin1(name.left(4)), at);
}

void NavtexCollector::MarkKept(const QString& id, const QDateTime& whenUtc) {
    const auto it = kept_.constFind(id);
    if (it == kept_.constEnd() || *it < whenUtc) kept_.insert(id, whenUtc);
}

bool NavtexCollector::IsRepeat(const QString& id, const QDateTime& nowUtc) const {
    const auto it = kept_.constFind(id);
    return it != kept_.constEnd() && it->secsTo(nowUtc) < qint64(kRepeatHours) * 3600;
}

QList<NavtexMessage> NavtexCollector::Feed(const QByteArray& bytes, const QDateTime& nowUtc) {
    QList<NavtexMessage> done;
    for (const char c : bytes) {
        if (c == '\0' || c == '\x17') continue;
        if (!inMessage_) {
            tail_.append(c);
            if (tail_.size() > kStart.size()) tail_.remove(0, tail_.size() - kStart.size());
            if (tail_ == kStart) {
                inMessage_ = true;
                message_ = kStart;
                tail_.clear();
            }
            continue;
        }
        message_.append(c);
        // A new start inside a message: the one before lost its end.
        if (message_.size() > kStart.size() && message_.endsWith(kStart)) {
            message_ = kStart;
            continue;
        }
        if (message_.size() > kMaxMessage) {
            inMessage_ = false;
            message_.clear();
            continue;
        }
        if (!message_.endsWith(kEnd)) continue;
        // "NNNN" ends the message only at the start of a line.
        const qsizetype before = message_.size() - kEnd.size() - 1;
        if (before >= 0 && !IsLineEnd(message_.at(before))) continue;
        inMessage_ = false;
        NavtexMessage m;
        m.text = std::exchange(message_, QByteArray());
        m.receivedUtc = nowUtc.toUTC();
        if (!Parse(m.text, m)) continue;
        if (m.serial != QLatin1String("00")) {
            if (IsRepeat(m.id, m.receivedUtc)) continue;
            MarkKept(m.id, m.receivedUtc);
        }
        done.append(m);
    }
    return done;
}
