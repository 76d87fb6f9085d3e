#pragma once

#include <QObject>
#include <QThread>
#include <functional>
#include <memory>

#include "rig/RigDriver.h"

class QTimer;

// The rig on a thread of its own: a driver underneath, polled about once a
// second, its answers sent to the window as signals. A rig that does not
// answer holds only this thread; the window never waits for it.
class RigPoller : public QObject {
    Q_OBJECT
public:
    explicit RigPoller(std::unique_ptr<RigDriver> driver) : driver_(std::move(driver)) {}
    ~RigPoller() override;
    static constexpr int kPollMs = 1000;

public slots:
    void Start();
    void Poll();
    void Stop();

signals:
    void FrequencyRead(qint64 hz);
    void NoAnswer();

private:
    std::unique_ptr<RigDriver> driver_;
    QTimer* timer_ = nullptr;
    bool open_ = false;
};

class Rig : public QObject {
    Q_OBJECT
public:
    explicit Rig(std::unique_ptr<RigDriver> driver, QObject* parent = nullptr);
    // Stops the polling and waits for the thread to end (at most one
    // driver call, bounded by the driver's time-out).
    ~Rig() override;

    // The last frequency read, 0 when there is none or the rig has stopped
    // answering.
    qint64 FrequencyHz() const { return hz_; }
    bool Answered() const { return answered_; }

signals:
    void Changed();

private:
    QThread thread_;
    RigPoller* poller_ = nullptr;
    qint64 hz_ = 0;
    bool answered_ = false;
    bool silenceShown_ = false;
};
