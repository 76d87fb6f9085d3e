#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <QVector>

#include "link/SerialBackend.h"

class VirtualClock;
class SerialPeer;

// A serial line in memory, for tests: it records every byte written, with the
// virtual time it was written at, delivers scripted input, and can host a
// peer (the simulated controller) that answers what is written.
class MemorySerialBackend : public SerialBackend {
public:
    struct Written {
        quint8 byte;
        quint32 tick;
    };

    explicit MemorySerialBackend(VirtualClock* clock = nullptr);

    bool Open(const QString& deviceName) override;
    bool IsOpen() const override { return open_; }
    bool SetState(quint16 baudRate) override;
    // Every byte is logged at the time of the write and given to the peer.
    bool Write(const QByteArray& bytes) override;
    bool ReadByte(quint8& byte) override;
    qint32 BytesAvailable() override;
    int ReadBlock(char* buffer, int maxCount) override;
    void PurgeInput() override;
    void Close() override;
    bool Rts() const override { return rts_; }
    bool Dtr() const override { return dtr_; }
    SerialError LastError() const override { return error_; }
    bool Failed() const override { return open_ && gone_; }

    // --- test controls ---
    // The peer learns the modem lines at once and at every change.
    void AttachPeer(SerialPeer* peer);
    // The lines as a program would set them by hand (the program itself
    // raises both at open and holds them).
    void SetRts(bool on);
    void SetDtr(bool on);
    void FeedInput(const QByteArray& bytes) { input_.append(bytes); }
    QByteArray PendingInput() const { return input_; }
    // All bytes written so far, in order, and with their times.
    QByteArray WrittenBytes() const;
    const QVector<Written>& WrittenLog() const { return written_; }
    void ClearWritten() { written_.clear(); }

    // Names that fail to open (a device that does not exist).
    void SetMissingDevices(const QStringList& names) { missing_ = names; }
    // Failure switches for each step.
    void SetFailState(bool fail) { failState_ = fail; }
    // The next `n` writes fail (0 = none); -1 makes every write fail. A
    // write is one call: a whole frame from `Send`.
    void SetFailWrites(int n) { failWrites_ = n; }
    // The system error that the failures above report (0 = none given), as
    // a device that is missing (ENOENT) or not ours to open (EACCES) would.
    void SetFailureErrno(int errnum) { failureErrno_ = errnum; }

    // The device goes away (a cable pulled, an adapter gone): the open
    // device reads nothing and takes no byte, what the peer sends meanwhile
    // is lost with what still waited in its queue, and opening fails
    // (ENOENT) until it is back.
    void SetGone(bool gone) {
        gone_ = gone;
        if (gone) input_.clear();
    }
    // Every open tried, whether it worked or not.
    int OpenAttempts() const { return openAttempts_; }

    QString OpenedDevice() const { return device_; }
    quint16 Baud() const { return baud_; }
    int OpenCount() const { return openCount_; }
    int CloseCount() const { return closeCount_; }

private:
    quint32 Now() const;
    // Lets the peer run on to now and takes what it has sent.
    void PullFromPeer();
    // The 1 ms read time-out of a read that finds nothing waiting.
    void WaitForInput();
    void SetModemLines(bool up);
    // Notes a failure of `step` with the errno set by the test.
    void Fail(const QString& step);

    VirtualClock* clock_;
    SerialPeer* peer_ = nullptr;
    bool open_ = false;
    bool rts_ = false;
    bool dtr_ = false;
    QString device_;
    quint16 baud_ = 0;
    QByteArray input_;
    QVector<Written> written_;
    QStringList missing_;
    bool failState_ = false;
    int failWrites_ = 0;
    int failureErrno_ = 0;
    QString tried_; // the name of the last open, whether it worked or not
    SerialError error_;
    int openCount_ = 0;
    int openAttempts_ = 0;
    bool gone_ = false;
    int closeCount_ = 0;
};
