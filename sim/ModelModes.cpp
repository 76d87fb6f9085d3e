#include "Pk232Model.h"

#include "ModelShared.h"

using namespace pk232sim;

// ------------------------------------ Morse, ASCII, NAVTEX, packet: commands

namespace {
bool IsOtherModeCode(const QByteArray& code) {
    return code == "MO" || code == "AS" || code == "NA" || code == "PA";
}
// The commands of the three modes this model knows best: they leave the
// other modes.
bool IsOwnModeCode(const QByteArray& code) {
    return code == "Pt" || code == "AM" || code == "PN" || code == "AL" || code == "PD" ||
           code == "FE" || code == "BA" || code == "PG" || code == "AC";
}
bool NumberIn(const QByteArray& text, int low, int high) {
    bool ok = false;
    const int n = text.toInt(&ok);
    return ok && n >= low && n <= high;
}
} // namespace

bool Pk232Model::OtherModeFrame(quint8 control, const QByteArray& payload) {
    if (control == kCtlCommand) {
        const QByteArray code = payload.left(2);
        const QByteArray args = payload.mid(2).trimmed();
        if (other_ != OtherMode::None && IsOwnModeCode(code)) {
            for (const int channel : packetLinks_.keys())
                PacketEnd(channel, false);
            other_ = OtherMode::None;
            ClearOtherAir();
            return false;
        }
        return OtherModeCommand(code, args);
    }
    if (other_ == OtherMode::Packet && control >= 0x40 && control <= 0x4E) {
        PacketCommand(control & 0x0F, payload);
        return true;
    }
    if (other_ == OtherMode::Packet && control >= kCtlData && control <= 0x2E) {
        EmitFrame(kCtlAck, QByteArray("XX\0", 3));
        PacketData(control & 0x0F, payload);
        return true;
    }
    if ((other_ == OtherMode::Morse || other_ == OtherMode::Ascii) && control == kCtlData) {
        EmitFrame(kCtlAck, QByteArray("XX\0", 3));
        OtherData(payload);
        return true;
    }
    return false;
}

bool Pk232Model::OtherModeCommand(const QByteArray& code, const QByteArray& args) {
    bool accepted = true;
    if (code == "OP" && other_ != OtherMode::None) {
        ++statusRequests_;
        EmitFrame(kCtlCommand, OtherStatusBody());
        return true;
    }
    if (IsOtherModeCode(code)) {
        FlushEcho();
        FlushHeard();
        SetMode(Mode::PactorStandby);
        other_ = code == "MO"   ? OtherMode::Morse
                 : code == "AS" ? OtherMode::Ascii
                 : code == "NA" ? OtherMode::Navtex
                                : OtherMode::Packet;
        otherTransmit_ = false;
        ClearOtherAir();
        navtexTrafficAt_.reset();
    } else if (code == "MP") {
        accepted = NumberIn(args, 5, 99);
        if (accepted) params_["MSPEED"] = args;
    } else if (code == "AB") {
        accepted = NumberIn(args, 45, 9600);
        if (accepted) params_["ABAUD"] = args;
    } else if (code == "XB") {
        accepted = NumberIn(args, 0, 9600);
        if (accepted) params_["XBAUD"] = args;
    } else if (code == "UR") {
        // USERS n: stations calling in get channels 0 to n - 1.
        accepted = NumberIn(args, 0, 10);
        if (accepted) params_["USERS"] = args;
    } else if (code == "MN") {
        // "MN Y" is level 4.
        const QByteArray level = IsOn(args) ? "4" : IsOff(args) ? "0" : args;
        accepted = NumberIn(level, 0, 6);
        if (accepted) params_["MONITOR"] = level;
    } else if (code == "NS" || code == "NM") {
        params_[code == "NS" ? "NAVSTN" : "NAVMSG"] = args.toUpper();
    } else if ((code == "XM" || code == "RC") &&
               (other_ == OtherMode::Morse || other_ == OtherMode::Ascii)) {
        // Keyed, this station hears nothing of what was still coming in;
        // unkeyed, what waits to go out stays for the next XM.
        otherTransmit_ = code == "XM";
        if (otherTransmit_) otherRx_.clear();
        otherAt_.reset();
        ScheduleOtherAir();
    } else {
        return false;
    }
    EmitFrame(kCtlCommand, code + (accepted ? QByteArray(1, '\0') : QByteArray("?")));
    return true;
}

void Pk232Model::OtherData(const QByteArray& payload) {
    // Into the transmit buffer; it goes out while keyed (XM), at the mode's
    // speed.
    const qsizetype room = kMaxTransmitBuffer - otherTx_.size();
    if (payload.size() > room)
        Note("transmit buffer full: " + QByteArray::number(payload.size() - room) +
             " bytes dropped");
    otherTx_.append(payload.left(room));
    ScheduleOtherAir();
}

