#include "Pk232Model.h"

#include "ModelShared.h"

using namespace pk232sim;

// ---------------------------------------------------------------- HOST mode

void Pk232Model::EnterHostMode() {
    hostMode_ = true;
    polled_.clear();
    frameState_ = FrameState::Idle;
    payload_.clear();
    line_.clear();
    ScheduleBand(true);
}

void Pk232Model::HostByte(quint8 byte) {
    // A frame whose bytes stopped coming is given up, so that the next start
    // byte begins a fresh frame.
    if (frameState_ != FrameState::Idle && qint32(now_ - lastByteAt_) > qint32(kFrameGapMs)) {
        frameState_ = FrameState::Idle;
        payload_.clear();
    }
    switch (frameState_) {
    case FrameState::Idle:
        if (byte == kSoh) {
            NoteOutside();
            frameState_ = FrameState::Control;
        } else {
            outside_.append(char(byte));
            if (byte == kCr || outside_.size() >= kMaxOutsideNote) NoteOutside();
        }
        return;
    case FrameState::Control:
        if (byte == kSoh) return; // "\x01\x01OGG\x17": a fresh start
        control_ = byte;
        payload_.clear();
        overlong_ = false;
        escaped_ = false;
        frameState_ = FrameState::Payload;
        return;
    case FrameState::Payload:
        if (escaped_) {
            escaped_ = false;
            AppendPayload(byte);
        } else if (byte == kDle) {
            escaped_ = true;
        } else if (byte == kSoh) {
            // An unescaped start byte: the frame before it lost its end.
            frameState_ = FrameState::Control;
        } else if (byte == kEtb) {
            frameState_ = FrameState::Idle;
            const QByteArray payload = payload_;
            payload_.clear();
            if (!overlong_) HostFrame(control_, payload);
        } else {
            AppendPayload(byte);
        }
        return;
    }
}

void Pk232Model::AppendPayload(quint8 byte) {
    if (payload_.size() < kMaxPayload) {
        payload_.append(char(byte));
    } else {
        overlong_ = true; // read on to its end, then drop it whole
    }
}

namespace {
// Return codes of a command reply.
constexpr quint8 kDone = 0x00;
constexpr quint8 kBad = 0x01;
constexpr quint8 kUnknown = 0x07;
constexpr quint8 kNotWhileConnected = 0x09;
constexpr quint8 kAlreadyConnected = 0x0C;
} // namespace

void Pk232Model::HostFrame(quint8 control, const QByteArray& payload) {
    AppendBounded(frames_, Frame{control, payload}, kMaxLog);
    if (payload.size() > kMaxHostBlock) {
        // Longer than a unit takes: refused whole, as a bad block.
        EmitFrame(kCtlAck, "XXW");
        return;
    }
    if (OtherModeFrame(control, payload)) return; // Morse, ASCII, NAVTEX, packet
    if (control == kCtlCommand) {
        HostCommand(payload);
    } else if (control == kCtlData) {
        // Taken at once, before anything of it goes out.
        EmitFrame(kCtlAck, QByteArray("XX\0", 3));
        HostData(payload);
    }
}

