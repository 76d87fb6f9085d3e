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
    Send(Frames::CommandFrame("Pt"));
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
    Send(Frames::CommandFrame("AM"));
    MenuUnpro->setEnabled(false);
    MenuAmtorFec->setEnabled(true);
    MenuBaudotTransmit->setEnabled(false);
    // The own-call dialog now sets the selective call.
    MenuYourcall->setText(QStringLiteral("Your SelCall"));
}

void THoofdForm::SwitchToRtty() {
    ZetPkKlaar();
    ScrollNaarEnd();
    Send(Frames::CommandFrame("BA"));
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
        Send(QByteArray("\x0D"
                        "B"
                        "\x0D"));
    }
    if (TabBalk->widget(page) == FaxPage) {
        if (!FaxModeOn()) SwitchToFax();
        return;
    }
    EndFaxMode(); // a picture under way is saved whole
    if (TabBalk->widget(page) == DumbPage) {
        if (!Is(st.ModeName, "DUMB")) MenuDumbClick();
        return;
    }
    switch (page) {
    case 0:
        if (!Is(st.ModeName, "PACTOR")) SwitchToPactor();
        break;
    case 1:
        if (!Is(st.ModeName, "AMTOR")) SwitchToAmtor();
        break;
    case 2:
        if (!Is(st.ModeName, "RTTY")) SwitchToRtty();
        break;
    default:
        break;
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
    if (TabBalk->Page() != 2) ZetTabNaar(2);
}

void THoofdForm::SwitchListenOn() {
    if (Is(st.ModeName, "PACTOR"))
        Send(Frames::CommandFrame("PN"));
    else if (Is(st.ModeName, "AMTOR"))
        Send(Frames::CommandFrame("AL"));
}

void THoofdForm::SwitchListenOff() {
    if (Is(st.ModeName, "PACTOR"))
        Send(Frames::CommandFrame("Pt"));
    else if (Is(st.ModeName, "AMTOR"))
        Send(Frames::CommandFrame("AM"));
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
        Send(Frames::CommandFrame("Pt"));
    else if (Is(st.ModeName, "AMTOR"))
        Send(Frames::CommandFrame("AM"));
    if (Is(st.LinkStateText, "LISTEN")) SwitchListenOff();
    if (Is(st.ModeName, "RTTY")) {
        Send(QByteArray(1, 0x19));
    } else {
        Delay(500);
        poort.PoortPurgeInput();
    }
}
