#include "Pk232Model.h"

#include "ModelShared.h"

using namespace pk232sim;

// ------------------------------------------------------------------ packet

namespace {
// Heard traffic and the MONITOR level from which each frame shows: 1
// unproto frames, 2 connects and disconnects, 3 and up conversations, 5
// supervisory frames; 6 adds the sequence numbers.
struct MonitoredFrame {
    int level;
    const char* text;
    const char* sequence; // shown at MONITOR 6
};
const MonitoredFrame kMonitored[] = {
    // Source, the digipeaters (the one heard directly marked *), then the
    // destination.
    {1, "K1ABC>W2XYZ*>WIDE2-1>APRS:!4903.50N/07201.75W-PHG2360 Dervalo sim digi", ""},
    {2, "W2XYZ>K2DEF [C]", ""},
    {2, "K2DEF>W2XYZ (UA)", ""},
    {3, "W2XYZ>K2DEF:Hello Dave, how is the new antenna?", "<I;0,0>"},
    {5, "K2DEF>W2XYZ (RR1)", ""},
    {3, "K2DEF>W2XYZ:Up and working, 5 over 9 here.", "<I;0,1>"},
    {2, "W2XYZ>K2DEF [D]", ""},
    {1, "N0CALL>BEACON:Net tonight 20:00 on 145.050", ""},
};
} // namespace

bool Pk232Model::PacketMonitor() {
    if (other_ != OtherMode::Packet || !hostMode_) return false;
    const int level = params_.value("MONITOR", "4").toInt();
    for (const MonitoredFrame& h : kMonitored) {
        if (level < h.level) continue;
        QByteArray text = h.text;
        if (level >= 6 && *h.sequence) text.insert(text.indexOf(':') < 0 ? text.size() : text.indexOf(':'), h.sequence);
        AppendAirLog(heard_, text + '\r');
        EmitFrame('?', text + '\r');
    }
    return true;
}

void Pk232Model::PacketCommand(int channel, const QByteArray& payload) {
    const QByteArray code = payload.left(2);
    const QByteArray args = payload.mid(2).trimmed();
    const quint8 reply = quint8(0x40 + channel);
    const quint8 link = quint8(0x50 + channel);
    if (code == "CO" && !args.isEmpty()) {
        if (packetLinks_.contains(channel)) {
            EmitFrame(reply, "CO?");
            return;
        }
        EmitFrame(reply, QByteArray("CO\0", 3));
        const QByteArray call = args.split(' ').first().toUpper();
        if (packetAnswer_ == "busy") {
            EmitFrame(link, call + " busy");
        } else if (packetAnswer_ == "retry") {
            EmitFrame(link, "Retry count exceeded");
        } else {
            packetLinks_.insert(channel, call);
            EmitFrame(link, "CONNECTED to " + call);
            EmitFrame(quint8(0x30 + channel),
                      "Hello " + MyCall().trimmed() + ", this is " + call +
                          ". Type BYE to end.\r");
        }
    } else if (code == "DI") {
        EmitFrame(reply, QByteArray("DI\0", 3));
        if (packetLinks_.contains(channel)) PacketEnd(channel, true);
    } else if (code == "CO" && args.isEmpty()) { // the link status
        EmitFrame(reply, packetLinks_.contains(channel) ? "CO41000" + packetLinks_.value(channel)
                                                        : QByteArray("CO00000"));
    } else {
        EmitFrame(reply, code + "?");
    }
}

void Pk232Model::PacketData(int channel, const QByteArray& payload) {
    AppendAirLog(transmitted_, payload);
    if (!packetLinks_.contains(channel)) {
        Note("unproto frame on channel " + QByteArray::number(channel) + ": " + payload);
        return;
    }
    // The other station answers each packet; "BYE" ends the link.
    const QByteArray call = packetLinks_.value(channel);
    const QByteArray line = payload.trimmed();
    if (line.toUpper().contains("BYE")) {
        EmitFrame(quint8(0x30 + channel), "73 de " + call + "\r");
        PacketEnd(channel, true);
        return;
    }
    EmitFrame(quint8(0x30 + channel), call + " copies: " + line + "\r");
}

void Pk232Model::PacketEnd(int channel, bool announce) {
    const QByteArray call = packetLinks_.take(channel);
    if (announce) EmitFrame(quint8(0x50 + channel), "DISCONNECTED: " + call);
}

int Pk232Model::PacketIncoming(const QByteArray& call) {
    if (other_ != OtherMode::Packet || !hostMode_) return kNotInPacket;
    int channel = 0;
    while (packetLinks_.contains(channel))
        ++channel; // the lowest free channel
    // USERS (1 unless set) bounds the channels a station calling in may
    // take; a call beyond them is refused, and only a refused call is
    // announced as a connect request.
    if (channel >= ParamNumber("USERS", 1)) {
        EmitFrame(0x50, "Connect request: " + call.toUpper());
        return kNoFreeChannel;
    }
    packetLinks_.insert(channel, call.toUpper());
    EmitFrame(quint8(0x50 + channel), "CONNECTED to " + call.toUpper());
    return channel;
}

bool Pk232Model::PacketRemoteText(const QByteArray& text) {
    if (other_ != OtherMode::Packet || packetLinks_.isEmpty()) return false;
    const int channel = packetLinks_.firstKey();
    EmitFrame(quint8(0x30 + channel), text + "\r");
    return true;
}

bool Pk232Model::PacketRemoteDisconnect() {
    if (other_ != OtherMode::Packet || packetLinks_.isEmpty()) return false;
    PacketEnd(packetLinks_.firstKey(), true);
    return true;
}
