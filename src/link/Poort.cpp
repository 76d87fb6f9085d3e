#include "link/Poort.h"

#include <QScopedValueRollback>

#include <cerrno>

#include "link/SerialBackend.h"
#include "shell/Prompts.h"

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
    // A timer may fire while a "Port Error" box is up and run another
    // operation; that one must not clear the mark of the one still waiting.
    const QScopedValueRollback busy(PortBusy_, true);
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
    const QScopedValueRollback busy(PortBusy_, true);
    if (!backend_.SetState(baudRate)) SetUpFailed();
}

bool Poort::PoortWrite(const QByteArray& bytes) {
    const QScopedValueRollback busy(PortBusy_, true);
    return PortOpen_ && backend_.Write(bytes);
}

bool Poort::LineDown() const {
    return !PortOpen_ || backend_.Failed();
}

bool Poort::LineCarrying() const {
    return PortOpen_ && backend_.Carrying();
}

bool Poort::LineMoving() const {
    return PortOpen_ && !backend_.Failed() && backend_.Moving();
}

qint64 Poort::LineUnsent() const {
    return PortOpen_ ? backend_.Unsent() : 0;
}

quint64 Poort::TakeLost() {
    return backend_.TakeLost();
}

bool Poort::PoortReadByte(quint8& byte) {
    const QScopedValueRollback busy(PortBusy_, true);
    return backend_.ReadByte(byte);
}

qint32 Poort::PoortBytesAvailable() {
    const QScopedValueRollback busy(PortBusy_, true);
    const qint32 waiting = backend_.BytesAvailable();
    return waiting > 0 ? waiting : 0;
}

quint16 Poort::PoortReadBlock(char* buffer, quint16& count) {
    const QScopedValueRollback busy(PortBusy_, true);
    if (buffer == nullptr) return count;
    if (backend_.BytesAvailable() > 0) {
        const int got = backend_.ReadBlock(buffer, count);
        count = quint16(got > 0 ? got : 0);
    }
    return count;
}

void Poort::PoortPurgeInput() {
    const QScopedValueRollback busy(PortBusy_, true);
    backend_.PurgeInput();
}

void Poort::PoortClose() {
    const QScopedValueRollback busy(PortBusy_, true);
    if (PortOpen_) backend_.Close();
    PortOpen_ = false;
}
