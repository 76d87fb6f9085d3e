#pragma once

#include <QElapsedTimer>
#include <QObject>
#include <QString>

#include "link/SerialBackend.h"

class QIODevice;
class QSerialPort;
class QTcpSocket;

// The line to the controller on Qt's own devices, as the port name asks for
// it at each open: a "tcp:HOST:PORT" name is a TCP connection to a serial
// bridge (`QTcpSocket`, raw, no telnet), any other name a serial device
// (`QSerialPort`; on Linux "COM1" to "COM4" name /dev/ttyS0 to /dev/ttyS3,
// any other name is a device path, absolute as given, a bare name under
// /dev). Both are a `QIODevice`, and everything after the open is the same
// for both.
//
// Nothing here waits for the line. A write hands its bytes to the device;
// they go out as the line takes them, from the event loop or from the next
// call of this backend (each call moves what it can in and out without
// handling events, so bytes move during a `Delay` too). A connection is
// made, and a host name looked up, in the event loop; a connection found
// made by a call here is finished at once. The device fails (and takes no
// more bytes until it is opened again) on an error of the device, a hang-up,
// the other end closing the connection, or a line that has taken none of
// the bytes waiting for `kStallMs`; the bytes it never sent are counted
// (`TakeLost`).
class LineBackend : public QObject, public SerialBackend {
    Q_OBJECT
public:
    // A line that takes none of the bytes waiting for this long has failed.
    static constexpr int kStallMs = 5000;
    // At most this many bytes wait to go out; a write beyond is refused.
    static constexpr qint64 kOutLimit = 64 * 1024;
    // After a failed connection, opens of the same name within this time fail
    // at once with the same reason: an address that does not answer is not
    // tried again for every frame.
    static constexpr int kHoldOffMs = 3000;

    LineBackend();
    ~LineBackend() override;

    // The device path for a port name; empty for a name that is no path the
    // system can open: empty, holding a NUL or another control character, not
    // expressible in the system's file-name encoding, or too long.
    static QString DevicePath(const QString& name);
    // Tests shorten the stall time and the hold-off.
    void SetStallMs(int ms) { stallMs_ = ms; }
    void SetHoldOffMs(int ms) { holdOffMs_ = ms; }

    bool Open(const QString& deviceName) override;
    bool IsOpen() const override { return device_ != nullptr; }
    bool SetState(quint16 baudRate) override;
    bool Write(const QByteArray& bytes) override;
    bool ReadByte(quint8& byte) override;
    qint32 BytesAvailable() override;
    int ReadBlock(char* buffer, int maxCount) override;
    void PurgeInput() override;
    void Close() override;
    bool Rts() const override { return linesUp_; }
    bool Dtr() const override { return linesUp_; }
    SerialError LastError() const override { return error_; }
    bool Failed() const override { return failed_; }
    bool Moving() const override { return moved_; }
    quint64 TakeLost() override;
    // Bytes handed over and not yet taken by the line.
    qint64 Unsent() const override;

private:
    bool OpenSerial(const QString& name);
    bool OpenTcp(const QString& name);
    // Moves what it can in and out, finishes a connection the system has
    // made, and watches the line drain.
    void Service();
    // The device can carry bytes now (a connection still being made cannot).
    bool Carrying() const override;
    void Fail(const QString& device, const QString& step, int errnum, const QString& reason);
    // The open device has failed: what it has not sent is lost.
    void DeviceFailed(const QString& step, int errnum, const QString& reason);
    void Connected();
    // Tells the listener, from the event loop.
    void Notify(bool ready);
    void BytesCame();
    // A failure Qt reports for a line that is still there and only full or
    // empty for the moment.
    bool PassingFault();

    QIODevice* device_ = nullptr; // the serial port or the connection
    QSerialPort* serial_ = nullptr; // the device, when it is a serial port
    QTcpSocket* socket_ = nullptr;  // the device, when it is a connection
    QString name_;
    bool failed_ = false;
    bool moved_ = false;
    bool linesUp_ = false;
    bool readyQueued_ = false;
    quint64 lost_ = 0;
    SerialError error_;
    int stallMs_ = kStallMs;
    int holdOffMs_ = kHoldOffMs;
    QElapsedTimer clock_;
    qint64 lastMove_ = 0;
    qint64 lastUnsent_ = 0;
    int passingFaults_ = 0; // in a row, with no byte moved between them
    // The last failed connection, for the hold-off.
    QString failedName_;
    qint64 failedAt_ = 0;
    SerialError failedError_;
};
