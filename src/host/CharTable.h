#pragma once

#include <QByteArray>
#include <QChar>
#include <QString>
#include <optional>

// The one table between bytes and characters: the Windows character set
// (Windows-1252) the program was made for. 0x80 is the euro sign, 0x93 a left
// double quote; the five bytes the set leaves unassigned (0x81, 0x8D, 0x8F,
// 0x90, 0x9D) stand for the characters of the same value. Every byte maps to
// one character and back, so whatever crosses the line, the capture file,
// the saved buffer or the logbook round-trips unchanged.
namespace CharTable {

// The character a byte stands for.
QChar ToChar(quint8 byte);
// The byte of a character, or nothing when the set has no byte for it.
std::optional<quint8> ToByte(QChar c);
inline bool HasByte(QChar c) {
    return ToByte(c).has_value();
}

// Whole texts. A character without a byte becomes `substitute`.
QString ToString(const QByteArray& bytes);
QByteArray ToBytes(const QString& text, char substitute = '?');
// True when every character of the text has a byte.
bool AllHaveBytes(const QString& text);

} // namespace CharTable
