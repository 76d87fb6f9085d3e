#include "link/Poort.h"

#include <cerrno>

#include "link/SerialBackend.h"
#include "shell/Prompts.h"

namespace {

// Marks a port operation as running for exactly as long as it runs. A timer
// may fire while a "Port Error" box is up and run another operation; that one
// must not clear the mark of the operation still waiting on the box.
class BusyMark {
public:
    explicit BusyMark(bool& busy) : busy_(busy), before_(busy) { busy_ = true; }
    ~BusyMark() { busy_ = before_; }
    BusyMark(const BusyMark&) = delete;
    BusyMark& operator=(const BusyMark&) = delete;

private:
    bool& busy_;
    bool before_;
};

} // namespace

Poort::Poort(SerialBackend& backend, Prompts& prompts) : backend_(backend), prompts_(prompts) {}

QString Poort::PortErrorText(const SerialError& error) {
    QString text = QStringLiteral("Port Error");
    if (error.reason.isEmpty()) return text;
    text += QLatin1Char('\n') + error.device + QStringLiteral(": ");
    if (!error.step.isEmpty()) text += error.step + QStringLiteral(": ");
    text += error.reason;
    if (error.errnum == EACCES || error.errnum == EPERM)
        text += QStringLiteral("\nAdd your user to the group dialout "
                               "(sudo adduser $USER dialout) and log in again.");
    return text;
}

QString Poort::PortErrorText() const {
    return PortErrorText(backend_.LastError());
}

void Poort::PortError() {
    ++failures_;
    if (quiet_) return;
    // The answer is not looked at.
    prompts_.MessageBox(PortErrorText(), QStringLiteral("Warning"), Prompts::Buttons::OkCancel);
}

void Poort::SetUpFailed() {
    // With no device open the failed open has said it already: the steps
    // after it count, but add no box of their own.
    if (PortOpen_)
        PortError();
    else
        ++failures_;
}

int Poort::TakeFailures() {
    const int taken = failures_;
    failures_ = 0;
    return taken;
}

void Poort::PoortOpen(const QString& deviceName) {
    BusyMark busy(PortBusy_);
    if (PortOpen_) {
        backend_.Close();
        PortOpen_ = false;
    }
    if (backend_.Open(deviceName))
        PortOpen_ = true;
    else
        PortError();
}

void Poort::PoortSetState(quint16 baudRate) {
    BusyMark busy(PortBusy_);
    if (!backend_.SetState(baudRate)) SetUpFailed();
}

void Poort::PoortSetTimeouts() {
    BusyMark busy(PortBusy_);
    if (!backend_.SetTimeouts()) SetUpFailed();
}

void Poort::PoortSetQueues(quint32 receiveSize, quint32 sendSize) {
    BusyMark busy(PortBusy_);
    if (!backend_.SetQueues(receiveSize, sendSize)) SetUpFailed();
}

bool Poort::PoortWriteByte(quint8 byte) {
    BusyMark busy(PortBusy_);
    return backend_.WriteByte(byte);
}

bool Poort::PoortReadByte(quint8& byte) {
    BusyMark busy(PortBusy_);
    return backend_.ReadByte(byte);
}

qint32 Poort::PoortBytesAvailable() {
    BusyMark busy(PortBusy_);
    const qint32 waiting = backend_.BytesAvailable();
    return waiting > 0 ? waiting : 0;
}

quint16 Poort::PoortReadBlock(char* buffer, quint16& count) {
    BusyMark busy(PortBusy_);
    if (buffer == nullptr) return count;
    if (backend_.BytesAvailable() > 0) {
        const int got = backend_.ReadBlock(buffer, count);
        count = quint16(got > 0 ? got : 0);
    }
    return count;
}

void Poort::PoortPurgeInput() {
    BusyMark busy(PortBusy_);
    backend_.PurgeInput();
}

void Poort::PoortClose() {
    BusyMark busy(PortBusy_);
    if (PortOpen_) backend_.Close();
    PortOpen_ = false;
}
