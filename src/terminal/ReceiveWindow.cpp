// The receive window as the receive buffer: read-back, picking, clearing and
// saving the buffer.
#include <QEvent>
#include <QPlainTextEdit>
#include <QScrollBar>

#include "shell/HoofdForm.h"

void THoofdForm::ScrollNaarEnd() {
    QScrollBar* bar = ReceiveWindow->verticalScrollBar();
    bar->setValue(bar->maximum());
}

// Events of the receive window (and its viewport) and of the hidden focus
// holder Temp, before the widget sees them. True when the event is taken.
bool THoofdForm::ReceiveWindowEvent(QObject*, QEvent*) {
    return false;
}
bool THoofdForm::TempEvent(QEvent*) {
    return false;
}

// Restoring the window, picking, clearing and saving come with the receive
// window work.
void THoofdForm::HerstelReceiveWindow() {}
void THoofdForm::ReceiveWindowDblClick() {}
void THoofdForm::MenuClearRxScreenClick() {}
void THoofdForm::SaveBufferClick() {}
