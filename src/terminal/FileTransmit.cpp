// Transmitting a text file: the menu item with its permission rule and the
// open dialog, and the transmission loop itself, which owns the program until
// the file is sent or the operator breaks it off with Escape (running the
// window events now and then behind the input shield).
#include <QAction>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QPlainTextEdit>
#include <QScopeGuard>
#include <QTextCursor>
#include <optional>

#include "host/CharTable.h"
#include "host/Frames.h"
#include "shell/Clock.h"
#include "shell/FileLookup.h"
#include "shell/HoofdForm.h"
#include "shell/InOutError.h"
#include "shell/KeyState.h"
#include "shell/Prompts.h"
#include "terminal/FileLines.h"

namespace {
const QColor kLampRed(255, 0, 0);
const QColor kLampGreen(0, 255, 0);
// In a data frame this byte ends a one-way transmission.
constexpr char kEndTransmission = 0x04;
} // namespace

void THoofdForm::SetDiskLamp(bool reading) {
    if (reading)
        SetLamp(LeesLed, kLampRed, Qt::white);
    else
        SetLamp(LeesLed, kLampGreen, Qt::black);
}

void THoofdForm::SetFlowLamp(bool holding) {
    XOnLed->setText(holding ? QStringLiteral("XOff") : QStringLiteral("XOn"));
    if (holding)
        SetLamp(XOnLed, kLampRed, Qt::white);
    else
        SetLamp(XOnLed, kLampGreen, Qt::black);
}

void THoofdForm::MenuTransmitFileClick() {
    // 1. Permission: while connected always; otherwise only in the dumb
    // terminal, the maildrop check, unproto or RTTY.
    const bool allowed =
        st.IsConnected || st.ModeName == QLatin1String("DUMB") || MaildropCheckOpen() ||
        st.LinkStateText.left(5) == QLatin1String("UNPRO") || st.ModeName == QLatin1String("RTTY");
    if (!allowed) {
        Warning(QStringLiteral("Transmitting NOT allowed !"));
        return;
    }
    // 2. - 4. The open dialog starts without a file name. 5. The lamp goes
    // back to green however the transmission ends, an error included.
    SetDiskLamp(true);
    const auto idle = qScopeGuard([this] { SetDiskLamp(false); });
    const QString name =
        prompts().OpenFileName(QStringLiteral("Transmit a text File"), folder(), QString());
    if (!name.isEmpty()) SendFile(name);
}

bool THoofdForm::OpenToSend(QFile& file, const QString& name) const {
    file.setFileName(QFileInfo(name).isAbsolute() ? ResolvePathNoCase(name)
                                                  : FindFileNoCase(folder(), name));
    return file.open(QIODevice::ReadOnly);
}

InOutError THoofdForm::NotOpened(const QFile& file) {
    return InOutError(file.exists() ? QStringLiteral("File access denied")
                                    : QStringLiteral("File not found"));
}

void THoofdForm::ShowSentPiece(const QByteArray& bytes, bool continuesLine) {
    // The transmit window keeps its size limit meanwhile too.
    if (ZendWindow->document()->characterCount() - 1 > kTxWindowLimit) ZendWindow->clear();
    const QString text = CharTable::ToString(bytes);
    if (continuesLine) {
        QTextCursor end(ZendWindow->document());
        end.movePosition(QTextCursor::End);
        end.insertText(text);
    } else {
        ZendWindow->appendPlainText(text);
    }
}

bool THoofdForm::ShowsSentLines() const {
    return st.DumbMode || st.Transmitting || st.LinkStateText.left(5) == QLatin1String("UNPRO") ||
           MaildropCheckOpen() || st.IsConnected || st.SendingCQ;
}

