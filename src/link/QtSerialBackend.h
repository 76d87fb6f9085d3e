#pragma once

#include <QString>

#include "link/SerialBackend.h"

// The real serial line. On Linux "COM1" to "COM4" name /dev/ttyS0 to
// /dev/ttyS3; any other name is a device path (absolute as given, a bare name
// under /dev). The device is opened straight on its descriptor, held
// exclusively (an exclusive lock on the open device and the terminal's own
// exclusive mode) and set up with termios; no lock file is written or read,
// so nothing is left behind when the program ends in any way. Byte reads and
// writes go straight to the descriptor, so the count of waiting bytes is
// right even while no events are handled.
class QtSerialBackend : public SerialBackend {
public:
    QtSerialBackend();
    ~QtSerialBackend() override;

    // The device path for a port name; empty for a name that is no path the
    // system can open: empty, holding a NUL or another control character, not
    // expressible in the system's file-name encoding, or too long.
    static QString DevicePath(const QString& name);

    bool Open(const QString& deviceName) override;
    bool IsOpen() const override;
    bool SetState(quint16 baudRate) override;
    bool SetTimeouts() override;
    bool SetQueues(quint32 receiveSize, quint32 sendSize) override;
    bool WriteByte(quint8 byte) override;
    bool ReadByte(quint8& byte) override;
    qint32 BytesAvailable() override;
    int ReadBlock(char* buffer, int maxCount) override;
    void PurgeInput() override;
    void Close() override;
    bool Rts() const override { return linesUp_; }
    bool Dtr() const override { return linesUp_; }
    SerialError LastError() const override { return error_; }

private:
    // Notes a failure of `step` on the device with the system's error.
    void Fail(const QString& step, int errnum, const QString& reason = QString());
    void RaiseModemLines();
    // Bytes the kernel holds for sending; a few kilobytes when it does not say.
    int QueuedForSending() const;

    int fd_ = -1;
    quint16 baud_ = 0;
    bool linesUp_ = false;
    QString path_;
    SerialError error_;
};
