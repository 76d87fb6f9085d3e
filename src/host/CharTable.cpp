#include "host/CharTable.h"

#include <array>

namespace CharTable {
namespace {

// 0x80 to 0x9F; the rest of the set equals Latin-1.
constexpr std::array<char16_t, 32> kHigh = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, // 80-87
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F, // 88-8F
    0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014, // 90-97
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178, // 98-9F
};

} // namespace

QChar ToChar(quint8 byte) {
    if (byte >= 0x80 && byte <= 0x9F) return QChar(kHigh[byte - 0x80]);
    return QChar(char16_t(byte));
}

std::optional<quint8> ToByte(QChar c) {
    const char16_t u = c.unicode();
    if (u < 0x80 || (u >= 0xA0 && u <= 0xFF)) return quint8(u);
    for (size_t i = 0; i < kHigh.size(); ++i)
        if (kHigh[i] == u) return quint8(0x80 + i);
    return std::nullopt;
}

QString ToString(const QByteArray& bytes) {
    QString s;
    s.resize(bytes.size());
    QChar* out = s.data();
    for (qsizetype i = 0; i < bytes.size(); ++i)
        out[i] = ToChar(quint8(bytes[i]));
    return s;
}

QByteArray ToBytes(const QString& text, char substitute) {
    QByteArray b;
    b.resize(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        const std::optional<quint8> byte = ToByte(text[i]);
        b[i] = byte ? char(*byte) : substitute;
    }
    return b;
}

bool AllHaveBytes(const QString& text) {
    for (QChar c : text)
        if (!ToByte(c)) return false;
    return true;
}

} // namespace CharTable
