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

// What the system's port enumeration (QSerialPortInfo) tells of one device.
struct PortFacts {
    QString location; // "/dev/ttyUSB0"
    QString description;
    QString manufacturer;
    QString serialNumber;
    QString usbId; // "0403:6001", empty when the device has no USB ids

    // The serial ports of the running system, as Qt finds them.
    static QList<PortFacts> OfSystem();
};

// The serial devices of `ports` (the legacy /dev/ttyS* left out: COM1 to
// COM4 stand for them), ordered by name, then the links under
// /dev/serial/by-id below `root` (the folder that holds dev/; "/" on the
// running system), each with what `ports` tells of the device it points at:
// the stable names operators want. The device `portInUse` names (a name as
// on line 2 of the settings file) is marked in use, and added at the end
// when it is none of these (a pseudo-terminal, an adapter that has gone); a
// name that is no device path adds nothing. Paths are given as the system
// sees them, without `root`. Missing, unreadable or odd entries give less
// information, never a failure.
QList<SerialDevice> ListSerialDevices(const QList<PortFacts>& ports, const QString& root,
                                      const QString& portInUse);
