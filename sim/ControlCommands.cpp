#include "ControlCommands.h"

#include "Pk232Model.h"

namespace {

const char kHelp[] = "Commands of the simulated PK-232 (the other side of the air):\n"
                     "  call CALL                   CALL calls us in PACTOR or AMTOR\n"
                     "  text TEXT                   the other station sends a line of text\n"
                     "                              (\\n line break, \\t tab, \\xNN any byte)\n"
                     "  over                        the other station changes over\n"
                     "  disc                        the other station disconnects\n"
                     "  fade                        the signal fades until the link fails\n"
                     "  band off|quiet|normal|busy  how much traffic the band carries\n"
                     "  answer on|off               whether a called station answers\n"
                     "  mail FROM TEXT              FROM leaves a message in the mailbox\n"
                     "  speed N                     air speed N times the real one, 0 instant\n"
                     "  stall on|off                the unit stops (and goes on) taking bytes\n"
                     "                              off the line"
                     "  cold                        switched off and on with no stored rate:\n"
                     "                              waits for '*', then 7 bits, even parity\n"
                     "  cmd                         at the cmd: prompt (8 bits, no parity)\n"
                     "  converse                    in Converse: all it gets is text to send\n"
                     "  host                        in HOST mode (8 bits, no parity)\n"
                     "  hpoll on|off                HPOLL: with it on, frames wait for the poll\n"
                     "  params                      the parameters the controller holds\n"
                     "  fax on|off                  in FAX mode: a weather-fax chart starts\n"
                     "                              now / stops where it is (signal lost)\n"
                     "  state                       what the controller is doing\n"
                     "  help                        this list\n";

int HexDigit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

QByteArray LinkName(Pk232Model::Link link) {
    switch (link) {
    case Pk232Model::Link::None:
        return "none";
    case Pk232Model::Link::Calling:
        return "calling";
    case Pk232Model::Link::Connected:
        return "connected";
    }
    return "none";
}

QByteArray PaceName(Pk232Model::BandPace pace) {
    switch (pace) {
    case Pk232Model::BandPace::Off:
        return "off";
    case Pk232Model::BandPace::Quiet:
        return "quiet";
    case Pk232Model::BandPace::Normal:
        return "normal";
    case Pk232Model::BandPace::Busy:
        return "busy";
    }
    return "normal";
}

QByteArray UnitStateName(Pk232Model::UnitState state) {
    switch (state) {
    case Pk232Model::UnitState::Cold:
        return "cold, waiting for '*'";
    case Pk232Model::UnitState::Command:
        return "command line";
    case Pk232Model::UnitState::Converse:
        return "Converse";
    case Pk232Model::UnitState::Host:
        return "HOST";
    }
    return "command line";
}

QByteArray State(const Pk232Model& model) {
    QByteArray text = "mode " + model.ModeCode() + " (" + UnitStateName(model.CurrentUnitState()) +
                      ", line " + model.LineFormat() + ")";
    text += ", link " + LinkName(model.LinkState());
    if (model.LinkState() != Pk232Model::Link::None) {
        text += " with " + model.LinkCall() +
                (model.WeAreSending() ? ", we send" : ", the other station sends");
    }
    if (!model.OtherState().isEmpty()) text += "\n" + model.OtherState().chopped(1);
    text += "\nstatus " + model.OtherStatusBody() + ", transmit buffer " +
            QByteArray::number(model.TransmitBuffer().size()) + " bytes, band " +
            PaceName(model.CurrentBandPace()) + ", air speed x" +
            QByteArray::number(model.AirSpeed()) +
            (model.LineStalled() ? ", line stalled" : "") + ", maildrop " +
            (model.MaildropOn() ? "on" : "off") + ", " + QByteArray::number(model.MessageCount()) +
            " message(s)\n";
    return text;
}

} // namespace

QByteArray UnescapeControlText(const QByteArray& text) {
    QByteArray out;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char c = text.at(i);
        if (c != '\\' || i + 1 >= text.size()) {
            out.append(c);
            continue;
        }
        const char next = text.at(i + 1);
        if (next == 'r' || next == 'n') {
            out.append('\r');
            ++i;
        } else if (next == 't') {
            out.append('\t');
            ++i;
        } else if (next == '\\') {
            out.append('\\');
            ++i;
        } else if (next == 'x' && i + 3 < text.size() && HexDigit(text.at(i + 2)) >= 0 &&
                   HexDigit(text.at(i + 3)) >= 0) {
            out.append(char(HexDigit(text.at(i + 2)) * 16 + HexDigit(text.at(i + 3))));
            i += 3;
        } else {
            out.append(c);
        }
    }
    return out;
}

