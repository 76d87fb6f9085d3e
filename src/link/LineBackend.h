#pragma once

#include "link/QtSerialBackend.h"
#include "link/TcpBackend.h"

// The line to the controller as the port name asks for it at each open: a
// "tcp:HOST:PORT" name goes to the network (a serial bridge), any other name
// to a serial device. Every other call goes to the backend of the last open.
class LineBackend : public SerialBackend {
public:
    explicit LineBackend(TcpBackend::Ticks now = {}) : tcp_(std::move(now)) {}

    bool Open(const QString& deviceName) override;
    bool IsOpen() const override { return active_->IsOpen(); }
    bool SetState(quint16 baudRate) override { return active_->SetState(baudRate); }
    bool SetTimeouts() override { return active_->SetTimeouts(); }
    bool SetQueues(quint32 receiveSize, quint32 sendSize) override {
        return active_->SetQueues(receiveSize, sendSize);
    }
    bool WriteByte(quint8 byte) override { return active_->WriteByte(byte); }
    bool ReadByte(quint8& byte) override { return active_->ReadByte(byte); }
    qint32 BytesAvailable() override { return active_->BytesAvailable(); }
    int ReadBlock(char* buffer, int maxCount) override {
        return active_->ReadBlock(buffer, maxCount);
    }
    void PurgeInput() override { active_->PurgeInput(); }
    void Close() override { active_->Close(); }
    bool Rts() const override { return active_->Rts(); }
    bool Dtr() const override { return active_->Dtr(); }
    SerialError LastError() const override { return active_->LastError(); }

private:
    QtSerialBackend serial_;
    TcpBackend tcp_;
    SerialBackend* active_ = &serial_;
};
