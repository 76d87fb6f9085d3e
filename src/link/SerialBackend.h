#pragma once

#include <QByteArray>
#include <QString>
#include <QtGlobal>

// Why the last failing step of a backend failed: the device path, the step
// (empty for the open itself), the system's error number and its reason in
// words. An empty reason: the backend did not say.
struct SerialError {
    QString device;
    QString step;
    int errnum = 0;
    QString reason;
};

// What `Poort` needs of a serial device. One backend talks to a real device
// on its descriptor; another lives in memory for tests. Every call returns
// at once (a read of an empty queue within about a millisecond).
class SerialBackend {
public:
    virtual ~SerialBackend() = default;

    // Opens the device for reading and writing, exclusively. False on failure.
    virtual bool Open(const QString& deviceName) = 0;
    virtual bool IsOpen() const = 0;
    // 8 data bits, no parity, one stop bit, no flow control, at this rate.
    virtual bool SetState(quint16 baudRate) = 0;
    // Reads return within about 1 ms.
    virtual bool SetTimeouts() = 0;
    virtual bool SetQueues(quint32 receiveSize, quint32 sendSize) = 0;
    // True when exactly one byte was written. A full output queue is waited
    // on for as long as the line needs to drain it; false only for a device
    // that has gone or that stopped draining.
    virtual bool WriteByte(quint8 byte) = 0;
    // True when exactly one byte was read.
    virtual bool ReadByte(quint8& byte) = 0;
    // Bytes waiting in the receive queue; 0 when nothing is open.
    virtual qint32 BytesAvailable() = 0;
    // Reads up to `maxCount` bytes of what is waiting; returns the number read.
    virtual int ReadBlock(char* buffer, int maxCount) = 0;
    // Drops received bytes; bytes queued for sending still go out.
    virtual void PurgeInput() = 0;
    virtual void Close() = 0;
    // The modem-control lines as set for the device: RTS and DTR are raised
    // when it opens and held up until it closes (a controller set for
    // hardware flow control holds all its output while RTS is low).
    virtual bool Rts() const = 0;
    virtual bool Dtr() const = 0;
    // Why the last step that failed failed. A step that failed because no
    // device is open leaves the reason of the failed open in place.
    virtual SerialError LastError() const = 0;
};
