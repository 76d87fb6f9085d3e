#pragma once

// Text files sent through the dumb terminal to the simulator program, which
// reads the pseudo-terminal no faster than a serial line at 9600 baud: the
// terminal's buffer fills and the program's writes have to wait for it. In
// the dumb terminal the lines go out plain and nothing comes back framed to
// hold the file back, so the line's pace is the only limit, and the
// simulator's line log shows every byte in the order it came.

#include <QAction>

#include "LiveStation.h"

namespace PacedLine {

// What a file's lines become on the line in the dumb terminal: each line
// plain, with a carriage return after it (a line longer than 256 bytes goes
// out in pieces, which join up again on the line).
inline QByteArray Plain(const QList<QByteArray>& lines) {
    QByteArray out;
    for (const QByteArray& line : lines)
        out += line + '\r';
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
// `bytes` (whose first line must be found nowhere before it) on, once as
// many bytes as `bytes` holds have come; the paced line is given its time
// (960 bytes a second) twice over.
inline QByteArray Arrived(LiveStation& s, const QByteArray& bytes) {
    const QByteArray first = bytes.left(bytes.indexOf('\r') + 1);
    QByteArray got;
    LiveStation::WaitFor(
        [&] {
            const QByteArray all = s.FromProgram();
            const qsizetype at = all.indexOf(first);
            got = at < 0 ? QByteArray() : all.mid(at);
            return got.size() >= bytes.size();
        },
        int(bytes.size() * 2 * 1000 / 960) + 10000);
    return got;
}

} // namespace PacedLine
