#include "shell/Appearance.h"

#include <QApplication>
#include <QFontDatabase>
#include <QFontInfo>
#include <QFontMetrics>
#include <QPalette>

namespace Appearance {

namespace {
QColor SystemColour(int index) {
    const QPalette p = QApplication::palette();
    switch (index) {
    case 0:
        return p.color(QPalette::Button); // scroll bar
    case 1:
        return p.color(QPalette::Window); // desktop
    case 2:
        return p.color(QPalette::Highlight); // active caption
    case 3:
        return p.color(QPalette::Mid); // inactive caption
    case 4:
        return p.color(QPalette::Window); // menu
    case 5:
        return p.color(QPalette::Base); // window
    case 6:
        return p.color(QPalette::Shadow); // window frame
    case 7:
        return p.color(QPalette::WindowText); // menu text
    case 8:
        return p.color(QPalette::Text); // window text
    case 9:
        return p.color(QPalette::HighlightedText); // caption text
    case 10:
    case 11:
        return p.color(QPalette::Midlight); // borders
    case 12:
        return p.color(QPalette::Dark); // application workspace
    case 13:
        return p.color(QPalette::Highlight);
    case 14:
        return p.color(QPalette::HighlightedText);
    case 15:
        return p.color(QPalette::Button); // button face
    case 16:
        return p.color(QPalette::Dark); // button shadow
    case 17:
        return p.color(QPalette::PlaceholderText);
    case 18:
        return p.color(QPalette::ButtonText);
    case 19:
        return p.color(QPalette::WindowText);
    case 20:
        return p.color(QPalette::Light);
    case 21:
        return p.color(QPalette::Shadow);
    case 22:
        return p.color(QPalette::Midlight);
    case 23:
        return p.color(QPalette::ToolTipText);
    case 24:
        return p.color(QPalette::ToolTipBase);
    default:
        return p.color(QPalette::Window);
    }
}
} // namespace

QColor FromWinColor(qint32 value) {
    if (value < 0) return SystemColour(value & 0xFF);
    const quint32 v = quint32(value);
    return QColor(int(v & 0xFF), int((v >> 8) & 0xFF), int((v >> 16) & 0xFF));
}

qint32 ToWinColor(const QColor& c) {
    const QColor rgb = c.toRgb();
    return qint32(quint32(rgb.red()) | (quint32(rgb.green()) << 8) | (quint32(rgb.blue()) << 16));
}

QString FamilyFor(const QString& storedName) {
    if (storedName.compare(QLatin1String("Terminal"), Qt::CaseInsensitive) == 0)
        return QFontDatabase::systemFont(QFontDatabase::FixedFont).family();
    if (storedName.compare(QLatin1String("System"), Qt::CaseInsensitive) == 0)
        return QApplication::font().family();
    return storedName;
}

void ApplyStyleCode(QFont& font, int code) {
    switch (code) {
    case 1:
        font.setBold(false);
        font.setItalic(false);
        break;
    case 2:
        font.setItalic(true);
        break;
    case 3:
        font.setBold(true);
        break;
    case 4:
        font.setBold(true);
        font.setItalic(true);
        break;
    default:
        break;
    }
}

quint8 StyleCodeOf(const QFont& font) {
    if (font.bold() && font.italic()) return 4;
    if (font.bold()) return 3;
    if (font.italic()) return 2;
    return 1;
}

void ApplyNameAndSize(QFont& font, const QString& name, int size) {
    if (!name.isEmpty()) font.setFamily(FamilyFor(name));
    if (size > 0) font.setPointSize(size);
}

QFont FontToFit(const QFont& font, const QString& text, int width) {
    constexpr int kSmallestPixels = 6;
    QFont fitted = font;
    int pixels = QFontInfo(font).pixelSize();
    while (QFontMetrics(fitted).horizontalAdvance(text) > width && pixels > kSmallestPixels)
        fitted.setPixelSize(--pixels);
    return fitted;
}

} // namespace Appearance
