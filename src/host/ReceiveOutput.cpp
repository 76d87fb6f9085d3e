// Received characters into the receive window and the capture file, the write
// timer that drives the decoder, and the message hook that keeps the hold,
// the focus, the "Data" lamp and the transmit window in check.
#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QScrollBar>
#include <QTextCharFormat>
#include <QTextCursor>

#include "host/CharTable.h"
#include "host/Frames.h"
#include "shell/HoofdForm.h"
#include "terminal/ReceiveLines.h"

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
    // The counts are kept by the document: nothing here walks the text.
    // The document counts one separator per block break and one more at
    // its end; a break is a line break, CR LF, unless the block only goes
    // on with a long line.
    const QTextDocument* doc = box->document();
    return doc->characterCount() - 1 + doc->blockCount() - 1 -
           2 * ReceiveLines::ContinuedLines(doc);
}

void THoofdForm::schryf(quint8 c) {
    schryfText(QByteArray(1, char(c)));
}

namespace {
// The shown characters of received text as the window holds them: each
// carriage return or line feed a line break of its own.
QString WindowText(const QByteArray& shown) {
    QString text = CharTable::ToString(shown);
    for (QChar& c : text)
        if (c == QLatin1Char('\r') || c == QLatin1Char('\n')) c = QChar::ParagraphSeparator;
    return text;
}
} // namespace

void THoofdForm::schryfText(const QByteArray& given, TextKind kind) {
    // 1. Every character counts down a file transmission, shown or not; the
    // count never wraps.
    if (st.FileTransmitActive)
        st.TxPendingCount = quint16(qMax<qsizetype>(0, st.TxPendingCount - given.size()));
    // 2. The echo gets back the line ends the controller sent but kept to
    // itself, so the operator's lines stand apart.
    // With the option on, received lines begin with the UTC time.
    const QByteArray text =
        StampLines(kind == TextKind::Echo ? echoBreaks_.Echoed(given) : given, kind);
    // 3. The shown ones go to the window and the capture file, in one step.
    QByteArray shown;
    shown.reserve(text.size());
    for (const char c : text)
        if (Frames::IsShown(quint8(c))) shown.append(c);
    if (!shown.isEmpty()) {
        AppendReceived(WindowText(shown), kind);
        if (st.LogFileOpen) CaptureText(shown);
    }
    if (st.DumbMode) RefreshCountPanes();
}

void THoofdForm::AppendReceived(const QString& text, TextKind kind) {
    // Received text always goes to the end of the buffer, so the buffer
    // holds exactly what was received (and captured), in order. The
    // operator's caret and selection stay where they are: a caret at the
    // end moves on with the text, anything else stays put.
    QScrollBar* bar = ReceiveWindow->verticalScrollBar();
    // A window showing its end (its last line may be cut off) keeps showing
    // it, with a single scroll to the end.
    const bool following = bar->value() >= bar->maximum() - 1;
    const QTextCursor caret = ReceiveWindow->textCursor();
    const int anchor = caret.anchor();
    const int position = caret.position();

    QTextCursor end(ReceiveWindow->document());
    end.movePosition(QTextCursor::End);
    // The echo in the operator's own colour; received text in the window's
    // text colour, whatever stands before it.
    QTextCharFormat format;
    if (kind == TextKind::Echo) format.setForeground(st.EchoColour);
    ReceiveLines::Append(end, text, format);

    // A selection that reached the end has been carried along: it gets
    // back its own characters, without moving the view.
    if (caret.hasSelection()) {
        QTextCursor now = ReceiveWindow->textCursor();
        if (now.anchor() != anchor || now.position() != position) {
            const int view = bar->value();
            now.setPosition(anchor);
            now.setPosition(position, QTextCursor::KeepAnchor);
            ReceiveWindow->setTextCursor(now);
            bar->setValue(view);
        }
    }
    if (following) bar->setValue(bar->maximum());
}

void THoofdForm::SchryfintervalTimer() {
    if (V24Data()) {
        if (st.DumbMode)
            GETV24DUMB();
        else
            ReadWaitingFrames();
    }
    // The check after an outage throws away what comes before its answer:
    // it waits for a tick that has read everything that came.
    if (HostCheckDue() && !V24Data()) CheckHostModeAfterOutage();
    FollowHostCheck();
    // A capture file that failed meanwhile (here, or while a text file went
    // out) is reported now, once, after the frame it failed in, shown whole.
    ReportCaptureError();
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