QByteArray RunControlCommand(Pk232Model& model, const QByteArray& line, quint32 nowMs) {
    const QByteArray trimmed = line.trimmed();
    const qsizetype blank = trimmed.indexOf(' ');
    const QByteArray word = (blank < 0 ? trimmed : trimmed.left(blank)).toLower();
    const QByteArray rest = blank < 0 ? QByteArray() : trimmed.mid(blank + 1).trimmed();
    const QByteArray arg = rest.toLower();
    model.Tick(nowMs);

    if (word.isEmpty()) return {};
    if (word == "help" || word == "?") return kHelp + QByteArray(kOtherModesHelp);
    if (const auto answer = RunOtherModeCommand(model, word, rest)) return *answer;
    if (word == "call") {
        if (rest.isEmpty() || rest.contains(' ')) return "?usage: call CALL\n";
        if (!model.RemoteCall(rest, nowMs)) {
            return "?no call now: the controller must stand by or listen in PACTOR or AMTOR, "
                   "with no link\n";
        }
        return rest.toUpper() + " calls and connects\n";
    }
    if (word == "text") {
        if (!model.RemoteText(UnescapeControlText(rest), nowMs)) {
            return "?nobody hears it: no link, and the controller is not listening\n";
        }
        return "sent\n";
    }
    if (word == "over") {
        if (!model.RemoteChangeOver(nowMs)) return "?no link\n";
        return model.WeAreSending() ? "the turn is ours\n" : "the other station has the turn\n";
    }
    if (word == "disc" || word == "disconnect") {
        if (!model.RemoteDisconnect(nowMs)) return "?no link\n";
        return "disconnected\n";
    }
    if (word == "fade") {
        if (!model.SignalFade(nowMs)) return "?no link\n";
        return "the signal fades\n";
    }
    if (word == "band") {
        if (arg == "off") {
            model.SetBandPace(Pk232Model::BandPace::Off);
        } else if (arg == "quiet") {
            model.SetBandPace(Pk232Model::BandPace::Quiet);
        } else if (arg == "normal") {
            model.SetBandPace(Pk232Model::BandPace::Normal);
        } else if (arg == "busy") {
            model.SetBandPace(Pk232Model::BandPace::Busy);
        } else {
            return "?usage: band off|quiet|normal|busy\n";
        }
        return "band " + arg + "\n";
    }
    if (word == "answer") {
        if (arg != "on" && arg != "off") return "?usage: answer on|off\n";
        model.SetAnswerCalls(arg == "on");
        return "called stations " + QByteArray(arg == "on" ? "answer" : "do not answer") + "\n";
    }
    if (word == "mail") {
        const qsizetype space = rest.indexOf(' ');
        if (space <= 0) return "?usage: mail FROM TEXT\n";
        const QByteArray from = rest.left(space);
        const QByteArray text = UnescapeControlText(rest.mid(space + 1).trimmed());
        QByteArray to = model.MyCall().trimmed();
        if (to.isEmpty()) to = "NOCALL";
        if (!model.AddMessage(from, to, text)) return "?the mailbox is full\n";
        return "message " + QByteArray::number(model.MessageCount()) + " from " + from.toUpper() +
               " stored\n";
    }
    if (word == "speed") {
        bool ok = false;
        const int factor = rest.toInt(&ok);
        if (!ok || factor < 0 || factor > 1000) return "?usage: speed N (0 to 1000)\n";
        model.SetAirSpeed(factor);
        return "air speed x" + QByteArray::number(factor) + "\n";
    }
    if (word == "stall") {
        if (arg != "on" && arg != "off") return "?usage: stall on|off\n";
        model.SetLineStalled(arg == "on");
        return arg == "on" ? "the line is stalled: no byte is taken off it\n"
                           : "the line goes on\n";
    }
    if (word == "hpoll") {
        if (arg != "on" && arg != "off") return "?usage: hpoll on|off\n";
        model.SetHpoll(arg == "on");
        return "HPOLL " + arg + "\n";
    }
    if (word == "params") {
        QByteArray text;
        const auto params = model.Params();
        for (auto it = params.cbegin(); it != params.cend(); ++it)
            text += it.key() + " " + it.value() + "\n";
        return text + "end of parameters\n";
    }
    if (word == "fax") {
        if (arg == "on" || arg.isEmpty()) {
            if (!model.StartFaxPicture(nowMs))
                return "?no picture: the controller must be in FAX mode (FA) with PRFAX OFF\n";
            return "a fax picture starts, a band every " + QByteArray::number(model.FaxBandMs()) +
                   " ms at air speed x1\n";
        }
        if (arg != "off") return "?usage: fax on|off\n";
        return model.StopFaxPicture(nowMs) ? "the fax picture stops\n" : "?no fax picture\n";
    }
    if (word == "state" || word == "status") return State(model);
    if (word == "cold" || word == "cmd" || word == "converse" || word == "host") {
        const Pk232Model::UnitState state = word == "cold"       ? Pk232Model::UnitState::Cold
                                            : word == "cmd"      ? Pk232Model::UnitState::Command
                                            : word == "converse" ? Pk232Model::UnitState::Converse
                                                                 : Pk232Model::UnitState::Host;
        model.PutInState(state, nowMs);
        return "the controller is now " + UnitStateName(state) + ", line " + model.LineFormat() +
               "\n";
    }
    return "?unknown command " + word + " (help lists them)\n";
}
