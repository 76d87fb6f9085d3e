#pragma once

#include <QByteArray>
#include <QtGlobal>

// Whatever sits at the far end of an in-memory serial line: in tests, the
// simulated PK-232. Time is the virtual clock's tick count in milliseconds.
class SerialPeer {
public:
    virtual ~SerialPeer() = default;
    // One byte from the program to the peer.
    virtual void FromHost(quint8 byte, quint32 nowMs) = 0;
    // Lets the peer's own time run on to `nowMs`.
    virtual void Tick(quint32 nowMs) = 0;
    // Bytes the peer has sent to the program by `nowMs` (taken out).
    virtual QByteArray ToHost(quint32 nowMs) = 0;
    // The program's modem lines as it has set them (both up until it sets
    // them): a peer with hardware flow control holds its output while RTS is
    // low.
    virtual void SetModemLines(bool rts, bool dtr) {
        (void)rts;
        (void)dtr;
    }
};
