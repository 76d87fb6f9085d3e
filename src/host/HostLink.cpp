// Everything that writes to the line: the raw byte writer, data frames,
// control characters, the status request and the controller clock.
#include <QLabel>
#include <QPlainTextEdit>
#include <QScopeGuard>
#include <QTextBlock>

#include "host/AirEcho.h"
#include "host/Frames.h"
#include "shell/Clock.h"
#include "shell/HoofdForm.h"
#include "shell/Prompts.h"

void THoofdForm::Send(const QByteArray& text) {
    // While a frame is written nothing else may write (see HostCheckDue).
    ++sending_;
    const auto done = qScopeGuard([this] { --sending_; });
    for (const char ch : text) {
        const quint8 byte = quint8(ch);
        const bool written = poort.PoortWriteByte(byte);
        if (written) {
            sendOutage_ = false;
            continue;
        }
        // Reopen the port and try the byte once more. While the device stays
        // unusable this happens for every byte; the operator hears of it once
        // per outage, not once per failing step of every byte.
        poort.SetQuiet(true);
        OpenPoort();
        poort.PoortSetQueues(32767, 16384);
        const bool retried = poort.PoortWriteByte(byte);
        poort.TakeFailures(); // the set-up failures were not shown; the box below stands for them
        poort.SetQuiet(false);
        if (retried) {
            sendOutage_ = false;
            // The line is back, the controller may have been restarted
            // meanwhile: the next write-timer tick checks HOST mode.
            if (st.HostModeActive || hostEntryDue_) hostCheckDue_ = true;
            continue;
        }
        ++bytesLost_;
        if (!sendOutage_) {
            sendOutage_ = true;
            prompts_.MessageBox(poort.PortErrorText(), QStringLiteral("Warning"),
                                Prompts::Buttons::OkCancel);
        }
    }
}

namespace {
// The controller runs with EAS ON, so it echoes no carriage return. The
// parameter block loads it; with "Init Pk" off the controller is taken to be
// loaded by this program already, as it is taken to be in HOST mode, and the
// unit keeps its parameters. A unit set to EAS OFF by hand echoes the
// carriage returns as well: the count then runs one lower per echoed line,
// stops at 0 and holds nothing back for ever (the pacing only gets looser),
// whereas counting them against a unit with EAS ON would leave one per
// line outstanding for good and stall a long file.
constexpr bool kEasOn = true;
} // namespace

void THoofdForm::senddata(const QByteArray& text) {
    if (ModeTakesData(text)) return; // packet: on the link's channel
    // During a file transmission the controller's echo gives back what of
    // the text of a data frame goes on the air in the mode in use, never the
    // framing: that is what stays outstanding. Out of HOST mode nothing comes
    // back in frames to count.
    if (!st.DumbMode) echoBreaks_.Sent(text, AirEcho::ForMode(st.ModeName), st.IsConnected);
    if (st.FileTransmitActive && !st.DumbMode) {
        const int echoed =
            AirEcho::EchoedCount(text, AirEcho::ForMode(st.ModeName), st.IsConnected, kEasOn);
        st.TxPendingCount = quint16(qMin(0xFFFF, st.TxPendingCount + echoed));
    }
    // The frame with its payload escaped: a DLE before 0x01, 0x10 and 0x17.
    Send(Frames::DataFrame(text));
}

void THoofdForm::SendCTRL(quint8 code) {
    // Noted in the transmit window as CTRL- and the letter.
    ZendWindow->appendPlainText(QStringLiteral("CTRL-") + QChar(code + 64));
    if (st.DumbMode)
        Send(QByteArray(1, char(code)));
    else
        senddata(QByteArray(1, char(code)));
}

void THoofdForm::sendstatusreq() {
    // While input waits, a reply or received text is still to be read;
    // asking again would only add to it.
    if (!V24Data()) {
        Send(Frames::CommandFrame("OP"));
        Delay(5);
    }
    StatusLine();
}

void THoofdForm::RefreshCountPanes() {
    SetPane(Pane6, QStringLiteral("Buffer: ") + QString::number(TextLength(ReceiveWindow)));
    SetPane(Pane7, QStringLiteral("Data buffer ") + QString::number(poort.PoortBytesAvailable()));
}

void THoofdForm::StatusAanvraagTimerTimer() {
    if (!st.DumbMode) sendstatusreq();
    RefreshCountPanes();
}

void THoofdForm::TimeToPk232() {
    const QByteArray clockText = Frames::ClockText(clock_.Now());
    if (st.HostModeActive)
        Send(Frames::CommandFrame("DA" + clockText));
    else
        Send("DA " + clockText + Frames::LineEnd);
    Delay(500);
}
