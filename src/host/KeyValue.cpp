#include "host/KeyValue.h"

#include "host/CharTable.h"

namespace KeyValue {
namespace {

Typed One(char k) {
    return {Typed::Kind::Keys, QByteArray(1, k)};
}

// The characters of a text as key values. Control characters (the delete
// character among them), which the window does not type, give none; any
// other character without a byte refuses the whole text.
Typed FromText(const QString& text) {
    Typed t;
    for (const QChar c : text) {
        if (c.category() == QChar::Other_Control) continue;
        const std::optional<quint8> byte = CharTable::ToByte(c);
        if (!byte) return {Typed::Kind::Refused, {}};
        t.keys += char(*byte);
    }
    if (!t.keys.isEmpty()) t.kind = Typed::Kind::Keys;
    return t;
}

} // namespace

Typed FromKeyPress(int key, Qt::KeyboardModifiers modifiers, const QString& text) {
    // Alt without Ctrl never types a character: with a letter it is a menu
    // key, and one that no menu item claims does nothing. AltGr comes as
    // Ctrl+Alt or as a modifier of its own, and types as usual.
    if ((modifiers & (Qt::AltModifier | Qt::ControlModifier)) == Qt::AltModifier)
        return {Typed::Kind::Refused, {}};
    switch (key) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
        return One(13);
    case Qt::Key_Backspace:
        return One(8);
    case Qt::Key_Tab:
        return One(9);
    case Qt::Key_Escape:
        return One(27);
    default:
        break;
    }
    const Qt::KeyboardModifiers held =
        modifiers & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier);
    // Ctrl, with or without Shift, and a letter. Ctrl with Alt is AltGr on
    // some systems and types a character of its own.
    if (held == Qt::ControlModifier) {
        if (key >= Qt::Key_A && key <= Qt::Key_Z) return One(char(key - Qt::Key_A + 1));
        // Layouts whose letters Qt reports without a Latin key code still
        // deliver the control character as the text.
        if (text.size() == 1 && text.at(0).unicode() >= 1 && text.at(0).unicode() <= 26)
            return One(char(text.at(0).unicode()));
        return {};
    }
    return FromText(text);
}

Typed FromCommittedText(const QString& text) {
    return FromText(text);
}

} // namespace KeyValue
