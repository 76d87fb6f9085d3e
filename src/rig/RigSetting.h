#pragma once

#include <QString>
#include <optional>

// The "Rig=" setting: none, a network rig (Hamlib's model 2, rigctld) at
// HOST:PORT, or a Hamlib model on a serial device at a rate.
struct RigSetting {
    enum class Kind { None, Rigctld, Hamlib };
    Kind kind = Kind::None;
    QString host = QStringLiteral("127.0.0.1");
    quint16 port = 4532;
    int model = 0;
    QString device;
    int rate = 0;

    // "none", "rigctld:HOST:PORT" or "hamlib:MODEL:DEVICE:RATE". An empty
    // text is none; anything else that does not read is nothing.
    static std::optional<RigSetting> Parse(const QString& text);
    QString ToText() const;
    // What Hamlib calls the rig's path: "HOST:PORT" or the device.
    QString Path() const;
};
