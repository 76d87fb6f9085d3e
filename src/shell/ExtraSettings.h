#pragma once

#include <QByteArray>
#include <QColor>
#include <QList>
#include <QPair>
#include <QString>
#include <optional>

#include "fax/FaxSettings.h"

// The program's own settings beside "Dervalo.INI": the small text file
// "Dervalo-extra.ini" in the working folder, one key=value line each. It
// holds what the 31-line settings file has no line for: the colour of the
// operator's own text (the echo of what this side sends) in the receive
// window, as "EchoColour=#rrggbb". "Dervalo.INI" is never touched here.
namespace ExtraSettings {

inline const QString kFileName = QStringLiteral("Dervalo-extra.ini");
inline const QByteArray kEchoColourKey = "EchoColour";

// Dark red: it reads well on the default silver background and stands
// clearly apart from the default black text.
QColor DefaultEchoColour();

// The echo colour in the file's text: the value of its last "EchoColour"
// line, "#" and six hex digits. Without such a line, or when its value is no
// colour, the default.
QColor EchoColourIn(const QByteArray& content);

// The file's text with the echo colour set: the "EchoColour" lines give way
// to one new line at the end; every other line that holds something stays.
QByteArray WithEchoColour(const QByteArray& content, const QColor& colour);

// The colour kept in `folder`'s file, found in any letter case. A missing,
// unreadable or broken file gives the default, and nothing is reported.
QColor ReadEchoColour(const QString& folder);

// Keeps the colour in `folder`'s file, replacing the file whole only once
// the new one is written. False when it cannot be written; `path` is the
// file's path either way.
bool WriteEchoColour(const QString& folder, const QColor& colour, QString& path);

// ---- further keys: macros, rig, logging, own station, options ----
// Their values are UTF-8 text kept exactly (blanks at the end included); only
// the key is trimmed and a line's CR dropped.

// The value of the last `key` line, or nothing when there is none.
std::optional<QString> ValueIn(const QByteArray& content, const QByteArray& key);
// The file's text with `key` set: its lines give way to one new line at the
// end; every other line that holds something stays. A line break in the
// value becomes a blank.
QByteArray WithValue(const QByteArray& content, const QByteArray& key, const QString& value);
// The value kept in `folder`'s file, or `fallback` when the key is missing.
QString ReadValue(const QString& folder, const QByteArray& key, const QString& fallback = {});
// Sets several keys at once, replacing the file whole. False when it cannot
// be written.
bool WriteValues(const QString& folder, const QList<QPair<QByteArray, QString>>& values,
                 QString& path);
// The whole file's content, and the file replaced whole by `content`.
QByteArray ReadContentOf(const QString& folder);
bool WriteContentOf(const QString& folder, const QByteArray& content, QString& path);

// ---- weather fax: "FaxSpeed=" (FSPEED index 0 to 4) and "FaxAspect=" (1 to 6)
inline const QByteArray kFaxSpeedKey = "FaxSpeed";
inline const QByteArray kFaxAspectKey = "FaxAspect";

// The fax settings in the file's text; a missing or unfit value gives its
// default.
FaxSettings FaxSettingsIn(const QByteArray& content);
// The file's text with both fax lines set anew at its end; other lines stay.
QByteArray WithFaxSettings(const QByteArray& content, const FaxSettings& settings);
FaxSettings ReadFaxSettings(const QString& folder);
// As WriteEchoColour.
bool WriteFaxSettings(const QString& folder, const FaxSettings& settings, QString& path);

} // namespace ExtraSettings
