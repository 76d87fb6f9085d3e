// Typed keys to the controller.
#include <QEvent>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPlainTextEdit>

#include "host/Frames.h"
#include "host/KeyValue.h"
#include "shell/HoofdForm.h"

// Events of the transmit window (and its viewport) before the window sees
// them. Every key goes to the key-down handler; the key values it types go
// to the key handler one by one, and the window still shows them as usual.
// A character without a byte is taken here and never reaches the window.
// True when the event is taken.
bool THoofdForm::ZendWindowEvent(QEvent* event) {
    KeyValue::Typed typed;
    switch (event->type()) {
    case QEvent::KeyPress: {
        const auto* key = static_cast<QKeyEvent*>(event);
        Guarded([&] { ZendWindowKeyDown(key->key(), key->modifiers()); });
        typed = KeyValue::FromKeyPress(key->key(), key->modifiers(), key->text());
        break;
    }
    case QEvent::InputMethod:
        typed = KeyValue::FromCommittedText(static_cast<QInputMethodEvent*>(event)->commitString());
        break;
    case QEvent::MouseButtonRelease:
        if (static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton)
            Guarded([this] { ZendWindowClick(); });
        return false;
    default:
        return false;
    }
    if (typed.kind == KeyValue::Typed::Kind::Refused) return true;
    for (const char k : typed.keys)
        Guarded([&] { ZendWindowKeyPress(quint8(k)); });
    return false;
}

void THoofdForm::ZendWindowKeyPress(quint8 key) {
    if (st.ScrollBackMode && key == quint8(Frames::kEscape)) ScrollNaarEnd();
    // Typing also starts timers an operation left stopped; running ones go
    // on undisturbed.
    StartTimers();
    if (ModeTakesKey(key)) return; // packet: a line at a time
    // Keys go out while a link is up, in the dumb terminal, in RTTY and
    // during unproto and FEC; otherwise they stay in the window only.
    const bool goesOut = st.IsConnected || st.DumbMode || st.ModeName == QLatin1String("RTTY") ||
                         st.ModeName == QLatin1String("MORSE") ||
                         st.ModeName == QLatin1String("ASCII") ||
                         st.LinkStateText == QLatin1String("UNPRO") ||
                         st.LinkStateText == QLatin1String("FEC");
    if (!goesOut) return;
    if (KeyValue::IsControlKey(key)) SendCTRL(key);
    if (KeyValue::IsTextKey(key)) {
        // One character at a time: the controller's transmit buffer
        // assembles the line.
        if (st.DumbMode)
            Send(QByteArray(1, char(key)));
        else
            senddata(QByteArray(1, char(key)));
    }
}
