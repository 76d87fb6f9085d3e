// The receive window as the receive buffer: read-back, picking, clearing and
// saving the buffer.
#include <QEvent>
#include <QPlainTextEdit>
#include <QScrollBar>

#include "logbook/LogBookInvulForm.h"
#include "shell/HoofdForm.h"
#include "shell/Prompts.h"

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

// Restoring the window, clearing and saving come with the receive
// window work.
void THoofdForm::HerstelReceiveWindow() {}
void THoofdForm::MenuClearRxScreenClick() {}
void THoofdForm::SaveBufferClick() {}

void THoofdForm::ReceiveWindowDblClick() {
    // Picking works only while the logbook is on; otherwise the double click
    // just selects a word, as the box does by itself.
    if (!st.LogBookOn) return;
    QString picked = ReceiveWindow->textCursor().selectedText();
    if (picked.isEmpty()) return;
    // The whole selection, line breaks as they stand in the receive buffer.
    picked.replace(QChar::ParagraphSeparator, QLatin1String("\r\n"));
    st.PickedCall = picked;
    Delay(500);
    prompts().ShowModal(*LogBookInvulForm);
}
