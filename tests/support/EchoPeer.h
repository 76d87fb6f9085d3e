#pragma once

// A scripted far end for file-transmission tests: it takes the HOST frames
// the program writes apart (a DLE in a payload takes the next byte as it
// is), keeps the text of every data frame in a transmit buffer and echoes it
// back as received text frames "\x01" "0" text "\x17", at once or at a given
// pace in characters per second. "\x01OTC\x17" empties the buffer. While
// `silent` is set nothing is echoed (the buffer keeps filling).

#include <QByteArray>
#include <QList>

#include "link/SerialPeer.h"

class EchoPeer : public SerialPeer {
public:
    int charsPerSecond = 0; // 0: the echo follows each data frame at once
    bool silent = false;
    bool easOn = false; // as the controller with EAS ON: no carriage return echoed

    // What came in, decoded: data-frame payloads, command payloads, and the
    // bytes that came outside any frame.
    QList<QByteArray> dataFrames;
    QList<QByteArray> commands;
    QByteArray plain;
    // Characters echoed so far.
    qsizetype echoed = 0;
    QByteArray Buffered() const { return buffer_; }

    void FromHost(quint8 byte, quint32 nowMs) override;
    void Tick(quint32 nowMs) override;
    QByteArray ToHost(quint32 nowMs) override;

private:
    void FrameDone();
    void Echo(qsizetype count);

    enum class State { Idle, Control, Payload, Escaped } state_ = State::Idle;
    char control_ = 0;
    QByteArray payload_;
    QByteArray buffer_; // taken, not yet echoed
    QByteArray out_;
    quint32 last_ = 0;
    bool started_ = false;
    double credit_ = 0;
};
