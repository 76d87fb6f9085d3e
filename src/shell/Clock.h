#pragma once

#include <QDateTime>
#include <QtGlobal>
#include <functional>
#include <vector>

// The program's sense of time: a millisecond tick count, the blocking pause
// `Delay` and the local date and time. Every pause in the program goes
// through here, so that tests can run on a virtual clock that never sleeps.
class Clock {
public:
    virtual ~Clock() = default;
    // Milliseconds since an arbitrary start, wrapping at 2^32.
    virtual quint32 TickCount() = 0;
    // Blocks, handling no events, until the tick count has moved on by more
    // than `ms` milliseconds.
    virtual void Delay(quint32 ms) = 0;
    // Local date and time.
    virtual QDateTime Now() = 0;
};

// The real clock. Delay sleeps in small steps so an idle wait costs no CPU.
class SystemClock : public Clock {
public:
    SystemClock();
    quint32 TickCount() override;
    void Delay(quint32 ms) override;
    QDateTime Now() override;

private:
    qint64 start_;
};

// A clock for tests: time moves only when somebody waits or advances it.
// Observers are told of every step, so a simulated controller can run on the
// same time line.
class VirtualClock : public Clock {
public:
    quint32 TickCount() override { return tick_; }
    void Delay(quint32 ms) override { Advance(ms + 1); }
    QDateTime Now() override { return now_.addMSecs(tick_); }

    void Advance(quint32 ms);
    void SetNow(const QDateTime& at) { now_ = at.addMSecs(-qint64(tick_)); }
    void OnAdvance(std::function<void(quint32 tick)> observer) {
        observers_.push_back(std::move(observer));
    }
    // Total milliseconds spent in Delay or Advance since the clock was made.
    quint64 Elapsed() const { return elapsed_; }

private:
    quint32 tick_ = 1000;
    quint64 elapsed_ = 0;
    QDateTime now_ = QDateTime(QDate(2026, 3, 5), QTime(9, 7, 0));
    std::vector<std::function<void(quint32)>> observers_;
};
