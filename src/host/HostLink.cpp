// Everything that writes to the line: the raw byte writer, data frames,
// control characters, the status request and the controller clock.
#include <QLabel>
#include <QPlainTextEdit>
#include <QScopeGuard>
#include <QTextBlock>

#include "host/AirEcho.h"
#include "host/Frames.h"
#include "link/SerialBackend.h"
#include "link/TcpName.h"
#include "shell/Clock.h"
#include "shell/HoofdForm.h"
#include "shell/Prompts.h"

void THoofdForm::Send(const QByteArray& text) {
    // While a frame is written nothing else may write (see HostCheckDue).
    ++sending_;
    const auto done = qScopeGuard([this] { --sending_; });
    if (!st.FileTransmitActive) lineBackDuringFile_ = false;
    bytesLost_ += poort.TakeLost();
    // A line that is down is opened again first, quietly: the one box of
    // the outage stands for every failure in it.
    const bool wasDown = poort.LineDown();
    if (wasDown) ReopenLine();
    // A line that came back during a file transmission may lead to a unit
    // that has been restarted: nothing more of the file goes to its command
    // line. The bytes count as lost, which ends the transmission with its
    // message.
    if (st.FileTransmitActive && lineBackDuringFile_) {
        bytesLost_ += quint64(text.size());
        return;
    }
    // The bytes are handed over; the line takes them as it can.
    if (poort.PoortWrite(text)) {
        if (sendOutage_ && poort.LineMoving()) EndOutage();
        return;
    }
    // Lost, not tried again: a line that came back may lead to a unit
    // that was restarted meanwhile (see LineCameBack).
    bytesLost_ += quint64(text.size()) + poort.TakeLost();
    if (sendOutage_) return;
    sendOutage_ = true;
    // The line is opened again at once: a device that has gone says so
    // (the reopen's reason); one that is there but failed (a line that
    // stopped draining) says why it failed.
    const QString why = poort.PortErrorText();
    if (!wasDown) ReopenLine();
    // Reconnecting goes on while the box is up.
    relinkTimer_.start();
    prompts_.MessageBox(poort.LineDown() ? poort.PortErrorText() : why, QStringLiteral("Warning"),
                        Prompts::Buttons::OkCancel);
}

void THoofdForm::WatchLine() {
    relinkTimer_.setInterval(kRelinkMs);
    connect(&relinkTimer_, &QTimer::timeout, this, [this] {
        // Not in the middle of an open (its box may be up).
        if (poort.PortBusy()) return;
        if (poort.LineDown()) ReopenLine();
        if (!poort.LineDown() && !sendOutage_) relinkTimer_.stop();
    });
    poort.Backend().SetListeners([this] { LineReadyRead(); }, [this] { LineCameBack(); });
    readGap_.setSingleShot(true);
    readGap_.setInterval(kReadGapMs);
    connect(&readGap_, &QTimer::timeout, this, [this] { LineReadyRead(); });
}

void THoofdForm::ReopenLine() {
    poort.SetQuiet(true);
    OpenPoort();
    poort.TakeFailures(); // the set-up failures were not shown; the outage's box stands for them
    poort.SetQuiet(false);
    if (poort.LineDown()) return;
    // A connection over the network is back once it is made (the backend
    // says so from the event loop); a device at once.
    if (!TcpName::Is(st.PortName)) LineCameBack();
}

void THoofdForm::LineCameBack() {
    // The controller may have been restarted meanwhile: the next
    // write-timer tick checks HOST mode.
    if (st.HostModeActive || hostEntryDue_) hostCheckDue_ = true;
    if (st.FileTransmitActive) lineBackDuringFile_ = true;
    ++lineReturns_;
    ShowPortPane(); // the name, now that the line carries
}

void THoofdForm::EndOutage() {
    sendOutage_ = false;
    relinkTimer_.stop();
}

void THoofdForm::LineReadyRead() {
    // Text shows when it arrives, not only at the next write-timer tick;
    // only when that tick would read (not while a dialog, the start-up or a
    // file transmission reads for itself) and never from inside a write.
    if (!Schryfinterval.isActive() || sending_ > 0 || checkingHost_ || poort.PortBusy() ||
        st.FileTransmitActive)
        return;
    if (readGap_.isActive()) return; // read at the gap's end
    if (sendOutage_ && poort.LineMoving()) EndOutage();
    Guarded([this] {
        if (!V24Data()) return;
        readGap_.start();
        if (st.DumbMode)
            GETV24DUMB();
        else
            ReadWaitingFrames();
        ReportCaptureError();
    });
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
    ShowPortPane(); // "offline" while the line is down
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