void Pk232Model::HostCommand(const QByteArray& payload) {
    // Case matters: "Pt" is PACTOR standby, "PT" PACTIME.
    const QByteArray mnemonic = payload.left(2);
    const QByteArray& code = mnemonic;
    const QByteArray args = payload.mid(2).trimmed();
    const bool linked = link_ != Link::None;
    quint8 result = kDone;

    if (code == "OP") {
        ++statusRequests_;
        const QByteArray body = StatusBody();
        if (link_ == Link::Calling) ++callingReports_;
        if (link_ == Link::Connected) {
            if (!opening_.isEmpty()) {
                opening_.remove(0, 1);
            } else if (body.at(4) == '3') {
                idleReported_ = true;
            }
            if (fadeEndAt_) ++fadeReports_;
        }
        EmitFrame(kCtlCommand, body);
        return;
    }
    if (code == "HO" && IsOff(args)) {
        LeaveHostMode();
        EmitPrompt();
        return;
    }
    if (code == "GG" && args.isEmpty() && HostPolled()) {
        Poll();
        return;
    }
    if (const std::optional<bool> fax = FaxCommand(code, args)) {
        EmitFrame(kCtlCommand, mnemonic + (*fax ? QByteArray(1, '\0') : QByteArray("?")));
        return;
    }
    if (code == "PT" && args.isEmpty()) { // PACTIME, a packet parameter
        EmitFrame(kCtlCommand, "PTA " + params_.value("PACTIME", "10"));
        return;
    }
    if (!pactorOption_ && IsPactorCommand(code)) {
        result = kUnknown;
    } else if (code == "PT") {
        params_["PACTIME"] = args;
    } else if (code == "Pt" || code == "AM") { // standby; ends a link at once
        if (link_ == Link::Connected) {
            EndLink(true);
        } else if (link_ == Link::Calling) {
            EndLink(false);
        }
        SetMode(code == "Pt" ? Mode::PactorStandby : Mode::AmtorStandby);
    } else if (code == "PG" || code == "AC") {
        if (link_ == Link::Connected) {
            result = kAlreadyConnected;
        } else {
            StartCall(code == "PG" ? Mode::PactorArq : Mode::AmtorArq, args.left(20));
        }
    } else if (code == "AG") {
        if (link_ == Link::Connected) {
            manualTurn_ = false;
            ChangeOver(!weSend_);
        }
    } else if (code == "PN" || code == "AL" || code == "PD" || code == "FE" || code == "BA" ||
               code == "XM" || code == "RC") {
        if (linked) {
            result = kNotWhileConnected; // a link runs: only standby ends it
        } else if (code == "PN") {
            SetMode(Mode::PactorListen);
        } else if (code == "AL") {
            SetMode(Mode::AmtorListen);
        } else if (code == "PD") {
            SetMode(Mode::PactorUnproto);
        } else if (code == "FE") {
            SetMode(Mode::AmtorFec);
        } else {
            SetMode(Mode::Rtty, code == "XM");
        }
    } else if (code == "ML" || code == "MG") { // MYCALL, MYSELCAL
        if (linked) {
            result = kNotWhileConnected; // measured for MYCALL: 0x09
        } else if (!args.isEmpty()) {
            params_[code == "ML" ? "MYCALL" : "MYSELCAL"] = args;
        }
    } else if (code == "HP") { // HPOLL
        if (IsOn(args) || IsOff(args)) {
            params_["HPOLL"] = IsOn(args) ? "ON" : "OFF";
        } else {
            result = kBad;
        }
    } else if (code == "TC") {
        txBuffer_.clear();
        otherTx_.clear();
        ScheduleOtherAir();
    } else if (code == "TL") {
        if (IsOn(args)) {
            params_["MAILDROP"] = "ON";
        } else if (IsOff(args)) {
            params_["MAILDROP"] = "OFF";
        } else {
            result = kBad;
        }
        ScheduleMaildrop(false);
    } else if (code == "DA") {
        if (IsTenDigits(args)) {
            clockText_ = args;
        } else {
            result = kBad;
        }
    } else if (code == "GG" || code == "HO") {
        // nothing to do
    } else {
        result = kUnknown;
    }
    // The short reply: the mnemonic and its return code.
    EmitFrame(kCtlCommand, mnemonic + QByteArray(1, char(result)));
    // An empty call fails at once, after the reply.
    if (result == kDone && link_ == Link::Calling && linkCall_.isEmpty()) FailCall();
}

void Pk232Model::HostData(const QByteArray& payload) {
    TakeText(payload);
}

void Pk232Model::TakeText(const QByteArray& text) {
    for (qsizetype i = 0; i < text.size(); ++i) {
        const quint8 byte = quint8(text.at(i));
        if (byte == kEot && link_ == Link::Calling) {
            EndLink(false); // the call is given up
            continue;
        }
        // In AMTOR and RTTY the text is taken in the Baudot alphabet: what it
        // has no sign for never enters the buffer (0x04 still ends the
        // transmission when its turn comes).
        if (!IsPactor() && byte != kEot && !InBaudot(byte)) continue;
        if (txBuffer_.size() >= kMaxTransmitBuffer) {
            Note("transmit buffer full: " + QByteArray::number(text.size() - i) + " bytes dropped");
            return;
        }
        txBuffer_.append(char(byte));
    }
}
