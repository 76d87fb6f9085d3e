// Switching between PACTOR, AMTOR, RTTY and the dumb terminal, listening and
// standby.
#include <QAction>
#include <QScrollBar>

#include "host/Frames.h"
#include "shell/HoofdForm.h"

void THoofdForm::SwitchToPactor() {
    ZetPkKlaar();
    ScrollNaarEnd();
    Send(Frames::CommandFrame("Pt"));
    MenuUnpro->setEnabled(true);
    MenuAmtorFec->setEnabled(false);
    MenuBaudotTransmit->setEnabled(false);
    MenuYourcall->setText(QStringLiteral("Your Call"));
}

void THoofdForm::SwitchListenOn() {
    if (st.ModeName == QLatin1String("PACTOR"))
        Send(Frames::CommandFrame("PN"));
    else if (st.ModeName == QLatin1String("AMTOR"))
        Send(Frames::CommandFrame("AL"));
}

void THoofdForm::SwitchListenOff() {
    if (st.ModeName == QLatin1String("PACTOR"))
        Send(Frames::CommandFrame("Pt"));
    else if (st.ModeName == QLatin1String("AMTOR"))
        Send(Frames::CommandFrame("AM"));
}

// The mode bar's page changes, the other mode switches, the dumb terminal,
// listen toggling and standby come with the mode-switching work.
void THoofdForm::SwitchToAmtor() {}
void THoofdForm::SwitchToRtty() {}
void THoofdForm::MenuPactorClick() {}
void THoofdForm::MenuAmtorClick() {}
void THoofdForm::MenuRttyClick() {}
void THoofdForm::MenuDumbClick() {}
void THoofdForm::MenuToggleListenClick() {}
void THoofdForm::MenuStandbyClick() {}
void THoofdForm::ZetTabNaar(int) {}
void THoofdForm::TabBalkChange(int) {}
