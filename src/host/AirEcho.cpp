#include "host/AirEcho.h"

namespace AirEcho {

namespace {
constexpr quint8 kEndTransmission = 0x04;
constexpr quint8 kChangeOver = 0x19;
constexpr quint8 kCarriageReturn = 0x0D;
constexpr char kFigures[] = "-?:().,'/=+$!&#\";";
} // namespace

Air ForMode(const QString& modeName) {
    if (modeName == QLatin1String("AMTOR")) return Air::Amtor;
    if (modeName == QLatin1String("RTTY")) return Air::Rtty;
    return Air::Pactor;
}

bool InBaudot(quint8 c) {
    if ((c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9')) return true;
    if (c == ' ' || c == 0x07 || c == 0x0A || c == 0x0D) return true;
    for (const char* f = kFigures; *f != 0; ++f)
        if (c == quint8(*f)) return true;
    return false;
}

int EchoedCount(const QByteArray& text, Air air, bool onLink, bool easOn) {
    int count = 0;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const quint8 c = quint8(text.at(i));
        if (easOn && c == kCarriageReturn) {
            continue; // on the air, never echoed
        } else if (air == Air::Pactor) {
            count += c != kEndTransmission && c != kChangeOver;
        } else if (air == Air::Amtor && onLink && c == '+' && i + 1 < text.size() &&
                   text.at(i + 1) == '?') {
            ++i; // the change over
        } else {
            count += InBaudot(c);
        }
    }
    return count;
}

} // namespace AirEcho
