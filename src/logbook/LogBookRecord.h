#pragma once

#include <QByteArray>
#include <QDate>
#include <QLocale>
#include <QString>
#include <QTime>
#include <optional>

// One logbook record: 130 bytes holding six counted texts, each a length byte
// followed by room for its characters (one byte each, through the character
// table):
//
//   offset  size  field
//        0    21  Call   (up to 20 characters)
//       21    21  Name   (up to 20)
//       42    21  Qth    (up to 20)
//       63    13  Date   (up to 12)
//       76    13  Time   (up to 12)
//       89    41  Info   (up to 40)
//
// No widgets, no files: the logbook file and the windows build on this.
class TLogBookRecord {
public:
    static constexpr int kSize = 130;
    enum Field { Call, Name, Qth, Date, Time, Info };
    static constexpr int kFieldCount = 6;

    static int Offset(Field field);
    static int Capacity(Field field);

    // A record with every text empty (all bytes zero).
    TLogBookRecord();
    // From the bytes of a record; a shorter piece is taken as filled up with
    // zeros, bytes beyond 130 are ignored.
    static TLogBookRecord FromBytes(const QByteArray& bytes);

    // The counted text of a field. A length byte larger than the field's room
    // (only a damaged file has one) is read as the room, so a reader never
    // runs into the next field.
    QString Text(Field field) const;
    // The same, straight from 130 bytes of a larger block.
    static QString TextAt(const char* record, Field field);
    // Stores the text cut to the field's room. The bytes after the counted
    // characters are zeroed.
    void SetText(Field field, const QString& text);
    // Every length byte 0: all texts empty.
    void ClearLengths();

    const QByteArray& Bytes() const { return bytes_; }

    // The number of whole records in a file of that size; a shorter piece at
    // the end does not count.
    static qint64 WholeRecords(qint64 fileSize);

private:
    QByteArray bytes_;
};

// The texts the logbook windows make of and from records.
namespace LogBookText {

// The texts of a new or corrected entry, as they stand in the boxes.
struct Entry {
    QString call, name, qth, date, time, info;
};

// Fills the record from the boxes: `Call` cut to 20 characters, then blanks
// appended until it has at least 12; `Name` and `Qth` cut to 20 and filled to
// exactly 20; `Date` and `Time` cut to 12; `Info` its first line cut to 40.
void Fill(TLogBookRecord& record, const Entry& entry);

// Cut to `cut` characters, then blanks appended until it has `atLeast`.
QString CutAndPad(const QString& text, int cut, int atLeast);
// The text up to its first line break.
QString FirstLine(const QString& text);
// Letters in capitals, where the character set has the capital (so "ß" and
// "µ" stay as they are, and the length never changes).
QString Capitals(const QString& text);
// The text without any blank.
QString WithoutBlanks(const QString& text);
// The text without the blanks at its end.
QString WithoutTrailingBlanks(const QString& text);

// The viewer's line of a record: the number filled with blanks to at least 5
// characters, a blank, Call, a blank, Name, a blank, Qth, two blanks, Date, a
// blank, Time, a blank, Info. Control characters show as blanks, so every
// record keeps to its own line.
QString ListLine(int number, const char* record);
inline QString ListLine(int number, const TLogBookRecord& record) {
    return ListLine(number, record.Bytes().constData());
}
// Whether the record's call begins with `key`, letter case counting.
bool CallBeginsWith(const char* record, const QString& key);

// Today's date in the locale's short date format and the time in its long
// time format (without a time zone, which the field has no room for). Blanks
// the character set has no byte for become plain blanks.
QString ShortDate(const QLocale& locale, const QDate& date);
QString LongTime(const QLocale& locale, const QTime& time);
// The long time format of the locale with its time-zone part taken out.
QString LongTimeFormat(const QLocale& locale);
// One blank appended when the text is shorter than 12 characters.
QString WithOneBlankIfShort(const QString& text);

// The date and time back from texts written by ShortDate and LongTime with
// the same locale (blanks around them ignored); nothing when the text is not
// exactly what they would have written. A two-digit year is placed in the
// hundred years that end a year after `thisYear`.
std::optional<QDate> ReadShortDate(const QLocale& locale, const QString& text, int thisYear);
std::optional<QTime> ReadLongTime(const QLocale& locale, const QString& text);

} // namespace LogBookText
