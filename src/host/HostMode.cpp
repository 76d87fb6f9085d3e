// Entering and leaving HOST mode, loading the controller's parameters, and
// readying the controller for a mode change.
#include <QAction>
#include <QApplication>
#include <QLabel>
#include <QScopedValueRollback>

#include "host/Frames.h"
#include "shell/Clock.h"
#include "shell/HoofdForm.h"

QByteArray THoofdForm::StartOver() {
    return QByteArray("\x11\x18\x03", 3);
}

bool THoofdForm::HostModeAnswers(const QByteArray& check) {
    Send(check);
    // The answer is 0x01 "OGG", a return code, 0x17. Whatever comes before
    // it is thrown away: a unit that is not in HOST mode echoes the check
    // back without a return code, and one still at seven bits with parity
    // gives 0x81 for the start byte. The answer is read to its own end byte;
    // anything behind it is left for the decoder. Bounded like a frame read.
    enum { Seek, Control, G1, G2, Code } at = Seek;
    int codeBytes = 0;
    StartFrameClock();
    for (;;) {
        if (!V24Data()) {
            WaitForData();
            if (!V24Data()) return false;
        }
        int b = V24Read();
        if (b == kNoByte) {
            Delay(1);
        } else if (at == Code && b == Frames::kDle) {
            WaitForData();
            if (V24Read() != kNoByte) ++codeBytes;
        } else if (b == Frames::kStart) {
            at = Control;
        } else if (at == Code && b == Frames::kEnd) {
            if (codeBytes > 0) return true;
            at = Seek;
        } else if (at == Code) {
            ++codeBytes;
        } else if (at == Control && b == Frames::kRxReply) {
            at = G1;
        } else if ((at == G1 || at == G2) && b == 'G') {
            at = at == G1 ? G2 : Code;
            codeBytes = 0;
        } else {
            at = Seek;
        }
        if (FrameTimeUp()) return false;
    }
}

bool THoofdForm::LoadParameters(std::initializer_list<QByteArray> commands) {
    for (const QByteArray& command : commands) {
        const CommandAnswer::Verdict verdict =
            AskCommandLine(command, CommandAnswer::Expect::Prompt, false);
        if (verdict == CommandAnswer::Verdict::Taken) continue;
        // A unit without the PACTOR option refuses its PACTOR lines: that
        // is no fault, it is the unit it is.
        if (verdict == CommandAnswer::Verdict::Refused && IsPactorLine(command)) {
            noPactor_ = true;
            continue;
        }
        ReportCommandLine(command, verdict);
        return false;
    }
    return true;
}

bool THoofdForm::IsPactorLine(const QByteArray& command) {
    return command.startsWith("MYPTCall") || command.startsWith("PTHUFF") ||
           command.startsWith("PTO ");
}

void THoofdForm::EndFailedEntry() {
    // The warning has named the line: the unit stays out of HOST mode.
    st.HostModeActive = false;
    SetTransmitCaption(QStringLiteral("Transmit"));
    XOnLed->setVisible(true);
    LeesLed->setVisible(true);
}

void THoofdForm::HostOn(int kind) {
    commandLineFailed_ = false;
    if (kind == 1) SetTransmitCaption(QStringLiteral("Switching back to Host mode. Please wait !"));
    // XON, CANLINE and COMMAND: a unit held by XOFF goes on, a half-typed
    // line is thrown away, and a unit in Converse or Transparent mode is back
    // at its command line before anything else is said.
    Send(StartOver());

    // The parameters count as loaded only once the unit has answered in
    // HOST mode after them.
    const bool loading = !st.PkParametersLoaded && !st.MaildropOn;
    if (loading) {
        XOnLed->setVisible(false);
        LeesLed->setVisible(false);
        SetTransmitCaption(
            QStringLiteral("Loading parameters and switchting to Host mode. Please wait !"));
        const QByteArray myCall = st.DefaultMyCall.toLatin1();
        const QByteArray selCall = st.MySelCall.left(4).toLatin1();
        const bool loaded =
            LoadParameters({QByteArray("EXP ON"), QByteArray("CM 5"), QByteArray("EAS ON"),
                            QByteArray("echo off"), "Mycall " + myCall, "Mys " + selCall,
                            "MYPTCall " + myCall, QByteArray("hpoll off"), QByteArray("PTHUFF ON"),
                            QByteArray("MDM ON"), QByteArray("ACRR 0")}) &&
            LoadParameters({"PTO $19", "AWL 8", "par 0", "8b on"});
        if (!loaded) return EndFailedEntry();
    }

    // Each line waits for its answer; "host on" has none but the quiet.
    if (!SendCommandLine("hpoll off") ||
        !SendCommandLine("host on", CommandAnswer::Expect::Quiet))
        return EndFailedEntry();
    StartTimers();
    Delay(1000);

    // Only an answer to the check counts as HOST mode. Without one the
    // frame is tried once more behind a second start byte, which brings a
    // link in doubt to a known state.
    const QByteArray check = Frames::CommandFrame("GG");
    const bool answered =
        HostModeAnswers(check) || HostModeAnswers(QByteArray(1, Frames::kStart) + check);

    st.HostModeActive = answered;
    if (loading) st.PkParametersLoaded = answered;
    // With the line down the check could not be answered, and the "Port
    // Error" box has said why: HOST mode is entered once the line is back.
    hostEntryDue_ = !answered && sendOutage_;
    SetTransmitCaption(QStringLiteral("Transmit"));
    XOnLed->setVisible(true);
    LeesLed->setVisible(true);
    if (!answered && !hostEntryDue_) {
        StopTimers();
        Warning(QStringLiteral("The PK-232 does not answer in HOST mode. Check the cable, the "
                               "port and the baud rate."));
        StartTimers();
    }
}

