#include "shell/DervaloApplication.h"

#include <QEvent>
#include <QThread>

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

bool DervaloApplication::TakenFromLoop() {
    // Every running event loop (the main loop, a modal dialog's loop)
    // dispatches the events it takes at the handler depth from which it was
    // started; events sent from inside a handler come deeper. A loop that
    // has ended leaves the list with the first event of an outer loop.
    const int level = QThread::currentThread()->loopLevel();
    while (!loops_.empty() && loops_.back().level > level)
        loops_.pop_back();
    if (loops_.empty() || loops_.back().level < level) loops_.push_back({level, depth_});
    return depth_ == loops_.back().depth;
}

bool DervaloApplication::notify(QObject* receiver, QEvent* event) {
    KeyState::Track(event);
    RunMessageHook(event->type(), TakenFromLoop());
    ++depth_;
    const bool handled = QApplication::notify(receiver, event);
    --depth_;
    return handled;
}
