#include "link/LineBackend.h"

#include "link/TcpName.h"

bool LineBackend::Open(const QString& deviceName) {
    SerialBackend* wanted = TcpName::Is(deviceName) ? static_cast<SerialBackend*>(&tcp_)
                                                    : static_cast<SerialBackend*>(&serial_);
    if (wanted != active_) active_->Close();
    active_ = wanted;
    return active_->Open(deviceName);
}
