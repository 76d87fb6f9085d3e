// Typed keys to the controller.
#include <QEvent>
#include <QKeyEvent>
#include <QPlainTextEdit>

#include "shell/HoofdForm.h"

// Events of the transmit window before the window sees them. The character
// of every key typed goes to its key handler first; the window still shows it
// as usual. True when the event is taken.
bool THoofdForm::ZendWindowEvent(QEvent* event) {
    if (event->type() == QEvent::KeyPress) {
        const QString text = static_cast<QKeyEvent*>(event)->text();
        if (text.size() == 1 && text.at(0).unicode() <= 0xFF)
            Guarded([&] { ZendWindowKeyPress(quint8(text.at(0).unicode())); });
    }
    return false;
}

// The keyboard path comes with the keyboard work.
void THoofdForm::ZendWindowKeyPress(quint8) {}
