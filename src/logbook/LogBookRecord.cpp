#include "logbook/LogBookRecord.h"

#include <array>

#include "host/CharTable.h"

namespace {
struct Slot {
    int offset;
    int capacity;
};
constexpr std::array<Slot, TLogBookRecord::kFieldCount> kSlots = {
    Slot{0, 20}, Slot{21, 20}, Slot{42, 20}, Slot{63, 12}, Slot{76, 12}, Slot{89, 40}};
static_assert(89 + 1 + 40 == TLogBookRecord::kSize);
} // namespace

int TLogBookRecord::Offset(Field field) {
    return kSlots[field].offset;
}

int TLogBookRecord::Capacity(Field field) {
    return kSlots[field].capacity;
}

TLogBookRecord::TLogBookRecord() : bytes_(kSize, '\0') {}

TLogBookRecord TLogBookRecord::FromBytes(const QByteArray& bytes) {
    TLogBookRecord r;
    const qsizetype n = qMin<qsizetype>(bytes.size(), kSize);
    for (qsizetype i = 0; i < n; ++i)
        r.bytes_[i] = bytes[i];
    return r;
}

QString TLogBookRecord::Text(Field field) const {
    return TextAt(bytes_.constData(), field);
}

QString TLogBookRecord::TextAt(const char* record, Field field) {
    const Slot s = kSlots[field];
    const int length = qMin(int(quint8(record[s.offset])), s.capacity);
    QString text(length, Qt::Uninitialized);
    QChar* out = text.data();
    for (int i = 0; i < length; ++i)
        out[i] = CharTable::ToChar(quint8(record[s.offset + 1 + i]));
    return text;
}

void TLogBookRecord::SetText(Field field, const QString& text) {
    const Slot s = kSlots[field];
    const QByteArray bytes = CharTable::ToBytes(text.left(s.capacity));
    bytes_[s.offset] = char(bytes.size());
    for (int i = 0; i < s.capacity; ++i)
        bytes_[s.offset + 1 + i] = i < bytes.size() ? bytes[i] : '\0';
}

void TLogBookRecord::ClearLengths() {
    for (const Slot& s : kSlots)
        bytes_[s.offset] = '\0';
}

qint64 TLogBookRecord::WholeRecords(qint64 fileSize) {
    return fileSize < 0 ? 0 : fileSize / kSize;
}

namespace LogBookText {

void Fill(TLogBookRecord& record, const Entry& entry) {
    record.SetText(TLogBookRecord::Call, CutAndPad(entry.call, 20, 12));
    record.SetText(TLogBookRecord::Name, CutAndPad(entry.name, 20, 20));
    record.SetText(TLogBookRecord::Qth, CutAndPad(entry.qth, 20, 20));
    record.SetText(TLogBookRecord::Date, entry.date.left(12));
    record.SetText(TLogBookRecord::Time, entry.time.left(12));
    record.SetText(TLogBookRecord::Info, FirstLine(entry.info).left(40));
}

QString CutAndPad(const QString& text, int cut, int atLeast) {
    QString out = text.left(cut);
    if (out.size() < atLeast) out += QString(atLeast - out.size(), QLatin1Char(' '));
    return out;
}

QString FirstLine(const QString& text) {
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char16_t c = text[i].unicode();
        if (c == '\r' || c == '\n' || c == QChar::ParagraphSeparator || c == QChar::LineSeparator)
            return text.left(i);
    }
    return text;
}

QString Capitals(const QString& text) {
    QString out = text;
    for (QChar& c : out) {
        const QChar upper = c.toUpper();
        if (upper != c && CharTable::HasByte(upper)) c = upper;
    }
    return out;
}

QString WithoutBlanks(const QString& text) {
    QString out = text;
    out.remove(QLatin1Char(' '));
    return out;
}

QString WithoutTrailingBlanks(const QString& text) {
    qsizetype end = text.size();
    while (end > 0 && text[end - 1] == QLatin1Char(' '))
        --end;
    return text.left(end);
}

