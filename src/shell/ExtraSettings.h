#pragma once

#include <QByteArray>
#include <QColor>
#include <QString>

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

// Any key of the file: its last value (empty when missing), the content
// with the key set (other lines kept), and the whole file read and replaced.
QByteArray ValueIn(const QByteArray& content, const QByteArray& key);
QByteArray WithValue(const QByteArray& content, const QByteArray& key, const QByteArray& value);
QByteArray ReadContentOf(const QString& folder);
bool WriteContentOf(const QString& folder, const QByteArray& content, QString& path);

} // namespace ExtraSettings
