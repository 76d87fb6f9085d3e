// The transmit window: a click in it, the key that starts reading back,
// clearing it, and clearing the controller's transmit buffer.
#include <QPlainTextEdit>
#include <QScrollBar>

#include "host/Frames.h"
#include "host/KeyValue.h"
#include "shell/HoofdForm.h"

void THoofdForm::ZendWindowClick() {
    HerstelReceiveWindow();
    ZendWindow->setFocus();
}

void THoofdForm::ZendWindowKeyDown(int key, Qt::KeyboardModifiers modifiers) {
    // Ctrl+PgUp alone; the key still reaches the window. The message hook
    // then finds the receive window scrolled back and moves the focus to
    // the read-back keys.
    if (!KeyValue::IsReadBackKey(key, modifiers)) return;
    st.ScrollBackMode = true;
    QScrollBar* bar = ReceiveWindow->verticalScrollBar();
    bar->setValue(bar->value() - 10 * bar->singleStep());
}

void THoofdForm::MenuClearTxScreenClick() {
    // Text the controller has not yet sent stays in its buffer.
    ZendWindow->clear();
}

void THoofdForm::ClearTransmitBufferClick() {
    // What waited in the controller's buffer will not come back.
    echoBreaks_.Reset();
    if (st.HostModeActive) {
        Send(QByteArray(1, Frames::kEnd));
        Send(Frames::CommandFrame("TC"));
    } else {
        Send(QByteArray("TClear") + Frames::LineEnd);
    }
}
