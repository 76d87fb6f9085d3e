// The receive window as the receive buffer: keeping it ready for new text at
// its end, read-back, picking, clearing and saving the buffer.
#include <QApplication>
#include <QClipboard>
#include <QDir>
#include <QEvent>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QScopeGuard>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QScrollBar>
#include <QTextBlock>
#include <QTextCursor>

#include "host/CharTable.h"
#include "logbook/LogBookInvulForm.h"
#include "shell/FileLookup.h"
#include "shell/HoofdForm.h"
#include "shell/InOutError.h"
#include "shell/Prompts.h"
#include "terminal/FileBestaat.h"
#include "terminal/ReceiveLines.h"

void THoofdForm::ScrollNaarEnd() {
    // The window ends at its last line; an empty window has nowhere to go.
    if (ReceiveWindow->document()->isEmpty()) return;
    QScrollBar* bar = ReceiveWindow->verticalScrollBar();
    bar->setValue(bar->maximum());
}

void THoofdForm::HerstelReceiveWindow() {
    // The same text, the caret after its last character and nothing
    // selected: received text goes in at the end again. The text itself is
    // not touched, however large the buffer.
    QTextCursor cursor = ReceiveWindow->textCursor();
    cursor.movePosition(QTextCursor::End);
    ReceiveWindow->setTextCursor(cursor);
    Temp->clear();
    ScrollNaarEnd();
    // The clipboard is left empty, whatever it held.
    QApplication::clipboard()->clear();
    ZendWindow->setFocus();
}

bool THoofdForm::ReceiveWindowEvent(QObject* watched, QEvent* event) {
    // A double click first selects the word, as the text box does by itself;
    // the pick then takes that selection.
    static bool inDoubleClick = false;
    if (watched == ReceiveWindow->viewport() && event->type() == QEvent::MouseButtonDblClick &&
        !inDoubleClick) {
        inDoubleClick = true;
        QCoreApplication::sendEvent(watched, event);
        inDoubleClick = false;
        Guarded([this] { ReceiveWindowDblClick(); });
        return true;
    }
    return false;
}

bool THoofdForm::TempEvent(QEvent* event) {
    switch (event->type()) {
    case QEvent::ShortcutOverride:
        // Temp claims no key for itself: the menu shortcuts keep working.
        event->ignore();
        return true;
    case QEvent::KeyPress:
        // Nothing typed during read-back collects in the hidden box.
        Guarded([&] { TempKeyDown(static_cast<QKeyEvent*>(event)->key()); });
        return true;
    default:
        return false;
    }
}

void THoofdForm::TempKeyDown(int key) {
    if (key == Qt::Key_Escape) {
        ScrollNaarEnd();
        ZendWindow->setFocus();
        return;
    }
    if (!st.ScrollBackMode) return;
    QScrollBar* bar = ReceiveWindow->verticalScrollBar();
    switch (key) {
    case Qt::Key_PageUp:
        bar->triggerAction(QAbstractSlider::SliderPageStepSub);
        break;
    case Qt::Key_PageDown:
        bar->triggerAction(QAbstractSlider::SliderPageStepAdd);
        break;
    case Qt::Key_Home:
        bar->triggerAction(QAbstractSlider::SliderToMinimum);
        break;
    case Qt::Key_Up:
        bar->triggerAction(QAbstractSlider::SliderSingleStepSub);
        break;
    case Qt::Key_Down:
        bar->triggerAction(QAbstractSlider::SliderSingleStepAdd);
        break;
    default:
        break;
    }
}

void THoofdForm::ReceiveWindowDblClick() {
    if (!st.LogBookOn) return;
    const QTextCursor selection = ReceiveWindow->textCursor();
    const QString selected = selection.selectedText();
    if (selected.isEmpty()) return;
    // A selection over several lines keeps its line breaks as CR LF.
    const QString picked = ReceiveLines::AsReceived(
        selected, ReceiveWindow->document()->findBlock(selection.selectionStart()));
    st.PickedCall = picked;
    LogBookInvulForm->NewPick();
    Delay(500);
    prompts().ShowModal(*LogBookInvulForm);
}

void THoofdForm::MenuClearRxScreenClick() {
    ReceiveWindow->clear();
    SetPane(Pane6, QStringLiteral("Buffer:0"));
    StartTimers();
    st.RxMaxScrollPos = 0;
}

QString THoofdForm::ChosenFilePath(const QString& name) const {
    const QString path = QFileInfo(name).isRelative() ? QDir(folder_).filePath(name) : name;
    return ResolvePathNoCase(path);
}

QByteArray THoofdForm::ReceiveBufferBytes() const {
    // The raw text keeps every character as it stands (a non-breaking space
    // stays one); blocks are separated by the document's paragraph mark.
    const QTextDocument* doc = ReceiveWindow->document();
    return CharTable::ToBytes(ReceiveLines::AsReceived(doc->toRawText(), doc->begin()));
}

void THoofdForm::SaveBufferClick() {
    StopTimers();
    // The timers run again on every way out, a failed write included.
    const auto restart = qScopeGuard([this] { StartTimers(); });

    const QString chosen =
        prompts_.SaveFileName(QStringLiteral("Dervalix"), ChosenFilePath(st.BufferFileName),
                              QStringLiteral("All files (*)"));
    if (chosen.isEmpty()) return;
    st.BufferFileName = chosen;
    const QString path = ChosenFilePath(chosen);

    if (QFileInfo::exists(path)) {
        // Replace or leave it: the buffer is never appended.
        FileBestaatForm->Prepare(QFileInfo(path).fileName(), QString(), QString(), false);
        prompts_.ShowModal(*FileBestaatForm);
        if (FileBestaatForm->FileExistsAnswer != TFileBestaatForm::Yes) return;
    }

    // Written whole or not at all: the old file stays until the new one is
    // complete.
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        throw InOutError(QStringLiteral("Cannot create file %1").arg(path));
    const QByteArray bytes = ReceiveBufferBytes();
    if (file.write(bytes) != bytes.size() || !file.flush() || !file.commit())
        throw InOutError(QStringLiteral("Error writing file %1").arg(path));
}
