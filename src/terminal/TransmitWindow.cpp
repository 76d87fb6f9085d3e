// The transmit window: clearing it, and clearing the controller's transmit
// buffer.
#include <QPlainTextEdit>

#include "host/Frames.h"
#include "shell/HoofdForm.h"

void THoofdForm::MenuClearTxScreenClick() {}

void THoofdForm::ClearTransmitBufferClick() {
    if (st.HostModeActive) {
        Send(QByteArray(1, Frames::kEnd));
        Send(Frames::CommandFrame("TC"));
    } else {
        Send(QByteArray("TClear") + Frames::LineEnd);
    }
}
