#pragma once

#include <QByteArray>
#include <QString>
#include <optional>

struct ModeState;

// The modes' settings in "Dervalo-extra.ini": MSPEED, ABAUD, MONITOR,
// NAVSTN and NAVMSG. A value missing or out of range keeps the default.
namespace ModeSettings {

void ReadFrom(const QByteArray& content, ModeState& modes);
QByteArray WrittenInto(const QByteArray& content, const ModeState& modes);

void Read(const QString& folder, ModeState& modes);
// False when the file could not be written; `path` names it.
bool Write(const QString& folder, const ModeState& modes, QString& path);

// A NAVSTN or NAVMSG list as the controller takes it: "ALL", "NONE", or
// "YES" or "NO" with up to 13 letters ("yes a,b e" gives "YES ABE").
// Nothing for anything else.
std::optional<QString> NavtexList(const QString& typed);

// A whole number within [low, high] from the typed text, or nothing.
std::optional<int> NumberIn(const QString& typed, int low, int high);

} // namespace ModeSettings
