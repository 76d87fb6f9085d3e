#include "shell/KeyState.h"

#include <QKeyEvent>

namespace {
bool escapeDown = false;
}

void KeyState::Track(const QEvent* event) {
    if (event->type() != QEvent::KeyPress && event->type() != QEvent::KeyRelease) return;
    const auto* key = static_cast<const QKeyEvent*>(event);
    if (key->key() != Qt::Key_Escape) return;
    if (key->type() == QEvent::KeyRelease && key->isAutoRepeat()) return;
    escapeDown = key->type() == QEvent::KeyPress;
}

bool KeyState::EscapeDown() {
    return escapeDown;
}
