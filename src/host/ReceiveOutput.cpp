// Received characters into the receive window and the capture file, and the
// write timer that drives the decoder.
#include <QPlainTextEdit>
#include <QTextCursor>

#include "host/Frames.h"
#include "shell/HoofdForm.h"
#include "shell/InOutError.h"

void THoofdForm::schryf(quint8 c) {
    if (st.FileTransmitActive && st.TxPendingCount > 0) --st.TxPendingCount; // never wraps
    if (Frames::IsShown(c)) {
        // Typed in at the receive window's caret; a carriage return starts a
        // new line.
        QTextCursor cursor = ReceiveWindow->textCursor();
        if (c == 0x0D || c == 0x0A)
            cursor.insertBlock();
        else
            cursor.insertText(QString(QChar(char16_t(c))));
        ReceiveWindow->setTextCursor(cursor);
        ReceiveWindow->ensureCursorVisible();

        if (st.LogFileOpen) {
            const char byte = char(c);
            if (LogFile.write(&byte, 1) != 1 || !LogFile.flush())
                throw InOutError(QStringLiteral("Error writing %1").arg(LogFile.fileName()));
        }
    }
    if (st.DumbMode) RefreshCountPanes();
}

void THoofdForm::SchryfintervalTimer() {
    if (!V24Data()) return;
    if (st.DumbMode)
        GETV24DUMB();
    else
        GETV24Data();
}

// The application-wide message hook: it runs before every input and timer
// event taken from the event loop. Filled in with the receive-output work.
void THoofdForm::ReceiveHandle() {}
