#include "Pk232Model.h"

#include "ModelShared.h"

using namespace pk232sim;

// ---------------------------------------------------------------- the line

namespace {

// The bit in bit 7 of a 7-bit character as a host at 8 bits reads it: the
// parity bit, or with no parity the stop bit (always 1).
quint8 SeventhBit(quint8 byte, int parity) {
    int ones = 0;
    for (int bit = 0; bit < 7; ++bit)
        ones += (byte >> bit) & 1;
    if (parity == 3) return quint8((ones % 2) << 7);     // even
    if (parity == 1) return quint8((1 - ones % 2) << 7); // odd
    return 0x80;
}

} // namespace

void Pk232Model::SetModemLines(bool rts, bool dtr) {
    rts_ = rts;
    dtr_ = dtr;
}

quint8 Pk232Model::FromLine(quint8 byte) const {
    return wordLength_ == 7 ? quint8(byte & 0x7F) : byte;
}

QByteArray Pk232Model::ToLine(const QByteArray& bytes) const {
    if (wordLength_ != 7) return bytes; // at 8 bits a parity bit falls on the stop bit
    QByteArray out = bytes;
    for (char& c : out) {
        const quint8 low = quint8(c) & 0x7F;
        c = char(low | SeventhBit(low, parity_));
    }
    return out;
}

void Pk232Model::SetLineFormat(int wordLength, int parity) {
    wordLength_ = wordLength;
    parity_ = parity;
    params_["AWLEN"] = QByteArray::number(wordLength);
    params_["PARITY"] = QByteArray::number(parity);
}

void Pk232Model::ApplyLineParams() {
    // What AWLEN and PARITY hold takes effect now (at RESTART).
    bool ok = false;
    const int length = params_.value("AWLEN").trimmed().toInt(&ok);
    if (ok && (length == 7 || length == 8)) wordLength_ = length;
    const int parity = params_.value("PARITY").trimmed().toInt(&ok);
    if (ok && parity >= 0 && parity <= 3) parity_ = parity;
}

QByteArray Pk232Model::LineFormat() const {
    const char parity = parity_ == 1 ? 'O' : parity_ == 3 ? 'E' : 'N';
    return QByteArray::number(wordLength_) + parity + '1';
}

Pk232Model::UnitState Pk232Model::CurrentUnitState() const {
    if (cold_) return UnitState::Cold;
    if (hostMode_) return UnitState::Host;
    if (converse_) return UnitState::Converse;
    return UnitState::Command;
}

void Pk232Model::LeaveHostMode() {
    hostMode_ = false;
    frameState_ = FrameState::Idle;
    payload_.clear();
    lineMode_ = LineMode::Command;
    line_.clear();
    FlushEcho();
    FlushHeard();
    rxAir_.clear();
    ScheduleBand(true);
}

void Pk232Model::PutInState(UnitState state, quint32 nowMs) {
    Advance(nowMs);
    if (hostMode_) LeaveHostMode();
    lineMode_ = LineMode::Command;
    line_.clear();
    compose_.clear();
    swallowCr_ = false;
    converse_ = false;
    cold_ = false;
    switch (state) {
    case UnitState::Cold:
        // Switched off and on with no stored rate: what was on its way is
        // lost, and the line is at the factory setting.
        ResetOperatingState();
        out_.clear();
        echo_.clear();
        heardBatch_.clear();
        SetLineFormat(7, 3);
        cold_ = true;
        return;
    case UnitState::Command:
        SetLineFormat(8, 0);
        return;
    case UnitState::Converse:
        SetLineFormat(8, 0);
        converse_ = true;
        return;
    case UnitState::Host:
        SetLineFormat(8, 0);
        EnterHostMode();
        return;
    }
}

void Pk232Model::ConverseByte(quint8 byte) {
    if (byte == kCommandKey) {
        converse_ = false;
        line_.clear();
        EmitPrompt();
        return;
    }
    if (byte == kXon || byte == kXoff) return;
    if (byte == kCanLine) {
        // The line typed so far, as far as it has not gone out yet.
        const qsizetype lineStart = txBuffer_.lastIndexOf(char(kCr)) + 1;
        txBuffer_.truncate(lineStart);
        return;
    }
    // Everything else is text to transmit, frame bytes and "host on" alike.
    if (EchoOn()) Emit(byte == kCr ? QByteArray("\r\n") : QByteArray(1, char(byte)));
    TakeText(QByteArray(1, char(byte)));
}
