#pragma once

#include <QByteArray>
#include <QString>
#include <Qt>

// Key events of the transmit window as the key values the transmit path
// works with, the same on every keyboard layout: Enter and Return are 13,
// Backspace 8, Tab 9, Escape 27, Ctrl with a letter that letter's control
// code (Ctrl+A 1 ... Ctrl+Z 26), and every other key the byte of the
// character it types. A character with no byte in the character table is
// refused: the window must not show what cannot be sent. A key with Alt
// (and no Ctrl) is refused too: it never types.
namespace KeyValue {

struct Typed {
    enum class Kind {
        None,    // no key value (cursor keys, function keys, dead keys ...)
        Keys,    // one key value per typed character, in `keys`
        Refused, // a character without a byte, or Alt with a key: not typed at all
    };
    Kind kind = Kind::None;
    QByteArray keys;
};

// A key press: the key code, the modifiers held and the text it types.
Typed FromKeyPress(int key, Qt::KeyboardModifiers modifiers, const QString& text);
// Text an input method commits (composed characters, for instance).
Typed FromCommittedText(const QString& text);

// The ten keys that go out as control characters, noted in the transmit
// window: Ctrl+B, C, D, F, Q, S, U, V, Y and Z.
inline bool IsControlKey(quint8 k) {
    switch (k) {
    case 2:
    case 3:
    case 4:
    case 6:
    case 17:
    case 19:
    case 21:
    case 22:
    case 25:
    case 26:
        return true;
    default:
        return false;
    }
}

// Keys that go out as text: backspace to carriage return, and 32 to 255.
inline bool IsTextKey(quint8 k) {
    return (k >= 8 && k <= 13) || k >= 32;
}

// Ctrl+PgUp with no other modifier: the key that starts reading back.
inline bool IsReadBackKey(int key, Qt::KeyboardModifiers modifiers) {
    return key == Qt::Key_PageUp && (modifiers & ~Qt::KeypadModifier) == Qt::ControlModifier;
}

} // namespace KeyValue
