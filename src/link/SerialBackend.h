#pragma once

#include <QByteArray>
#include <QString>
#include <QtGlobal>

// What `Poort` needs of a serial device. One backend talks to a real device
// on its descriptor; another lives in memory for tests. Every call returns
// at once (a read of an empty queue within about a millisecond).
class SerialBackend {
public:
    virtual ~SerialBackend() = default;

    // Opens the device for reading and writing, exclusively. False on failure.
    virtual bool Open(const QString& deviceName) = 0;
    virtual bool IsOpen() const = 0;
    // 8 data bits, no parity, one stop bit, no flow control, DTR raised and
    // held, RTS raised while sending, at this rate.
    virtual bool SetState(quint16 baudRate) = 0;
    // Reads return within about 1 ms; a one-byte write gives up after ~4 ms.
    virtual bool SetTimeouts() = 0;
    virtual bool SetQueues(quint32 receiveSize, quint32 sendSize) = 0;
    // True when exactly one byte was written.
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
    // The modem lines towards the device (request to send, data terminal
    // ready). A backend that cannot set them does nothing.
    virtual void SetRts(bool on) { (void)on; }
    virtual void SetDtr(bool on) { (void)on; }
};
