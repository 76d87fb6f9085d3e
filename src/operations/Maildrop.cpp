// The maildrop switch and the maildrop check: the controller's own mailbox,
// reached from the dumb terminal, with its List, Read, Write and Kill
// commands.
#include <QAction>
#include <QToolButton>

#include "host/CharTable.h"
#include "host/Frames.h"
#include "shell/HoofdForm.h"
#include "shell/Prompts.h"

namespace {
QByteArray Line(const QByteArray& text) {
    return text + Frames::LineEnd;
}
} // namespace

bool THoofdForm::MaildropCheckOpen() const {
    return MenuMaildropCheck->isChecked();
}

void THoofdForm::MenuToggleMaildropClick() {
    StopTimers();
    if (st.MaildropOn) {
        SwitchListenOn();
        Send(Frames::CommandFrame("TLN"));
        st.MaildropOn = false;
        MenuToggleMaildrop->setChecked(false);
        SetTransmitCaption(QStringLiteral("Transmit"));
    } else {
        SwitchListenOff();
        Send(Frames::CommandFrame("TLY"));
        st.MaildropOn = true;
        MenuToggleMaildrop->setChecked(true);
        SetTransmitCaption(QStringLiteral("Maildrop is switched ON"));
    }
    StartTimers();
}

void THoofdForm::MenuMaildropCheckItemClick() {
    MenuMaildropCheck->setChecked(!MenuMaildropCheck->isChecked());
    MenuMaildropCheckClick();
}

void THoofdForm::MenuMaildropCheckClick() {
    if (MaildropCheckOpen()) {
        // Closing: leave the mailbox, then back to HOST mode and PACTOR.
        Send(QByteArray(1, Frames::LineEnd) + 'B' + Frames::LineEnd);
        MenuMaildropCheck->setChecked(false);
        for (QToolButton* b : {MdcList, MdcRead, MdcWrite, MdcKill})
            b->setVisible(false);
        ZetTabNaar(0);
        return;
    }
    // Opening: out of HOST mode into the dumb terminal, then the mailbox.
    SwitchListenOff();
    MenuDumbClick();
    SetTransmitCaption(QStringLiteral("Maildrop Check"));
    Delay(500);
    Send(Line("MDC"));
    MenuMaildropCheck->setChecked(true);
    for (QToolButton* b : {MdcList, MdcRead, MdcWrite, MdcKill})
        b->setVisible(true);
}

void THoofdForm::MdcListClick() {
    Send(Line("L"));
}

void THoofdForm::MailboxCommand(char letter, const QString& caption, const QString& prompt) {
    // The answer goes out exactly as typed; the mailbox judges it.
    const std::optional<QString> answer = prompts().InputBox(caption, prompt, QString());
    if (!answer || answer->isEmpty()) return;
    Send(Line(QByteArray(1, letter) + ' ' + CharTable::ToBytes(*answer)));
}

void THoofdForm::MdcReadClick() {
    MailboxCommand('R', QStringLiteral("Reading from MB"), QStringLiteral("Give number of file"));
}

void THoofdForm::MdcWriteClick() {
    MailboxCommand('S', QStringLiteral("Write a file in MB"), QStringLiteral("To who ?"));
}

void THoofdForm::MdcKillClick() {
    MailboxCommand('K', QStringLiteral("Kill a file in MB"), QStringLiteral("Give number of file"));
}
