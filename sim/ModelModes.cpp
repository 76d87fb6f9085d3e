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
        otherTransmit_ = code == "XM";
    } else {
        return false;
    }
    EmitFrame(kCtlCommand, code + (accepted ? QByteArray(1, '\0') : QByteArray("?")));
    return true;
}

void Pk232Model::OtherData(const QByteArray& payload) {
    // Sent at once while transmitting, and echoed as it goes; EAS ON keeps
    // the carriage return from the echo.
    if (!otherTransmit_) {
        TakeText(payload);
        return;
    }
    QByteArray echo;
    for (const char c : payload) {
        if (c == kEot) {
            otherTransmit_ = false;
            continue;
        }
        if (c == kCr && EasOn()) continue;
        echo.append(c);
    }
    AppendAirLog(transmitted_, payload);
    if (!echo.isEmpty()) EmitText(kCtlEcho, echo);
}

bool Pk232Model::OtherHeard(OtherMode mode, const QByteArray& text, int wpm) {
    if (other_ != mode || !hostMode_ || otherTransmit_) return false;
    if (wpm > 0) morseWpm_ = wpm;
    AppendAirLog(heard_, text);
    EmitText(kCtlHeard, mode == OtherMode::Ascii && AsciiRateOverridden() ? Garbled(text) : text);
    return true;
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
