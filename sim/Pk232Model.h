#pragma once

#include <QByteArray>
#include <QString>
#include <QtGlobal>

#include "link/SerialPeer.h"

// A simulated PK-232 multi-mode controller: bytes in, bytes out, driven by a
// millisecond clock and deterministic for a given clock. It answers plain
// command lines (ending in carriage return) with the "cmd:" prompt, enters
// HOST mode on "host on", answers HOST command frames and the status request,
// keeps an operating mode, echoes what it is given to transmit and plays a
// remote station.
class Pk232Model : public SerialPeer {
public:
    Pk232Model();

    // SerialPeer
    void FromHost(quint8 byte, quint32 nowMs) override;
    void Tick(quint32 nowMs) override;
    QByteArray ToHost(quint32 nowMs) override;
};