namespace {
void AppendShown(QString& line, const QString& text) {
    for (QChar c : text)
        line += (c.unicode() < 0x20 || c.unicode() == 0x7F) ? QLatin1Char(' ') : c;
}
} // namespace

QString ListLine(int number, const char* record) {
    QString line;
    line.reserve(140);
    line += QString::number(number).leftJustified(5, QLatin1Char(' '));
    line += QLatin1Char(' ');
    AppendShown(line, TLogBookRecord::TextAt(record, TLogBookRecord::Call));
    line += QLatin1Char(' ');
    AppendShown(line, TLogBookRecord::TextAt(record, TLogBookRecord::Name));
    line += QLatin1Char(' ');
    AppendShown(line, TLogBookRecord::TextAt(record, TLogBookRecord::Qth));
    line += QLatin1String("  ");
    AppendShown(line, TLogBookRecord::TextAt(record, TLogBookRecord::Date));
    line += QLatin1Char(' ');
    AppendShown(line, TLogBookRecord::TextAt(record, TLogBookRecord::Time));
    line += QLatin1Char(' ');
    AppendShown(line, TLogBookRecord::TextAt(record, TLogBookRecord::Info));
    return line;
}

bool CallBeginsWith(const char* record, const QString& key) {
    return TLogBookRecord::TextAt(record, TLogBookRecord::Call).startsWith(key, Qt::CaseSensitive);
}

namespace {
// Blanks of other kinds (the narrow no-break space some locales put before
// "AM") have no byte in the character set: they become plain blanks.
QString PlainBlanks(QString text) {
    for (QChar& c : text)
        if (c.isSpace() && !CharTable::HasByte(c)) c = QLatin1Char(' ');
    return text;
}
} // namespace

QString ShortDate(const QLocale& locale, const QDate& date) {
    return PlainBlanks(locale.toString(date, QLocale::ShortFormat));
}

QString LongTimeFormat(const QLocale& locale) {
    const QString format = locale.timeFormat(QLocale::LongFormat);
    QString out;
    bool quoted = false;
    for (qsizetype i = 0; i < format.size(); ++i) {
        const QChar c = format[i];
        if (c == QLatin1Char('\'')) quoted = !quoted;
        if (!quoted && c == QLatin1Char('t')) {
            // The zone: drop it with the blanks before it.
            while (i + 1 < format.size() && format[i + 1] == QLatin1Char('t'))
                ++i;
            while (!out.isEmpty() && out.back().isSpace())
                out.chop(1);
            continue;
        }
        out += c;
    }
    return out.trimmed();
}

QString LongTime(const QLocale& locale, const QTime& time) {
    return PlainBlanks(locale.toString(time, LongTimeFormat(locale)));
}

QString WithOneBlankIfShort(const QString& text) {
    return text.size() < 12 ? text + QLatin1Char(' ') : text;
}

std::optional<QDate> ReadShortDate(const QLocale& locale, const QString& text, int thisYear) {
    const QString shown = text.trimmed();
    const QString format = PlainBlanks(locale.dateFormat(QLocale::ShortFormat));
    QDate date = locale.toDate(shown, format);
    if (!date.isValid()) return std::nullopt;
    if (format.contains(QLatin1String("yy")) && !format.contains(QLatin1String("yyyy"))) {
        // Read as 19yy; moved into the hundred years ending at thisYear + 1.
        const int last = thisYear + 1;
        const int yy = date.year() % 100;
        date = QDate(last - ((last - yy) % 100 + 100) % 100, date.month(), date.day());
    }
    // Only what ShortDate writes: nothing the parser let through by leniency.
    if (!date.isValid() || ShortDate(locale, date) != shown) return std::nullopt;
    return date;
}

std::optional<QTime> ReadLongTime(const QLocale& locale, const QString& text) {
    const QString shown = text.trimmed();
    const QTime time = locale.toTime(shown, PlainBlanks(LongTimeFormat(locale)));
    if (!time.isValid() || LongTime(locale, time) != shown) return std::nullopt;
    return time;
}

} // namespace LogBookText
