#pragma once

#include <QList>
#include <QString>

// One serial device the system reports, as the port dialog lists it.
struct SerialDevice {
    // The name that goes on line 2 of the settings file: "/dev/ttyUSB0", a
    // stable name under /dev/serial/by-id, or the name in use as it stands.
    QString path;
    // For a symbolic link: what it points at ("/dev/ttyUSB0", "/dev/pts/3").
    QString target;
    // What the USB device says of itself, where it says it.
    QString product;
    QString manufacturer;
    QString serial;
    QString usbId; // "0403:6001"
    bool inUse = false;
    // False for a name in use that the system does not have (unplugged).
    bool present = true;

    // One line for the list: the path, what it points at, product and maker.
    QString Text() const;
    // The rest, for a hint: maker, product, serial number, USB id.
    QString Details() const;
};

// The serial devices under `root` (the folder that holds dev/ and sys/; "/"
// on the running system): /dev/ttyACM*, /dev/ttyUSB* with what
// /sys/class/tty tells of them, then the links under /dev/serial/by-id. The
// device `portInUse` names (a name as on line 2 of the settings file) is
// marked in use, and added at the end when it is none of these (a
// pseudo-terminal, an adapter that has gone); a name that is no device path
// adds nothing. Paths are given as the system sees them, without `root`. A
// few directory listings and small file reads: cheap enough for every
// showing of the dialog. Missing, unreadable or odd entries give less
// information, never a failure.
QList<SerialDevice> ListSerialDevices(const QString& root, const QString& portInUse);
