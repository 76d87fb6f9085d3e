#pragma once

#include <QColor>
#include <QFont>
#include <QString>
#include <QtGlobal>

// Colours are stored as Windows colour values: the low byte red, then green,
// then blue; negative values name system colours, which map onto the
// palette.
namespace Appearance {

QColor FromWinColor(qint32 value);
qint32 ToWinColor(const QColor& colour);

// The family a stored font name stands for here: "Terminal" is a fixed-pitch
// font and "System" the default user-interface font; other names as given.
QString FamilyFor(const QString& storedName);

// Applies a stored style code to a font: 1 regular, 2 adds italic, 3 adds
// bold, 4 adds both; any other code leaves the style alone.
void ApplyStyleCode(QFont& font, int code);
// The style code of a chosen font.
quint8 StyleCodeOf(const QFont& font);

// Applies a stored name and size: an empty name and a size of 0 leave the
// font as it is.
void ApplyNameAndSize(QFont& font, const QString& name, int size);

// The font, made smaller step by step where needed, in which `text` fits
// into `width` pixels; it stops at a few pixels high, where nothing is
// readable any more.
QFont FontToFit(const QFont& font, const QString& text, int width);

} // namespace Appearance
