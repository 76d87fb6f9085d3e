#include "modes/ModeSettings.h"

#include "modes/ModeState.h"
#include "shell/ExtraSettings.h"

namespace ModeSettings {
namespace {
const QByteArray kMorseSpeed = "MSPEED";
const QByteArray kAsciiBaud = "ABAUD";
const QByteArray kMonitor = "MONITOR";
const QByteArray kNavStations = "NAVSTN";
const QByteArray kNavClasses = "NAVMSG";

void Number(const QByteArray& content, const QByteArray& key, int low, int high, int& into) {
    if (const auto n = NumberIn(ExtraSettings::ValueIn(content, key).value_or(QString()), low, high))
        into = *n;
}
void List(const QByteArray& content, const QByteArray& key, QString& into) {
    if (const auto l = NavtexList(ExtraSettings::ValueIn(content, key).value_or(QString())))
        into = *l;
}
} // namespace

std::optional<int> NumberIn(const QString& typed, int low, int high) {
    bool ok = false;
    const int n = typed.trimmed().toInt(&ok);
    if (!ok || n < low || n > high) return std::nullopt;
    return n;
}

std::optional<QString> NavtexList(const QString& typed) {
    const QString t = typed.trimmed().toUpper();
    if (t == QLatin1String("ALL") || t == QLatin1String("NONE")) return t;
    for (const QString& word : {QStringLiteral("YES"), QStringLiteral("NO")}) {
        if (!t.startsWith(word)) continue;
        QString letters;
        for (const QChar c : t.mid(word.size())) {
            if (c >= QLatin1Char('A') && c <= QLatin1Char('Z')) {
                if (!letters.contains(c)) letters += c;
            } else if (c != QLatin1Char(' ') && c != QLatin1Char(',')) {
                return std::nullopt;
            }
        }
        if (letters.isEmpty() || letters.size() > 13) return std::nullopt;
        return word + QLatin1Char(' ') + letters;
    }
    return std::nullopt;
}

void ReadFrom(const QByteArray& content, ModeState& modes) {
    Number(content, kMorseSpeed, 5, 99, modes.MorseSpeed);
    Number(content, kAsciiBaud, 45, 9600, modes.AsciiBaud);
    Number(content, kMonitor, 0, 6, modes.MonitorLevel);
    List(content, kNavStations, modes.NavStations);
    List(content, kNavClasses, modes.NavClasses);
}

QByteArray WrittenInto(const QByteArray& content, const ModeState& modes) {
    QByteArray out = content;
    out = ExtraSettings::WithValue(out, kMorseSpeed, QString::number(modes.MorseSpeed));
    out = ExtraSettings::WithValue(out, kAsciiBaud, QString::number(modes.AsciiBaud));
    out = ExtraSettings::WithValue(out, kMonitor, QString::number(modes.MonitorLevel));
    out = ExtraSettings::WithValue(out, kNavStations, modes.NavStations);
    out = ExtraSettings::WithValue(out, kNavClasses, modes.NavClasses);
    return out;
}

void Read(const QString& folder, ModeState& modes) {
    ReadFrom(ExtraSettings::ReadContentOf(folder), modes);
}

bool Write(const QString& folder, const ModeState& modes, QString& path) {
    return ExtraSettings::WriteContentOf(folder, WrittenInto(ExtraSettings::ReadContentOf(folder), modes),
                                         path);
}

} // namespace ModeSettings
