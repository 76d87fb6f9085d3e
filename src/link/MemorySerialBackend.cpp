#include "link/MemorySerialBackend.h"

#include <algorithm>
#include <cerrno>
#include <cstring>

#include "link/SerialPeer.h"
#include "shell/Clock.h"

MemorySerialBackend::MemorySerialBackend(VirtualClock* clock) : clock_(clock) {}

quint32 MemorySerialBackend::Now() const {
    return clock_ ? clock_->TickCount() : 0;
}

void MemorySerialBackend::PullFromPeer() {
    if (!peer_) return;
    const quint32 now = Now();
    peer_->Tick(now);
    const QByteArray sent = peer_->ToHost(now);
    if (!gone_) input_.append(sent);
}

void MemorySerialBackend::WaitForInput() {
    // A read of an empty queue takes the read time-out, 1 ms; what arrives
    // meanwhile is still taken by this read.
    if (clock_) clock_->Advance(1);
    PullFromPeer();
}

void MemorySerialBackend::AttachPeer(SerialPeer* peer) {
    peer_ = peer;
    if (peer_) peer_->SetModemLines(rts_, dtr_);
}

void MemorySerialBackend::SetModemLines(bool up) {
    if (rts_ == up && dtr_ == up) return;
    rts_ = dtr_ = up;
    if (peer_) peer_->SetModemLines(rts_, dtr_);
}

void MemorySerialBackend::Fail(const QString& step) {
    error_.device = tried_;
    error_.step = step;
    error_.errnum = failureErrno_;
    error_.reason =
        failureErrno_ != 0 ? QString::fromLocal8Bit(std::strerror(failureErrno_)) : QString();
}

bool MemorySerialBackend::Open(const QString& deviceName) {
    if (open_) Close();
    tried_ = deviceName;
    error_ = {};
    ++openAttempts_;
    if (gone_) {
        error_ = {deviceName, QString(), ENOENT, QString::fromLocal8Bit(std::strerror(ENOENT))};
        return false;
    }
    if (missing_.contains(deviceName)) {
        Fail(QString());
        return false;
    }
    open_ = true;
    device_ = deviceName;
    ++openCount_;
    SetModemLines(true);
    return true;
}

bool MemorySerialBackend::SetState(quint16 baudRate) {
    if (!open_) return false;
    if (failState_) {
        Fail(QStringLiteral("setting the line"));
        return false;
    }
    baud_ = baudRate;
    return true;
}

bool MemorySerialBackend::Write(const QByteArray& bytes) {
    if (!open_) return false;
    if (gone_) {
        error_ = {device_, QStringLiteral("writing"), EIO,
                  QString::fromLocal8Bit(std::strerror(EIO))};
        return false;
    }
    if (failWrites_ != 0) {
        if (failWrites_ > 0) --failWrites_;
        Fail(QStringLiteral("writing"));
        return false;
    }
    const quint32 now = Now();
    for (const char c : bytes) {
        written_.append(Written{quint8(c), now});
        if (peer_) peer_->FromHost(quint8(c), now);
    }
    return true;
}

void MemorySerialBackend::SetRts(bool on) {
    rts_ = on;
    if (peer_) peer_->SetModemLines(rts_, dtr_);
}

void MemorySerialBackend::SetDtr(bool on) {
    dtr_ = on;
    if (peer_) peer_->SetModemLines(rts_, dtr_);
}

bool MemorySerialBackend::ReadByte(quint8& byte) {
    if (!open_ || gone_) {
        PullFromPeer();
        return false;
    }
    PullFromPeer();
    if (input_.isEmpty()) WaitForInput();
    if (input_.isEmpty()) return false;
    byte = quint8(input_.at(0));
    input_.remove(0, 1);
    return true;
}

qint32 MemorySerialBackend::BytesAvailable() {
    if (!open_ || gone_) return 0;
    PullFromPeer();
    return qint32(input_.size());
}

int MemorySerialBackend::ReadBlock(char* buffer, int maxCount) {
    if (!open_ || gone_ || buffer == nullptr || maxCount <= 0) return 0;
    PullFromPeer();
    if (input_.isEmpty()) WaitForInput();
    const int n = int(std::min<qsizetype>(maxCount, input_.size()));
    if (n > 0) {
        std::memcpy(buffer, input_.constData(), size_t(n));
        input_.remove(0, n);
    }
    return n;
}

void MemorySerialBackend::PurgeInput() {
    if (!open_) return;
    PullFromPeer();
    input_.clear();
}

void MemorySerialBackend::Close() {
    if (!open_) return;
    open_ = false;
    ++closeCount_;
    SetModemLines(false);
}

QByteArray MemorySerialBackend::WrittenBytes() const {
    QByteArray out;
    out.reserve(written_.size());
    for (const Written& w : written_)
        out.append(char(w.byte));
    return out;
}
