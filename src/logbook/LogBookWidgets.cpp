#include "logbook/LogBookWidgets.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QTextBlock>
#include <QTextCursor>

#include "logbook/LogBookRecord.h"

TInfoMemo::TInfoMemo(QWidget* parent) : QPlainTextEdit(parent) {
    setLineWrapMode(QPlainTextEdit::NoWrap);
    setTabChangesFocus(true);
    connect(this, &QPlainTextEdit::textChanged, this, &TInfoMemo::KeepToLimit);
}

void TInfoMemo::SetMaxLength(int maxLength) {
    maxLength_ = maxLength;
    KeepToLimit();
}

void TInfoMemo::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        event->ignore();
        return;
    }
    // A full box refuses a typed character rather than lose one at its end.
    const QString typed = event->text();
    if (maxLength_ > 0 && !typed.isEmpty() && typed.at(0).isPrint()) {
        const int length = document()->characterCount() - 1;
        const int replaced = int(textCursor().selectedText().size());
        if (length - replaced + int(typed.size()) > maxLength_) {
            event->accept();
            return;
        }
    }
    QPlainTextEdit::keyPressEvent(event);
}

void TInfoMemo::KeepToLimit() {
    if (maxLength_ <= 0 || cutting_) return;
    // The document counts a line break as one character, as the box does.
    const int length = document()->characterCount() - 1;
    if (length <= maxLength_) return;
    cutting_ = true;
    QTextCursor c(document());
    c.setPosition(maxLength_);
    c.movePosition(QTextCursor::End, QTextCursor::KeepAnchor);
    c.removeSelectedText();
    cutting_ = false;
}

TClickLabel::TClickLabel(const QString& text, QWidget* parent) : QLabel(text, parent) {}

void TClickLabel::mouseReleaseEvent(QMouseEvent* event) {
    QLabel::mouseReleaseEvent(event);
    if (event->button() == Qt::LeftButton && OnClick) OnClick();
}

TLogEdit::TLogEdit(QWidget* parent) : QLineEdit(parent) {}

void TLogEdit::keyPressEvent(QKeyEvent* event) {
    const QString typed = event->text();
    const QString upper = LogBookText::Capitals(typed);
    if (!typedCapitals_ || typed.isEmpty() || upper == typed) {
        QLineEdit::keyPressEvent(event);
        return;
    }
    QKeyEvent capital(event->type(), event->key(), event->modifiers(), upper, event->isAutoRepeat(),
                      ushort(event->count()));
    QLineEdit::keyPressEvent(&capital);
    event->setAccepted(capital.isAccepted());
}

void TLogEdit::mouseReleaseEvent(QMouseEvent* event) {
    QLineEdit::mouseReleaseEvent(event);
    if (event->button() == Qt::LeftButton && OnClick) OnClick();
}
