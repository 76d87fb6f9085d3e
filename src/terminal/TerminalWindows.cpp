// The receive and transmit windows.
#include <QPlainTextEdit>
#include <QScrollBar>

#include "shell/HoofdForm.h"

void THoofdForm::ScrollNaarEnd() {
    QScrollBar* bar = ReceiveWindow->verticalScrollBar();
    bar->setValue(bar->maximum());
}

// Clearing, saving the buffer and the transmit buffer come with the terminal
// window work.
void THoofdForm::MenuClearRxScreenClick() {}
void THoofdForm::MenuClearTxScreenClick() {}
void THoofdForm::ClearTransmitBufferClick() {}
void THoofdForm::SaveBufferClick() {}
