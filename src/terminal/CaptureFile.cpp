// The receive log capture file.
#include "shell/HoofdForm.h"

void THoofdForm::CloseLogFile() {
    if (LogFile.isOpen()) LogFile.close();
    st.LogFileOpen = false;
}

// Opening the capture file and its menu items come with the capture work.
void THoofdForm::MenuOpenLogFileClick() {}
void THoofdForm::MenuCloseLogFileClick() {}
void THoofdForm::OpenLogFileClick() {}
