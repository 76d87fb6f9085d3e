// The maildrop switch and the mailbox commands. Filled in with the maildrop
// work.
#include "shell/HoofdForm.h"

void THoofdForm::MenuToggleMaildropClick() {
    // Until the maildrop work lands the menu item only shows the stored state.
    MenuToggleMaildrop->setChecked(st.MaildropOn);
}
void THoofdForm::MenuMaildropCheckClick() {}
void THoofdForm::MdcListClick() {}
void THoofdForm::MdcReadClick() {}
void THoofdForm::MdcWriteClick() {}
void THoofdForm::MdcKillClick() {}
