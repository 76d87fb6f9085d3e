// The maildrop switch and the maildrop check: the controller's own mailbox,
// reached from the dumb terminal, with its List, Read, Write and Kill
// commands.
#include <QAction>
#include <QToolButton>

#include "host/CharTable.h"
#include "host/Frames.h"
#include "shell/HoofdForm.h"
#include "shell/Prompts.h"

bool THoofdForm::MaildropCheckOpen() const {
    return MenuMaildropCheck->isChecked();
}

void THoofdForm::MenuToggleMaildropClick() {
    StopTimers();
    if (st.MaildropOn) {
        SwitchListenOn();
        SendHostCommand("TLN");
        st.MaildropOn = false;
        MenuToggleMaildrop->setChecked(false);
        SetTransmitCaption(QStringLiteral("Transmit"));
    } else {
        SwitchListenOff();
        SendHostCommand("TLY");
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
        LeaveMailbox();
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
    // Each mailbox line waits for the mailbox's answer, shown as it comes.
    SendCommandLine("MDC", CommandAnswer::Expect::Prompt, true);
    MenuMaildropCheck->setChecked(true);
    for (QToolButton* b : {MdcList, MdcRead, MdcWrite, MdcKill})
        b->setVisible(true);
}

void THoofdForm::MdcListClick() {
    SendCommandLine("L", CommandAnswer::Expect::Prompt, true);
}

void THoofdForm::LeaveMailbox() {
    // An empty line ends what was typed (its answer is a prompt, or nothing
    // in a message being written); then "B" leaves the mailbox.
    if (AskCommandLine(QByteArray(), CommandAnswer::Expect::Quiet, true) ==
        CommandAnswer::Verdict::Taken)
        SendCommandLine("B", CommandAnswer::Expect::Prompt, true);
}

void THoofdForm::MailboxCommand(char letter, const QString& caption, const QString& prompt) {
    // The answer goes out exactly as typed; the mailbox judges it.
    const std::optional<QString> answer = prompts().InputBox(caption, prompt, QString());
    if (!answer || answer->isEmpty()) return;
    // "S call" begins a message: no prompt comes until it ends.
    const CommandAnswer::Expect expect =
        letter == 'S' ? CommandAnswer::Expect::Quiet : CommandAnswer::Expect::Prompt;
    SendCommandLine(QByteArray(1, letter) + ' ' + CharTable::ToBytes(*answer), expect, true);
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
