// The logbook file and its windows. Filled in with the logbook work.
#include "shell/HoofdForm.h"

void THoofdForm::LogBookClick() {
    LogBook->setChecked(st.LogBookOn);
}
void THoofdForm::MenuShowLogBookClick() {}
void THoofdForm::MenuEditLogBookClick() {}
void THoofdForm::OpenLogBookFile() {}
void THoofdForm::CloseLogBookFile() {}
