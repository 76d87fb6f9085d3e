#pragma once

#include <QSerialPort>
#include <QString>

#include "link/SerialBackend.h"

// The real serial line, through QSerialPort. On Linux "COM1" to "COM4" name
// /dev/ttyS0 to /dev/ttyS3; any other name is a device path (absolute as
// given, a bare name under /dev). Byte reads and writes go straight to the
// device so that the count of waiting bytes is right even while no events
// are handled.
class QtSerialBackend : public SerialBackend {
public:
    QtSerialBackend();
    ~QtSerialBackend() override;

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

private:
    void DropRtsWhenDrained();

    QSerialPort port_;
    bool modemLines_ = false;
    bool rtsUp_ = false;
};
