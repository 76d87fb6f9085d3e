// Received characters into the receive window and the capture file, the write
// timer that drives the decoder, and the message hook that keeps the hold,
// the focus, the "Data" lamp and the transmit window in check.
#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QScrollBar>
#include <QTextCursor>

#include "host/CharTable.h"
#include "host/Frames.h"
#include "shell/HoofdForm.h"
#include "shell/InOutError.h"

namespace {
// More bytes than this waiting in the input queue light the "Data" lamp.
constexpr int kQuietQueue = 13;
// The transmit window is emptied beyond this many characters.
constexpr int kTransmitWindowLimit = 4000;

void SetLampIfChanged(QLabel* lamp, const QColor& background, const QColor& text) {
    const QPalette& p = lamp->palette();
    if (p.color(QPalette::Window) != background || p.color(QPalette::WindowText) != text)
        THoofdForm::SetLamp(lamp, background, text);
}
} // namespace

int THoofdForm::TextLength(const QPlainTextEdit* box) {
    // Both counts are kept by the document itself: nothing here walks the
    // text. The document counts one separator per line break and one more
    // at its end.
    const QTextDocument* doc = box->document();
    return doc->characterCount() - 1 + doc->blockCount() - 1;
}

void THoofdForm::schryf(quint8 c) {
    if (st.FileTransmitActive && st.TxPendingCount > 0) --st.TxPendingCount; // never wraps
    if (Frames::IsShown(c)) {
        // Typed in at the receive window's caret, replacing any selection; a
        // carriage return starts a new line.
        QTextCursor cursor = ReceiveWindow->textCursor();
        QScrollBar* bar = ReceiveWindow->verticalScrollBar();
        // The usual case: the caret at the end, the window showing it (its
        // last line may be cut off). The window's own caret moves on with
        // the insertion, and keeping the last line in view is a single
        // scroll to the end.
        const bool following =
            !cursor.hasSelection() && cursor.atEnd() && bar->value() >= bar->maximum() - 1;
        if (c == 0x0D || c == 0x0A)
            cursor.insertBlock();
        else
            cursor.insertText(QString(CharTable::ToChar(c)));
        if (following) {
            bar->setValue(bar->maximum());
        } else {
            ReceiveWindow->setTextCursor(cursor);
            ReceiveWindow->ensureCursorVisible();
        }

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
// event taken from an event loop, a modal dialog's included.
void THoofdForm::ReceiveHandle() {
    // 1. - 2. Scrolled back from the highest position seen: the operator
    // reads back, received text is held and the keys go to Temp. A window
    // at its end is never scrolled back, however a new size or font has
    // moved its end.
    // The focus stays where it is while the menus are worked from the
    // keyboard, a popup is open or a dialog is up.
    const bool focusBusy = QApplication::activePopupWidget() || QApplication::activeModalWidget() ||
                           qobject_cast<QMenuBar*>(QApplication::focusWidget());
    auto focus = [focusBusy](QWidget* w) {
        if (!focusBusy && !w->hasFocus()) w->setFocus();
    };
    const QScrollBar* bar = ReceiveWindow->verticalScrollBar();
    st.RxScrollPos = quint32(qMax(0, bar->value()));
    const bool atEnd = bar->value() >= bar->maximum();
    if (!atEnd && st.RxScrollPos < st.RxMaxScrollPos) {
        focus(Temp);
        st.ScrollBackMode = true;
        st.HoldReceive = true;
    } else {
        st.RxMaxScrollPos = st.RxScrollPos;
        st.ScrollBackMode = false;
        focus(ZendWindow);
        st.HoldReceive = false;
    }

    // 3. - 4. The data-buffer pane and the "Data" lamp; both are repainted
    // only when they change.
    const int waiting = poort.PoortBytesAvailable();
    QString pane;
    if (waiting > kQuietQueue || !st.PendingReceiveText.isEmpty()) {
        const qsizetype count =
            st.PendingReceiveText.isEmpty() ? waiting : st.PendingReceiveText.size();
        pane = QStringLiteral("Databuf: ") + QString::number(count);
        SetLampIfChanged(V24DataLed, QColor(255, 0, 0), Qt::white);
    } else {
        pane = QStringLiteral("Data buffer 0");
        SetLampIfChanged(V24DataLed, QColor(0, 255, 0), Qt::black);
    }
    if (Pane7->text() != pane) SetPane(Pane7, pane);

    // 5. Typed-ahead text never grows without bound.
    if (TextLength(ZendWindow) > kTransmitWindowLimit) ZendWindow->clear();

    // 6. The arrow while picking for the logbook is possible.
    const Qt::CursorShape shape = st.LogBookOn ? Qt::ArrowCursor : Qt::ForbiddenCursor;
    if (ReceiveWindow->viewport()->cursor().shape() != shape)
        ReceiveWindow->viewport()->setCursor(shape);
}
