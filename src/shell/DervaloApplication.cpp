#include "shell/DervaloApplication.h"

#include <QEvent>

#include "shell/KeyState.h"

namespace {
std::function<void()>& Hook() {
    static std::function<void()> hook;
    return hook;
}
bool inHook = false;
} // namespace

DervaloApplication::DervaloApplication(int& argc, char** argv) : QApplication(argc, argv) {}

void DervaloApplication::SetTitle() {
    setApplicationName(QStringLiteral("Dervalo"));
}

void DervaloApplication::SetMessageHook(std::function<void()> hook) {
    Hook() = std::move(hook);
}

bool DervaloApplication::RunsHook(int t) {
    switch (t) {
    case QEvent::KeyPress:
    case QEvent::KeyRelease:
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick:
    case QEvent::MouseMove:
    case QEvent::Wheel:
    case QEvent::Timer:
    case QEvent::Shortcut:
        return true;
    default:
        return false;
    }
}

void RunMessageHook(int eventType, bool outermost) {
    if (!outermost || inHook || !Hook() || !DervaloApplication::RunsHook(eventType)) return;
    inHook = true;
    Hook()();
    inHook = false;
}

bool DervaloApplication::notify(QObject* receiver, QEvent* event) {
    KeyState::Track(event);
    RunMessageHook(event->type(), depth_ == 0);
    ++depth_;
    const bool handled = QApplication::notify(receiver, event);
    --depth_;
    return handled;
}
