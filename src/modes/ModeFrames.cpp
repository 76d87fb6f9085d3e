// What the other modes take from received frames and typed keys. The
// decoder calls in at its per-frame steps: when a frame's control byte is
// read, when a frame's text is written, and when a link message has ended.
#include <QPlainTextEdit>
#include <QTextBlock>
#include <utility>

#include "host/Frames.h"
#include "modes/PacketLink.h"
#include "shell/Clock.h"
#include "shell/HoofdForm.h"

namespace {
constexpr quint8 kMonitor = 0x3F;
bool InRange(quint8 c, quint8 low, quint8 high) {
    return c >= low && c <= high;
}
} // namespace

void THoofdForm::ModeFrameStarts(quint8 control) {
    if (st.ModeName == QLatin1String("NAVTEX")) {
        // NAVTEX text may come in 0x3F blocks (as AMTOR FEC) or in 0x30.
        if (control == kMonitor) framePart_ = FramePart::Text;
        return;
    }
    if (st.ModeName != QLatin1String("PACKET")) return;
    if (InRange(control, 0x30, 0x3E)) {
        framePart_ = FramePart::Text; // data of a channel
    } else if (control == kMonitor) {
        // A heard frame, its header and data in one block: stamped.
        framePart_ = FramePart::Text;
        // On a line of its own.
        const QByteArray& held = st.PendingReceiveText;
        const bool lineStart =
            st.HoldReceive && !held.isEmpty()
                ? (held.endsWith('\r') || held.endsWith('\n'))
                : ReceiveWindow->document()->lastBlock().text().isEmpty();
        const QByteArray stamp = (lineStart ? "" : "\r") + PacketLink::MonitorStamp(clock_.Now());
        for (const char c : stamp) {
            if (st.HoldReceive)
                HoldText(quint8(c), TextKind::Received);
            else
                frameText_.append(c);
        }
    } else if (InRange(control, 0x50, 0x5E)) {
        framePart_ = FramePart::LinkMessage;
        st.StatusReplyText.clear();
        st.LinkMessageText.clear();
        modes.MessageChannel = control & 0x0F;
    }
}

void THoofdForm::ModeSeesText(const QByteArray& text) {
    if (st.ModeName != QLatin1String("NAVTEX")) return;
    for (const NavtexMessage& m : modes.Navtex.Feed(text, clock_.Now().toUTC()))
        KeepNavtexMessage(m);
}

void THoofdForm::ModeLinkMessage() {
    if (st.ModeName != QLatin1String("PACKET")) return;
    const PacketLink::Message m = PacketLink::Read(st.LinkMessageText);
    const int channel = modes.MessageChannel;
    modes.MessageChannel = 0;
    // A link that starts or ends here gets its event line from the status
    // line's watch ("CONNECTED to K2DEF: first contact", "DISCONNECTED from
    // K2DEF (3 min)"); any other message is shown as the controller put it.
    bool linkChanged = false;
    if (m.event == PacketLink::Event::Connected) {
        // One link at a time: the channel the controller put it on.
        if (modes.PacketChannel < 0) {
            modes.PacketChannel = channel;
            st.IsConnected = true;
            st.LinkStateText = QStringLiteral("CONNECT");
            modes.PacketLine.clear();
            linkChanged = true;
        }
        if (!m.call.isEmpty()) st.HisCall = m.call;
    } else if (PacketLink::EndsLink(m.event) &&
               (modes.PacketChannel < 0 || modes.PacketChannel == channel)) {
        linkChanged = st.IsConnected;
        modes.PacketChannel = -1;
        st.IsConnected = false;
        st.LinkStateText.clear();
        if (!m.call.isEmpty()) st.HisCall = m.call;
    }
    if (!linkChanged)
        ShowLinkEvent(channel == 0 ? st.LinkMessageText
                                   : QStringLiteral("[%1] %2").arg(channel).arg(st.LinkMessageText));
    StatusLine();
}

bool THoofdForm::ModeTakesKey(quint8 key) {
    if (st.ModeName != QLatin1String("PACKET")) return false;
    // Typed text goes out a line at a time, on the link's channel: the
    // controller makes a packet of each data frame.
    if (!st.IsConnected || modes.PacketChannel < 0) return true;
    if (key == 0x08) {
        modes.PacketLine.chop(1);
    } else if (key == quint8(Frames::LineEnd)) {
        senddata(std::exchange(modes.PacketLine, QByteArray()) + Frames::LineEnd);
    } else if (key >= 0x20) {
        modes.PacketLine.append(char(key));
        if (modes.PacketLine.size() >= 250) senddata(std::exchange(modes.PacketLine, QByteArray()));
    }
    return true;
}

bool THoofdForm::ModeTakesData(const QByteArray& text) {
    if (st.ModeName != QLatin1String("PACKET")) return false;
    // Without a link the controller sends a channel's data as unproto
    // frames.
    Send(PacketLink::DataFrame(qMax(0, modes.PacketChannel), text));
    // The controller echoes nothing in packet: what went out is shown in
    // the operator's colour, as the echo is in the other modes.
    schryfText(text, TextKind::Echo);
    return true;
}

bool THoofdForm::ModeCall(const QString& call) {
    if (st.ModeName != QLatin1String("PACKET")) return false;
    const QByteArray command = PacketLink::ConnectCommand(call);
    if (command.isEmpty()) return true;
    if (st.IsConnected) {
        Warning(QStringLiteral("One packet connection at a time: disconnect first."));
        return true;
    }
    // The lowest free channel: with one link at a time, channel 0.
    Send(PacketLink::CommandFrame(0, command));
    return true;
}

bool THoofdForm::ModeDisconnect() {
    if (st.ModeName != QLatin1String("PACKET")) return false;
    if (modes.PacketChannel >= 0) Send(PacketLink::CommandFrame(modes.PacketChannel, "DI"));
    return true;
}

void THoofdForm::PacketDisconnectClick() {
    ModeDisconnect();
}

void THoofdForm::LeavePacket() {
    // A packet link does not outlast the mode: it is ended first, and the
    // next mode starts with no link.
    if (st.ModeName != QLatin1String("PACKET")) return;
    if (modes.PacketChannel >= 0) Send(PacketLink::CommandFrame(modes.PacketChannel, "DI"));
    modes.PacketChannel = -1;
    modes.PacketLine.clear();
    st.IsConnected = false;
    st.LinkStateText.clear();
}
