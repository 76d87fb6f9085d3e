#pragma once

#include <QByteArray>

// The two fax settings the operator chooses, kept in "Dervalo-extra.ini" as
// "FaxSpeed=" and "FaxAspect=" lines.
struct FaxSettings {
    // FSPEED: an index, not lines a minute.
    static constexpr int kSpeeds = 5;
    static constexpr int kLinesPerMinute[kSpeeds] = {90, 60, 120, 180, 240};
    int speed = 2;  // 120 lines a minute
    int aspect = 2; // ASPECT: rows kept of every six, 1 to 6

    static bool ValidSpeed(int s) { return s >= 0 && s < kSpeeds; }
    static bool ValidAspect(int a) { return a >= 1 && a <= 6; }
    // What the controller is told: "FS2", "AY2" (mnemonic and value).
    QByteArray SpeedCommand() const { return "FS" + QByteArray::number(speed); }
    QByteArray AspectCommand() const { return "AY" + QByteArray::number(aspect); }
    bool operator==(const FaxSettings&) const = default;
};