void THoofdForm::hostOff() {
    Send(Frames::CommandFrame("HON"));
    st.HostModeActive = false;
    Delay(500);
    DummiRead();
}

bool THoofdForm::HostCheckDue() const {
    return hostCheckDue_ && !checkingHost_ && sending_ == 0 && !st.FileTransmitActive &&
           !st.Closing && !st.DumbMode && QApplication::activeModalWidget() == nullptr;
}

void THoofdForm::CheckHostModeAfterOutage() {
    hostCheckDue_ = false;
    if (!st.HostModeActive && !hostEntryDue_) return;
    hostCheckAnswer_.reset();
    hostCheckWaiting_ = true;
    hostCheckAt_ = clock_.TickCount();
    hostCheckHeard_ = bytesHeard_;
    Send(Frames::CommandFrame("GG"));
}

void THoofdForm::FollowHostCheck() {
    if (!hostCheckWaiting_ || checkingHost_ || sending_ > 0 || st.FileTransmitActive ||
        st.Closing || st.DumbMode)
        return;
    if (!hostCheckAnswer_ && clock_.TickCount() - hostCheckAt_ < kHostCheckMs) return;
    hostCheckWaiting_ = false;
    // Not answered, and the line has not even taken the check (it stalls or
    // is down), or a unit taken to be in HOST mode has said nothing at all
    // (a far end that stalls, a unit switched off): nothing is known of
    // it, and the start-up would only wait on the window's thread for
    // answers that do not come. Asked again later. A unit that answers,
    // but not in HOST mode, is brought there; so is a silent one that was
    // never in HOST mode this run (it may wait for its rate).
    const bool silent = bytesHeard_ == hostCheckHeard_;
    if (!hostCheckAnswer_ &&
        (poort.LineDown() || poort.LineUnsent() > 0 || (silent && st.HostModeActive))) {
        hostCheckDue_ = true;
        return;
    }
    if (hostCheckAnswer_.value_or(false) && ParametersAsWanted()) {
        st.HostModeActive = true;
        hostEntryDue_ = false;
        return;
    }
    // A unit that took the check and did not answer it in HOST mode, or has
    // not had this run's parameters, is brought there as at start-up. Its
    // steps write and may meet a new outage; that one is checked at a later
    // tick, not from in here.
    const QScopedValueRollback checking(checkingHost_, true);
    StopTimers();
    BringBackIntoHostMode();
    StartTimers();
}

void THoofdForm::ActOnUnitState() {
    // A unit that answers in HOST mode is there, unless it has not had this
    // run's parameters while "Init Pk" loads them (an earlier session left it
    // in HOST mode): it is taken out, given them and put back, as is a unit
    // that does not answer. The maildrop never has its unit reset for them.
    if (HostModeAnswers(Frames::CommandFrame("GG")) && ParametersAsWanted()) {
        st.HostModeActive = true;
        hostEntryDue_ = false;
        return;
    }
    BringBackIntoHostMode();
}

void THoofdForm::LineChosen(bool otherLine) {
    // With "Init Pk" off the unit is left where it is; with the maildrop on
    // or in the dumb terminal it stands where the operator wants it.
    if (!st.PkInitOn || st.MaildropOn || st.DumbMode || st.Closing) return;
    if (otherLine) {
        // Another line, another unit (or one that may have been restarted):
        // nothing is known of it.
        st.PkParametersLoaded = false;
        st.HostModeActive = false;
    }
    if (!poort.PortOpen()) {
        // The open has said why; HOST mode is entered once the line is there.
        hostEntryDue_ = true;
        return;
    }
    const QScopedValueRollback checking(checkingHost_, true);
    StopTimers();
    st.PkStarted = true;
    if (otherLine || !st.HostModeActive)
        BringBackIntoHostMode();
    else
        ActOnUnitState();
    StartTimers();
}

void THoofdForm::BringBackIntoHostMode() {
    // The unit has been restarted and stands at its command line (or waits
    // for its rate): the start-up once more, the parameter block included
    // when "Init Pk" loads it, then PACTOR, listening.
    if (st.PkInitOn) st.PkParametersLoaded = false;
    // A restarted unit holds no link: the call and the phase of the lost
    // one are no longer shown.
    st.IsConnected = false;
    st.LinkPhaseText = QStringLiteral("      ");
    if (!ResetController()) return;
    HostOn(0);
    if (commandLineFailed_) return;
    Delay(500);
    TimeToPk232();
    StartListening();
}

void THoofdForm::ZetPkKlaar() {
    echoBreaks_.Reset();
    st.ModeName = QStringLiteral("PACTOR");
    StopTimers();
    if (st.DumbMode) {
        st.DumbMode = false;
        HostOn(1);
    }
    SwitchListenOff();
    if (MenuMaildropCheck->isChecked()) MenuMaildropCheckClick();
    Send(QByteArray(1, Frames::kEscape) + "DD" + Frames::LineEnd);
    DummiRead();
    StartTimers();
    st.ScrollBackMode = false;
}

void THoofdForm::PkInitClick() {
    // The menu item's own check toggling is undone: the state decides.
    if (st.PkInitOn) {
        st.PkInitOn = false;
        PkInit->setChecked(false);
        return;
    }
    st.PkInitOn = true;
    PkInit->setChecked(true);
    // Until the start-up has run, the parameters were only taken to be
    // loaded: the start-up that follows loads them.
    if (!st.PkStarted) st.PkParametersLoaded = false;
    FormResize();
}