void THoofdForm::SendFile(const QString& name) {
    // The window events still waiting (a closed dialog's area to repaint)
    // are handled now, behind a shield that lets no input through: none is
    // handled once the file goes out.
    KeyState::RunWindowEvents();
    // 1. An Escape press from before the transmission is forgotten.
    prompts().EscapeDown();

    // 2. Open the file; if it cannot be opened nothing has been sent and
    // nothing has changed (a CQ call that gets here is over too).
    QFile file;
    if (!OpenToSend(file, name)) {
        st.SendingCQ = false;
        throw NotOpened(file);
    }
    FileLines lines(file);

    // 3. The transmission owns the program from here.
    SetDiskLamp(true);
    st.FileTransmitActive = true;
    ShowTransmissionEvent(true, name);
    StopTimers();
    ReceiveWindow->viewport()->setCursor(Qt::WaitCursor);
    repaint();
    // Echoes must reach the receive window to count down: a read-back in
    // progress ends here, as no event can end it while the file goes out.
    st.HoldReceive = false;
    st.ScrollBackMode = false;
    ScrollNaarEnd();

    // 4. One pass: maybe a line (or a piece of a long one) out, maybe a
    // frame in.
    std::optional<InOutError> readError;
    std::optional<bool> holding; // the flow lamp as last shown
    bool lineOpen = false;       // the last piece sent did not end its line
    qint64 line = 1;             // the number of the line going out
    bool portFailed = false;     // a piece did not reach the controller
    quint32 shownAt = clock().TickCount();
    quint32 heardAt = clock().TickCount(); // the last piece out or byte in
    while (!lines.AtEnd() && !st.FileTransmitAbort) {
        if (prompts().EscapeDown()) st.FileTransmitAbort = true;
        const bool holdBack = poort.PortBusy() || st.TxPendingCount >= kTxHoldCount;
        if (holding != holdBack) {
            holding = holdBack;
            SetFlowLamp(holdBack);
        }
        if (!holdBack) {
            // A line longer than a piece goes out in several frames, the
            // carriage return after its last piece; Escape is asked between
            // them, and memory stays bounded whatever the file holds.
            const FileLines::Piece piece = lines.NextPiece(kTxPieceSize);
            const QByteArray text = piece.endsLine ? piece.bytes + Frames::LineEnd : piece.bytes;
            // Out of HOST mode (the dumb terminal, the mailbox with it) the
            // controller reads no frames: frame bytes would be text, stored
            // in a mailbox message being written. The line goes out plain.
            const quint64 lostBefore = bytesLost_;
            if (st.DumbMode)
                Send(text);
            else
                senddata(text);
            // The device has gone (one "Port Error" said so): what is
            // written now goes nowhere, and no echo will ever come back to
            // let the rest through. The transmission stops at this line.
            portFailed = bytesLost_ != lostBefore;
            if (portFailed) break;
            heardAt = clock().TickCount();
            if (ShowsSentLines()) ShowSentPiece(piece.bytes, lineOpen);
            lineOpen = !piece.endsLine;
            if (piece.endsLine) ++line;
        }
        if (V24Data()) {
            heardAt = clock().TickCount();
            // The dumb terminal's answers are plain text, not frames.
            try {
                if (st.DumbMode)
                    GETV24DUMB();
                else
                    GETV24Data();
            } catch (const InOutError& e) {
                // A failing capture file must not leave the transmission
                // half closed: it is reported once, at the end.
                if (!readError) readError = e;
            }
        } else if (holdBack) {
            // Held back and nothing heard for a while: the status is asked,
            // as the status timer would. A line that has gone meanwhile (no
            // echo will ever come back) is found by that write, with one
            // "Port Error", and the transmission stops at this line.
            if (!st.DumbMode && clock().TickCount() - heardAt >= kTxQuietProbeMs) {
                heardAt = clock().TickCount();
                const quint64 lostBefore = bytesLost_;
                Send(Frames::CommandFrame("OP"));
                portFailed = bytesLost_ != lostBefore;
                if (portFailed) break;
            }
            Delay(1); // nothing to send and nothing to read: no busy spin
        }
        // Now and then the window events run behind the input shield: the
        // window is brought up to date (the echo is seen) and answers the
        // window system, however long the line holds the file back. No input,
        // timer or close request runs in the middle of the loop; keys typed
        // and a close request arrive when the transmission is over.
        if (clock().TickCount() - shownAt >= kTxRepaintMs) {
            shownAt = clock().TickCount();
            KeyState::RunWindowEvents();
        }
    }

    // 5. - 12. The closing steps.
    file.close();
    if (st.FileTransmitAbort) ClearTransmitBufferClick();
    // A CQ call ends its one-way transmission: 0x04 in a data frame, as
    // the controller takes no byte outside a frame in HOST mode.
    if (st.SendingCQ) senddata(QByteArray(1, kEndTransmission));
    SetDiskLamp(false);
    st.FileTransmitActive = false;
    // A message written from a file ends as a unit ends it: "/EX" at the
    // start of a line (a stopped line is ended first).
    if (MaildropCheckOpen()) {
        if (st.FileTransmitAbort) Send(QByteArray(1, Frames::LineEnd));
        SendCommandLine("/EX", CommandAnswer::Expect::Prompt, true);
    }
    st.TxPendingCount = 0;
    ShowTransmissionEvent(false, name);
    st.SendingCQ = false;
    st.FileTransmitAbort = false;
    StartTimers();
    SetFlowLamp(false);
    ReceiveWindow->viewport()->unsetCursor();

    if (portFailed)
        throw InOutError(QStringLiteral("File transmission stopped at line %1 of %2: "
                                        "the serial port failed")
                             .arg(line)
                             .arg(file.fileName()));
    if (lines.Failed()) throw InOutError(QStringLiteral("Error reading %1").arg(file.fileName()));
    if (readError) throw *readError;
    ReportCaptureError();
}
