#pragma once

#include <QApplication>
#include <functional>
#include <vector>

// The application object. It runs the program's message hook once before
// each input or timer event taken from the event queue is handled, by the
// main loop or by the loop of a modal dialog (never for events sent from
// inside a handler, so never recursively from the hook's own repaints), and
// it keeps track of the Escape key.
class DervaloApplication : public QApplication {
    Q_OBJECT
public:
    DervaloApplication(int& argc, char** argv);

    // The application title, the program name. No display name is set: the
    // window system would add it to the caption of every box.
    static void SetTitle();

    // The hook; an empty function removes it.
    static void SetMessageHook(std::function<void()> hook);
    // Whether an event of this type runs the hook.
    static bool RunsHook(int eventType);

    bool notify(QObject* receiver, QEvent* event) override;

private:
    // Whether the event now arriving was taken from the queue by the event
    // loop running (rather than sent from inside a handler).
    bool TakenFromLoop();

    struct Loop {
        int level; // the thread's event-loop level while it runs
        int depth; // the handler depth at which it dispatches
    };
    int depth_ = 0; // handlers running, one inside the other
    std::vector<Loop> loops_;
};

// Runs the hook for an event about to be dispatched from the event loop, if
// the hook is set and the event is one it runs for. Used by notify; kept
// apart so tests with a plain application can drive it.
void RunMessageHook(int eventType, bool outermost);
