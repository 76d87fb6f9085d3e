#pragma once

#include <QtGlobal>

class QEvent;

// The state of the Escape key as the program last saw it. The application
// object feeds every key event through `Track`, before any widget sees it.
namespace KeyState {
void Track(const QEvent* event);
bool EscapeDown();
} // namespace KeyState
