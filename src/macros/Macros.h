#pragma once

#include <QDateTime>
#include <QString>

// The ten macros: their defaults, their keys and the expansion of their
// tokens. No widgets.
namespace Macros {

constexpr int kCount = 10;

// The text a macro has before the operator sets it (index 0 is Macro1).
QString Default(int index);
// "Ctrl+1" ... "Ctrl+9", "Ctrl+0".
QString KeyText(int index);
// "Macro1" ... "Macro10".
QByteArray SettingKey(int index);

struct Values {
    QString myCall, call, name, qth, band, freq;
    QDateTime utc;
};

// <MYCALL>, <CALL>, <NAME>, <QTH>, <UTC> (HH:MM), <DATE> (YYYY-MM-DD),
// <BAND>, <FREQ> and <CR> (a line end, "\r"). A token with no value
// expands to nothing; any other text stays as it is.
QString Expand(const QString& text, const Values& values);

} // namespace Macros
