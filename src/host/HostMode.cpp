// Entering and leaving HOST mode, loading the controller's parameters, and
// readying the controller for a mode change.
#include <QAction>
#include <QLabel>

#include "host/Frames.h"
#include "shell/HoofdForm.h"

namespace {
QByteArray Line(const QByteArray& command) {
    return command + Frames::LineEnd;
}
} // namespace

void THoofdForm::HostOn(int kind) {
    if (kind == 1) SetTransmitCaption(QStringLiteral("Switching back to Host mode. Please wait !"));

    if (!st.PkParametersLoaded && !st.MaildropOn) {
        XOnLed->setVisible(false);
        LeesLed->setVisible(false);
        SetTransmitCaption(
            QStringLiteral("Loading parameters and switchting to Host mode. Please wait !"));
        const QByteArray myCall = st.DefaultMyCall.toLatin1();
        const QByteArray selCall = st.MySelCall.left(4).toLatin1();
        for (const QByteArray& command :
             {QByteArray("EXP ON"), QByteArray("CM 5"), QByteArray("EAS ON"),
              QByteArray("echo off"), "Mycall " + myCall, "Mys " + selCall, "MYPTCall " + myCall,
              QByteArray("hpoll off"), QByteArray("PTHUFF ON"), QByteArray("MDM ON"),
              QByteArray("ACRR 0")})
            Send(Line(command));
        DummiRead();
        for (const char* command : {"PTO $19", "AWL 8", "par 0", "8b on"})
            Send(Line(command));
    }

    Send(Line("hpoll off"));
    DummiRead();
    Send(Line("host on"));
    DummiRead();
    st.PkParametersLoaded = true;
    Delay(1000);

    Send(Frames::CommandFrame("GG"));
    // Its reply is read only as far as it has arrived; the rest comes through
    // the decoder as an ordinary frame. Bounded like a frame read.
    // The byte behind a DLE is data, even an end byte.
    StartFrameClock();
    bool escaped = false;
    for (;;) {
        const int b = V24input();
        Delay(5);
        const bool end = b == Frames::kEnd && !escaped;
        escaped = !escaped && b == Frames::kDle;
        if (end || !V24Data() || FrameTimeUp()) break;
    }

    st.HostModeActive = true;
    SetTransmitCaption(QStringLiteral("Transmit"));
    XOnLed->setVisible(true);
    LeesLed->setVisible(true);
}

void THoofdForm::hostOff() {
    Send(Frames::CommandFrame("HON"));
    st.HostModeActive = false;
    Delay(500);
    DummiRead();
}

void THoofdForm::ZetPkKlaar() {
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
    FormResize();
}
