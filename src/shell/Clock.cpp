#include "shell/Clock.h"

#include <QElapsedTimer>
#include <QThread>

namespace {
qint64 MonotonicMs() {
    static QElapsedTimer timer = [] {
        QElapsedTimer t;
        t.start();
        return t;
    }();
    return timer.elapsed();
}
} // namespace

SystemClock::SystemClock() : start_(MonotonicMs()) {}

quint32 SystemClock::TickCount() {
    return quint32(MonotonicMs() - start_);
}

void SystemClock::Delay(quint32 ms) {
    const quint32 from = TickCount();
    for (;;) {
        const quint32 now = TickCount();
        const quint32 passed = now - from;
        if (passed > ms) return;
        const quint32 left = ms - passed;
        // Sleep in small steps: the wait stays accurate to about a
        // millisecond and costs no CPU.
        QThread::usleep(left > 2 ? 1000 : 250);
    }
}

QDateTime SystemClock::Now() {
    return QDateTime::currentDateTime();
}

void VirtualClock::Advance(quint32 ms) {
    // Step one millisecond at a time while somebody listens, so a simulated
    // controller sees time pass as it would on a real line.
    if (observers_.empty()) {
        tick_ += ms;
        elapsed_ += ms;
        return;
    }
    for (quint32 i = 0; i < ms; ++i) {
        ++tick_;
        ++elapsed_;
        for (auto& o : observers_)
            o(tick_);
    }
}
