#include "ControlCommands.h"

#include "Pk232Model.h"

// Control commands for Morse, ASCII, NAVTEX and packet.
const char kOtherModesHelp[] =
    "  morse [WPM] TEXT            a Morse station sends TEXT (at WPM, reported in the status)\n"
    "  ascii TEXT                  an ASCII station sends TEXT\n"
    "  navtex [N]                  the next N NAVTEX messages (one a repeat), as NAVSTN\n"
    "                              and NAVMSG let them through\n"
    "  navtex block 30|3f          the block NAVTEX text comes in (3f at start)\n"
    "  packet monitor              heard packet traffic, as the MONITOR level shows it\n"
    "  packet call CALL            CALL connects to us (on the lowest free channel\n"
    "                              within USERS; refused when none is free)\n"
    "  packet text TEXT            the connected station sends TEXT\n"
    "  packet disc                 the connected station disconnects\n"
    "  packet answer on|busy|retry how a station we connect to answers\n";

std::optional<QByteArray> RunOtherModeCommand(Pk232Model& model, const QByteArray& word,
                                              const QByteArray& rest) {
    using M = Pk232Model::OtherMode;
    const QByteArray arg = rest.toLower();
    if (word == "morse" || word == "ascii") {
        QByteArray text = rest;
        int wpm = 0;
        if (word == "morse") {
            bool ok = false;
            const int n = rest.split(' ').first().toInt(&ok);
            if (ok && n >= 5 && n <= 99) {
                wpm = n;
                text = rest.mid(rest.indexOf(' ') < 0 ? rest.size() : rest.indexOf(' ') + 1);
            }
        }
        if (text.isEmpty()) return "?usage: " + word + (word == "morse" ? " [WPM]" : "") + " TEXT\n";
        if (!model.OtherHeard(word == "morse" ? M::Morse : M::Ascii, UnescapeControlText(text) + '\r',
                              wpm))
            return "?nobody hears it: the controller is not receiving in " + word + "\n";
        if (word == "ascii" && model.AsciiRateOverridden())
            return "sent, garbled: XBAUD " + model.Param("XBAUD") + " overrides ABAUD\n";
        return "sent\n";
    }
    if (word == "navtex") {
        if (arg.startsWith("block")) {
            const QByteArray block = arg.mid(5).trimmed();
            if (block != "30" && block != "3f") return "?usage: navtex block 30|3f\n";
            model.SetNavtexBlock(block == "30" ? '0' : '?');
            return "navtex text in block " + block + "\n";
        }
        bool ok = true;
        const int count = arg.isEmpty() ? 1 : arg.toInt(&ok);
        if (!ok || count < 1 || count > 100) return "?usage: navtex [N]\n";
        const QByteArray ids = model.NavtexSend(count);
        if (ids.isEmpty()) return "?nobody hears it: the controller is not in NAVTEX\n";
        return "navtex " + ids + "\n";
    }
    if (word == "packet") {
        const qsizetype blank = rest.indexOf(' ');
        const QByteArray sub = (blank < 0 ? rest : rest.left(blank)).toLower();
        const QByteArray what = blank < 0 ? QByteArray() : rest.mid(blank + 1).trimmed();
        if (sub == "monitor") {
            if (!model.PacketMonitor()) return "?the controller is not in packet\n";
            return "monitored\n";
        }
        if (sub == "call") {
            if (what.isEmpty() || what.contains(' ')) return "?usage: packet call CALL\n";
            const int channel = model.PacketIncoming(what);
            if (channel == Pk232Model::kNotInPacket) return "?the controller is not in packet\n";
            if (channel == Pk232Model::kNoFreeChannel)
                return "?" + what.toUpper() + " refused: no channel free within USERS " +
                       QByteArray::number(model.ParamNumber("USERS", 1)) + "\n";
            return what.toUpper() + " connected on channel " + QByteArray::number(channel) + "\n";
        }
        if (sub == "text") {
            if (!model.PacketRemoteText(UnescapeControlText(what))) return "?no packet link\n";
            return "sent\n";
        }
        if (sub == "disc") {
            if (!model.PacketRemoteDisconnect()) return "?no packet link\n";
            return "disconnected\n";
        }
        if (sub == "answer") {
            const QByteArray how = what.toLower();
            if (how != "on" && how != "busy" && how != "retry")
                return "?usage: packet answer on|busy|retry\n";
            model.SetPacketAnswer(how);
            return "packet stations answer " + how + "\n";
        }
        return "?usage: packet monitor|call CALL|text TEXT|disc|answer on|busy|retry\n";
    }
    return std::nullopt;
}
