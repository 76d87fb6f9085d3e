// Switching between PACTOR, AMTOR, RTTY and the dumb terminal, the mode bar,
// listening and standby.
#include <QAction>
#include <QToolButton>

#include "host/Frames.h"
#include "link/Poort.h"
#include "shell/HoofdForm.h"
#include "shell/Widgets.h"

namespace {
bool Is(const QString& mode, const char* name) {
    return mode == QLatin1String(name);
}
} // namespace

void THoofdForm::SwitchToPactor() {
    ZetPkKlaar();
    ScrollNaarEnd();
    // A unit without the PACTOR option does not know PACTOR standby.
    if (SendHostCommand("Pt") == kUnknownCommand) noPactor_ = true;
    MenuUnpro->setEnabled(true);
    MenuAmtorFec->setEnabled(false);
    MenuBaudotTransmit->setEnabled(false);
    MenuYourcall->setText(QStringLiteral("Your Call"));
}

void THoofdForm::SwitchToAmtor() {
    ZetPkKlaar();
    // During a link the controller is only readied.
    if (st.IsConnected) return;
    ScrollNaarEnd();
    poort.PoortPurgeInput();
    SendHostCommand("AM");
    MenuUnpro->setEnabled(false);
    MenuAmtorFec->setEnabled(true);
    MenuBaudotTransmit->setEnabled(false);
    // The own-call dialog now sets the selective call.
    MenuYourcall->setText(QStringLiteral("Your SelCall"));
}

void THoofdForm::SwitchToRtty() {
    ZetPkKlaar();
    ScrollNaarEnd();
    SendHostCommand("BA");
    // Taken at once, without waiting for the next status reply.
    st.ModeName = QStringLiteral("RTTY");
    MenuUnpro->setEnabled(false);
    MenuAmtorFec->setEnabled(false);
    MenuBaudotTransmit->setEnabled(true);
    StartTimers();
}

void THoofdForm::MenuDumbClick() {
    ScrollNaarEnd();
    st.DumbMode = true;
    st.ModeName = QStringLiteral("DUMB");
    if (TabBalk->Page() != TabBalk->indexOf(DumbPage)) {
        Delay(1000);
        ZetTabNaar(TabBalk->indexOf(DumbPage));
    }
    hostOff();
    SetTransmitCaption(QStringLiteral("Commands"));
    StatusLine();
    Send(QByteArray("\x0A\x0D"));
}

void THoofdForm::ZetTabNaar(int page) {
    // Setting a page that is not showing raises TabBalkChange already; it
    // runs once more here in every case.
    TabBalk->SetPage(page);
    TabBalkChange(page);
}

void THoofdForm::TabBalkChange(int page) {
    if (MenuMaildropCheck->isChecked()) {
        // The maildrop check is open: end the controller's mailbox dialogue.
        MenuMaildropCheck->setChecked(false);
        for (QToolButton* b : {MdcList, MdcRead, MdcWrite, MdcKill})
            b->setVisible(false);
        LeaveMailbox();
    }
    // Dispatched by the page, not by its place on the bar.
    QWidget* const shown = TabBalk->widget(page);
    if (shown != PacketPage) LeavePacket();
    if (shown == FaxPage) {
        if (!FaxModeOn()) SwitchToFax();
        return;
    }
    EndFaxMode(); // a picture under way is saved whole
    if (shown == PactorPage) {
        if (!Is(st.ModeName, "PACTOR")) SwitchToPactor();
    } else if (shown == AmtorPage) {
        if (!Is(st.ModeName, "AMTOR")) SwitchToAmtor();
    } else if (shown == RttyPage) {
        if (!Is(st.ModeName, "RTTY")) SwitchToRtty();
    } else if (shown == MorsePage) {
        if (!Is(st.ModeName, "MORSE")) SwitchToMorse();
    } else if (shown == AsciiPage) {
        if (!Is(st.ModeName, "ASCII")) SwitchToAscii();
    } else if (shown == NavtexPage) {
        if (!Is(st.ModeName, "NAVTEX")) SwitchToNavtex();
    } else if (shown == PacketPage) {
        if (!Is(st.ModeName, "PACKET")) SwitchToPacket();
    } else if (shown == DumbPage) {
        if (!Is(st.ModeName, "DUMB")) MenuDumbClick();
    }
}

void THoofdForm::MenuPactorClick() {
    if (!Is(st.ModeName, "PACTOR")) ZetTabNaar(0);
}

void THoofdForm::MenuAmtorClick() {
    if (!Is(st.ModeName, "AMTOR")) ZetTabNaar(1);
}

void THoofdForm::MenuRttyClick() {
    // This one looks at the page showing, not at the mode.
    if (TabBalk->Page() != TabBalk->indexOf(RttyPage)) ZetTabNaar(TabBalk->indexOf(RttyPage));
}

// Each command waits for its reply before anything goes after it.
void THoofdForm::SwitchListenOn() {
    if (Is(st.ModeName, "PACTOR"))
        SendHostCommand("PN");
    else if (Is(st.ModeName, "AMTOR"))
        SendHostCommand("AL");
}

void THoofdForm::SwitchListenOff() {
    if (Is(st.ModeName, "PACTOR"))
        SendHostCommand("Pt");
    else if (Is(st.ModeName, "AMTOR"))
        SendHostCommand("AM");
}

void THoofdForm::MenuToggleListenClick() {
    if (st.IsConnected) return;
    if (Is(st.LinkStateText, "LISTEN"))
        SwitchListenOff();
    else
        SwitchListenOn();
}

void THoofdForm::MenuStandbyClick() {
    if (st.IsConnected) return;
    if (Is(st.ModeName, "PACTOR"))
        SendHostCommand("Pt");
    else if (Is(st.ModeName, "AMTOR"))
        SendHostCommand("AM");
    if (Is(st.LinkStateText, "LISTEN")) SwitchListenOff();
    if (Is(st.ModeName, "RTTY")) {
        Send(QByteArray(1, 0x19));
    } else {
        Delay(500);
        poort.PoortPurgeInput();
    }
}
