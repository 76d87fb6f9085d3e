#pragma once

// Scripted controller replies for tests of the program: status replies and
// link messages fed to the main window's decoder, to bring the link state
// where a test wants it without a simulated controller.

#include <QByteArray>

#include "FormFixture.h"

namespace LinkScript {

// "\x01O" + body + "\x17": a status reply. Kept characters count from 1:
// 3 and 4 the mode code, 5 the phase digit, 6 the transmit mark "S".
inline QByteArray Reply(const QByteArray& body) {
    return "\x01O" + body + "\x17";
}
// "\x01P" + body + "\x17": a link message.
inline QByteArray Link(const QByteArray& body) {
    return "\x01P" + body + "\x17";
}

// Feeds the bytes and runs the decoder until they are read.
inline void Feed(FormFixture& f, const QByteArray& bytes) {
    f.serial.FeedInput(bytes);
    while (f.serial.BytesAvailable() > 0)
        f.form->GETV24Data();
}

// PACTOR or AMTOR listen, not connected.
inline void Listen(FormFixture& f, bool amtor = false) {
    Feed(f, Reply(amtor ? "OPAL3---0" : "OPPN3---0"));
}

// A call that phases and connects to `call`: the status then says CONNECT,
// with this side sending (`sending`) or receiving.
inline void Connect(FormFixture& f, bool amtor, bool sending, const QByteArray& call = "DL1ABC") {
    const QByteArray code = amtor ? "AC" : "PG";
    Feed(f, Reply("OP" + code + "1---0"));
    Feed(f, Link(" CONNECTED to " + call));
    Feed(f, Reply("OP" + code + "3" + (sending ? "S" : "-") + "-0"));
}

// The turn to send changes while the link stays up.
inline void Turn(FormFixture& f, bool amtor, bool sending) {
    Feed(f, Reply(QByteArray("OP") + (amtor ? "AC" : "PG") + "4" + (sending ? "S" : "-") + "-0"));
}

// The link ends: phase 0.
inline void Standby(FormFixture& f, bool amtor = false) {
    Feed(f, Reply(amtor ? "OPAM0---0" : "OPPt0---0"));
}

// RTTY standby (the transmit mark sits at position 5 there).
inline void Rtty(FormFixture& f) {
    Feed(f, Reply("OPBA0---0"));
}

} // namespace LinkScript
