#pragma once

#include <QString>
#include <functional>

#include "link/HostLookup.h"
#include "link/SerialBackend.h"

// The serial port of a controller served over the network by a serial
// bridge (ser2net in raw mode): a plain TCP connection to "tcp:HOST:PORT",
// no telnet or RFC 2217 negotiation. The line settings stay with the bridge;
// setting them succeeds and changes nothing. The socket is non-blocking and
// every call returns as promptly as the serial backend's: a read of an empty
// queue within about a millisecond, the count of waiting bytes straight from
// the socket (right while no events are handled), a write that finds no
// room waits only while the other end is seen to take bytes.
class TcpBackend : public SerialBackend {
public:
    // Milliseconds on a steady clock; tests move their own.
    using Ticks = std::function<qint64()>;
    explicit TcpBackend(Ticks now = {});
    ~TcpBackend() override;

    // How long a connection may take to be made.
    static constexpr int kConnectMs = 1000;
    // After a failed connection, opens of the same name within this time fail
    // at once with the same reason: an address that does not answer must not
    // hold up every byte of a frame for the whole connect time again.
    static constexpr int kHoldOffMs = 3000;
    // A write that finds no room gives up when the other end has taken
    // nothing for this long.
    static constexpr int kStallMs = 1500;
    // What the kernel holds for sending: as little as a serial driver holds,
    // so that a peer that stops reading is found out soon.
    static constexpr int kSendBufferBytes = 4096;

    bool Open(const QString& deviceName) override;
    bool IsOpen() const override { return fd_ >= 0; }
    bool SetState(quint16 baudRate) override;
    bool SetTimeouts() override;
    bool SetQueues(quint32 receiveSize, quint32 sendSize) override;
    bool WriteByte(quint8 byte) override;
    bool ReadByte(quint8& byte) override;
    qint32 BytesAvailable() override;
    int ReadBlock(char* buffer, int maxCount) override;
    void PurgeInput() override;
    void Close() override;
    // Up while connected.
    bool Rts() const override { return fd_ >= 0 && !lost_; }
    bool Dtr() const override { return fd_ >= 0 && !lost_; }
    SerialError LastError() const override { return error_; }

private:
    void Fail(const QString& step, int errnum, const QString& reason = QString());
    // Makes the connection; false with the reason noted.
    bool Connect(const QString& host, quint16 port);
    // The other end has closed or reset the connection and nothing it sent
    // is left to read.
    bool PeerGone();
    void Lost(const QString& step, int errnum);

    Ticks now_;
    int fd_ = -1;
    bool lost_ = false;
    QString name_;
    SerialError error_;
    // The last failed connection, for the hold-off.
    QString failedName_;
    qint64 failedAt_ = 0;
    SerialError failedError_;
    // The address of the last connection made, for a name the name server
    // cannot give again at a reconnect.
    QString lastName_;
    HostLookup::Address lastAddress_;
};
