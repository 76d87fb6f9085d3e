#pragma once

// The controller's side of the HOST-mode check, for tests of the program
// without a simulated controller: from the `answerFrom`-th "\x01OGG\x17" on
// (0: never) it answers `reply`; with `echo` every byte comes straight back,
// as from a unit in Converse mode; without it each plain command line is
// answered with the prompt, as at a unit's command line ("host on" with
// nothing). It notes every byte that came while RTS or DTR was down.

#include <QByteArray>
#include <utility>

#include "link/SerialPeer.h"

class HostCheckPeer : public SerialPeer {
public:
    int answerFrom = 1;
    QByteArray reply = QByteArray("\x01OGG\x00\x17", 6);
    bool echo = false;
    int bytesWithLinesDown = 0;
    bool linesUp = false;

    void FromHost(quint8 byte, quint32) override {
        if (!linesUp) ++bytesWithLinesDown;
        seen_.append(char(byte));
        if (seen_.size() > 16) seen_.remove(0, seen_.size() - 16);
        if (echo) out_.append(char(byte));
        if (!echo && byte == '\r') {
            if (line_ != "host on") out_ += "\r\ncmd:";
            line_.clear();
        } else if (byte >= 0x20 && line_.size() < 64) {
            line_.append(char(byte));
        }
        if (seen_.endsWith("\x01OGG\x17") && answerFrom > 0 && ++checks_ >= answerFrom)
            out_ += reply;
    }
    void Tick(quint32) override {}
    QByteArray ToHost(quint32) override { return std::exchange(out_, QByteArray()); }
    void SetModemLines(bool rts, bool dtr) override { linesUp = rts && dtr; }

private:
    QByteArray seen_, out_, line_;
    int checks_ = 0;
};
