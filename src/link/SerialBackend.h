#pragma once

#include <QByteArray>
#include <QString>
#include <QtGlobal>
#include <functional>

// Why the last failing step of a backend failed: the device path, the step
// (empty for the open itself), the system's error number and its reason in
// words. An empty reason: the backend did not say.
struct SerialError {
    QString device;
    QString step;
    int errnum = 0;
    QString reason;
};

// What `Poort` needs of the line to the controller. One backend carries it
// on Qt's own devices (a serial port or a TCP connection to a serial
// bridge); another lives in memory for tests. No call waits for the line:
// writes are handed over and go out as the line takes them, reads take what
// has come.
class SerialBackend {
public:
    virtual ~SerialBackend() = default;

    // Opens the device for reading and writing, exclusively. False on
    // failure. A connection over the network may still be being made when
    // this returns: bytes written meanwhile wait for it.
    virtual bool Open(const QString& deviceName) = 0;
    virtual bool IsOpen() const = 0;
    // 8 data bits, no parity, one stop bit, no flow control, at this rate.
    virtual bool SetState(quint16 baudRate) = 0;
    // Hands the bytes to the device and returns at once; they wait in its
    // bounded outgoing buffer until the line takes them. False, with none
    // of them taken, when nothing is open, the device has failed (gone,
    // or a line that stopped draining) or the buffer is full.
    virtual bool Write(const QByteArray& bytes) = 0;
    // True when exactly one byte was read.
    virtual bool ReadByte(quint8& byte) = 0;
    // Bytes waiting to be read; 0 when nothing is open.
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

    // The open device has failed since it opened (an error, a hang-up, a
    // line that has not drained for a while): it takes no more bytes until
    // it is opened again.
    virtual bool Failed() const { return false; }
    // The line has taken bytes, or brought some, since the device opened:
    // it is known to work, not only to be open.
    virtual bool Moving() const { return IsOpen(); }
    // The line can carry bytes now: open, not failed, and (a network
    // bridge) connected, not still connecting.
    virtual bool Carrying() const { return IsOpen() && !Failed(); }
    // Bytes that were handed over but that a failed device never sent;
    // each is counted once.
    virtual quint64 TakeLost() { return 0; }
    // Bytes handed over that the line has not taken yet.
    virtual qint64 Unsent() const { return 0; }
    // Called from the event loop, never from inside a call above: bytes
    // have come (`ready`), the line is up (an open finished: a connection
    // made).
    void SetListeners(std::function<void()> ready, std::function<void()> up) {
        onReady_ = std::move(ready);
        onUp_ = std::move(up);
    }

protected:
    std::function<void()> onReady_;
    std::function<void()> onUp_;
};
