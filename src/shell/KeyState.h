#pragma once

#include <QtGlobal>
#include <optional>

class QEvent;

// The state of the Escape key. The application object feeds every key event
// through `Track`, before any widget sees it; `AskEscapeDown` asks the
// windowing system itself, for loops that handle no window events.
namespace KeyState {
void Track(const QEvent* event);
// As the key events last told it.
bool EscapeDown();

// Whether Escape is held down at this moment. On X11 the X server is asked
// for the keyboard state over the connection Qt already holds; no event is
// handled. Where the platform cannot tell (offscreen, Wayland) the events
// waiting are run through a shield that lets no input and no timer through
// and notes an Escape press; a press seen since the last question counts as
// held down. Other keys and a close request are held back, not lost: they
// are posted again behind the shield and reach their widget once no shield
// stands.
bool AskEscapeDown();

// Handles the window events waiting (paint, expose, layout, the window
// system's requests, posted calls) behind the same shield: no input, close
// request or timer gets through meanwhile (keys and the close request come
// later).
void RunWindowEvents();

// The X11 answer alone: nothing when the platform is not X11 or the server
// could not be asked.
std::optional<bool> AskX11EscapeDown();
} // namespace KeyState
