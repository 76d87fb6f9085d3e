#pragma once

#include <QString>
#include <QtGlobal>
#include <memory>
#include <optional>

#include "rig/RigSetting.h"

// What the rig thread asks of a rig: open it, read its frequency, close it.
// Every call may take as long as the rig's time-out; they run on the rig's
// own thread only.
class RigDriver {
public:
    virtual ~RigDriver() = default;
    virtual bool Open() = 0;
    // The frequency of the current VFO in Hz, or nothing when the rig did
    // not answer.
    virtual std::optional<qint64> ReadFrequency() = 0;
    virtual void Close() = 0;
};

// The driver through Hamlib's library for a setting that names a rig.
std::unique_ptr<RigDriver> MakeHamlibDriver(const RigSetting& setting);