bool Pk232Model::OtherHeard(OtherMode mode, const QByteArray& text, int wpm) {
    if (other_ != mode || !hostMode_ || otherTransmit_) return false;
    if (wpm > 0) morseWpm_ = wpm;
    AppendAirLog(heard_, text);
    otherRx_ += mode == OtherMode::Ascii && AsciiRateOverridden() ? Garbled(text) : text;
    ScheduleOtherAir();
    return true;
}

int Pk232Model::OtherCharMs(bool sending) const {
    // Morse: five characters a word (PARIS) at MSPEED going out, at the
    // speed heard coming in; ASCII: ten bits a character at ABAUD.
    if (airSpeed_ == 0) return 0;
    int ms = 0;
    if (other_ == OtherMode::Morse) {
        const int wpm = sending ? ParamNumber("MSPEED", 20) : morseWpm_;
        ms = 60000 / (5 * qMax(5, wpm));
    } else {
        ms = 10000 / qMax(45, ParamNumber("ABAUD", 110));
    }
    return qMax(1, ms / airSpeed_);
}

void Pk232Model::OtherAirStep() {
    if (otherTransmit_ && !otherTx_.isEmpty()) {
        const char c = otherTx_.at(0);
        otherTx_.remove(0, 1);
        if (c == kEot) {
            otherTransmit_ = false; // unkeyed once what came before it is out
        } else {
            AppendAirLog(transmitted_, QByteArray(1, c));
            // EAS ON: a space is echoed, a line end is not.
            if (!((c == kCr || c == kLf) && EasOn())) EmitText(kCtlEcho, QByteArray(1, c));
        }
    } else if (!otherTransmit_ && !otherRx_.isEmpty()) {
        EmitText(kCtlHeard, otherRx_.left(1));
        otherRx_.remove(0, 1);
    }
}

void Pk232Model::ScheduleOtherAir() {
    const auto more = [this] { return otherTransmit_ ? !otherTx_.isEmpty() : !otherRx_.isEmpty(); };
    if (!more()) {
        otherAt_.reset();
        return;
    }
    if (otherAt_) return;
    const int ms = OtherCharMs(otherTransmit_);
    if (ms > 0) {
        otherAt_ = now_ + quint32(ms);
        return;
    }
    // No air time: all of it at once.
    for (qsizetype left = otherTx_.size() + otherRx_.size(); left > 0 && more(); --left)
        OtherAirStep();
}

void Pk232Model::ClearOtherAir() {
    otherTx_.clear();
    otherRx_.clear();
    otherAt_.reset();
}

bool Pk232Model::AsciiRateOverridden() const {
    // A rate left in XBAUD (from Baudot) overrides ABAUD: the unit samples
    // at the wrong rate and decodes nothing sensible.
    return Param("XBAUD").toInt() != 0;
}

QByteArray Pk232Model::Garbled(const QByteArray& text) {
    QByteArray out = text;
    for (char& c : out)
        if (c != kCr) c = char(0x21 + (quint8(c) * 37 + 11) % 94);
    return out;
}

QByteArray Pk232Model::OtherStatusBody() const {
    const char x = otherTransmit_ ? 'S' : 'R';
    switch (other_) {
    case OtherMode::Morse:
        return "OPMO" + QByteArray(1, x) + QByteArray::number(morseWpm_).rightJustified(2, '0');
    case OtherMode::Ascii:
        return "OPAS" + QByteArray(1, x);
    case OtherMode::Navtex: {
        const bool traffic =
            navtexTrafficAt_ && qint32(now_ - *navtexTrafficAt_) < qint32(kTrafficShowMs);
        return QByteArray("OPNA") + (traffic ? '4' : '3');
    }
    case OtherMode::Packet:
        return "OPPA";
    case OtherMode::None:
        break;
    }
    return StatusBody();
}

QByteArray Pk232Model::OtherState() const {
    switch (other_) {
    case OtherMode::Morse:
        return "morse, " + QByteArray(otherTransmit_ ? "transmitting" : "receiving") + " at " +
               QByteArray::number(morseWpm_) + " WPM, MSPEED " + Param("MSPEED") + "\n";
    case OtherMode::Ascii:
        return "ascii, " + QByteArray(otherTransmit_ ? "transmitting" : "receiving") +
               ", ABAUD " + Param("ABAUD") + ", XBAUD " + Param("XBAUD") + "\n";
    case OtherMode::Navtex:
        return "navtex, NAVSTN " + Param("NAVSTN") + ", NAVMSG " + Param("NAVMSG") + "\n";
    case OtherMode::Packet: {
        QByteArray text = "packet, MONITOR " + Param("MONITOR");
        for (auto it = packetLinks_.cbegin(); it != packetLinks_.cend(); ++it)
            text += ", channel " + QByteArray::number(it.key()) + " connected to " + it.value();
        return text + "\n";
    }
    case OtherMode::None:
        break;
    }
    return {};
}
