#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QString>
#include <QtGlobal>

// The HOST-mode frame: start byte 0x01, one control byte, the payload, end
// byte 0x17; no length and no checksum. Inside the payload the three bytes
// 0x01, 0x10 and 0x17 travel behind the pass character DLE (0x10), in both
// directions, so that a payload byte is never taken for a frame's start or
// end.
namespace Frames {

constexpr char kStart = 0x01;
constexpr char kEnd = 0x17;
constexpr char kDle = 0x10;
constexpr char LineEnd = 0x0D;
constexpr char kEscape = 0x1B;

// Control bytes the program sends.
constexpr char kCommand = 0x4F; // 'O'
constexpr char kData = 0x20;    // ' '
// Control bytes the program receives and acts on.
constexpr char kRxEcho = 0x2F;    // '/': the echo of sent text, as it goes on the air
constexpr char kRxText = 0x30;    // '0': received text
constexpr char kRxMonitor = 0x3F; // '?'
constexpr char kRxReply = 0x4F;   // 'O'
constexpr char kRxLinkMsg = 0x50; // 'P'

// True for the bytes that travel behind a DLE inside a payload.
inline bool NeedsDle(quint8 c) {
    return c == quint8(kStart) || c == quint8(kDle) || c == quint8(kEnd);
}
// The payload as it goes on the line: a DLE before every 0x01, 0x10, 0x17.
QByteArray Escape(const QByteArray& payload);
// The payload as it came off the line: every DLE dropped and the byte after
// it taken as it is. A DLE with nothing after it is dropped.
QByteArray Unescape(const QByteArray& onTheLine);

// "\x01O" + mnemonic and arguments + "\x17", the payload escaped.
QByteArray CommandFrame(const QByteArray& mnemonicAndArguments);
// "\x01 " + text + "\x17", the text escaped.
QByteArray DataFrame(const QByteArray& text);

// The controller clock as YYMMDDHHMM: the year's third and fourth digits,
// then month, day, hour and minute with a leading zero where they have one
// digit. Seconds are not sent.
QByteArray ClockText(const QDateTime& at);

// Characters kept from the body of a command reply or link message: the
// blank, '-', digits and letters. Everything else is dropped before positions
// are counted.
inline bool IsKept(quint8 c) {
    return c == ' ' || c == '-' || (c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z') ||
           (c >= 'a' && c <= 'z');
}

// Characters kept in the held-back receive text: backspace, line feed,
// carriage return and 0x20 to 0xFF.
inline bool IsHeld(quint8 c) {
    return c == 0x08 || c == 0x0A || c == 0x0D || c >= 0x20;
}

// Characters the receive window shows: line feed, carriage return, 0x20 to
// 0xFE.
inline bool IsShown(quint8 c) {
    return c == 0x0A || c == 0x0D || (c >= 0x20 && c <= 0xFE);
}

// Characters the dumb-terminal reader passes on: 9 to 13 and 32 and above.
inline bool IsDumbPassed(quint8 c) {
    return (c >= 9 && c <= 13) || c >= 32;
}

// The other station's call in a link message: the up to 8 characters that
// follow the first "to" and the one character after it. Without "to" the
// call stays as it was.
QString HisCallFromLinkMessage(const QString& linkMessage, const QString& current);

} // namespace Frames
