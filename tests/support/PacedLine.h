#pragma once

// Text files sent through the dumb terminal to the simulator program, which
// reads the pseudo-terminal no faster than a serial line at 9600 baud: the
// terminal's buffer fills and the program's writes have to wait for it. In
// the dumb terminal the unit takes the frames as plain bytes and nothing
// comes back framed to hold the file back, so the line's pace is the only
// limit, and the simulator's line log shows every byte in the order it came.

#include <QAction>

#include "LiveStation.h"
#include "host/Frames.h"

namespace PacedLine {

// The data frames a file's lines go out in: a line longer than 256 bytes in
// pieces of 256, its carriage return after the last.
inline QByteArray Frames(const QList<QByteArray>& lines) {
    QByteArray out;
    for (const QByteArray& line : lines) {
        qsizetype at = 0;
        do {
            const QByteArray piece = line.mid(at, 256);
            at += piece.size();
            out += "\x01 " + piece + (at >= line.size() ? "\r" : "") + "\x17";
        } while (at < line.size());
    }
    return out;
}

inline QByteArray Joined(const QList<QByteArray>& lines) {
    QByteArray out;
    for (const QByteArray& line : lines)
        out += line + "\r\n";
    return out;
}

// The program started against a line-paced simulator, then in the dumb
// terminal (F10), the unit at its command line. False if it did not get
// there.
inline bool StartInTheDumbTerminal(LiveStation& s) {
    if (!s.StartSimulator({"--start", "host", "--line-pace", "--band", "off", "--air-speed", "0"}))
        return false;
    THoofdForm& w = s.StartProgram();
    if (!w.st.HostModeActive) return false;
    w.MenuDumb->trigger();
    if (!w.st.DumbMode || w.st.HostModeActive) return false;
    return LiveStation::WaitFor([&] { return s.State().contains("(command line, line 8N1)"); },
                                10000);
}

// Sends a file through the menu, as the operator would pick it.
inline void Transmit(LiveStation& s, const QString& name, const QByteArray& content) {
    s.WriteFile(name, content);
    s.prompts.fileAnswers << s.Path(name);
    s.form->MenuTransmitFile->trigger();
}

// What the simulator has read from the program, from the first byte of
// `frames` (which must begin with a frame found nowhere before it) on, once
// as many bytes as `frames` holds have come; the paced line is given its
// time (960 bytes a second) twice over.
inline QByteArray Arrived(LiveStation& s, const QByteArray& frames) {
    const QByteArray first = frames.left(frames.indexOf('\x17') + 1);
    QByteArray got;
    LiveStation::WaitFor(
        [&] {
            const QByteArray all = s.FromProgram();
            const qsizetype at = all.indexOf(first);
            got = at < 0 ? QByteArray() : all.mid(at);
            return got.size() >= frames.size();
        },
        int(frames.size() * 2 * 1000 / 960) + 10000);
    return got;
}

} // namespace PacedLine
