#include "rig/Rig.h"

#include <QTimer>

RigPoller::~RigPoller() = default;

void RigPoller::Start() {
    timer_ = new QTimer(this);
    timer_->setInterval(kPollMs);
    connect(timer_, &QTimer::timeout, this, &RigPoller::Poll);
    timer_->start();
    Poll();
}

void RigPoller::Poll() {
    if (!open_) open_ = driver_->Open();
    const std::optional<qint64> hz = open_ ? driver_->ReadFrequency() : std::nullopt;
    if (hz) {
        emit FrequencyRead(*hz);
        return;
    }
    // Opened again at the next poll: a daemon restarted or a rig switched
    // back on comes back by itself.
    if (open_) driver_->Close();
    open_ = false;
    emit NoAnswer();
}

void RigPoller::Stop() {
    if (timer_) timer_->stop();
    driver_->Close();
    open_ = false;
}

Rig::Rig(std::unique_ptr<RigDriver> driver, QObject* parent) : QObject(parent) {
    poller_ = new RigPoller(std::move(driver));
    poller_->moveToThread(&thread_);
    connect(&thread_, &QThread::started, poller_, &RigPoller::Start);
    connect(&thread_, &QThread::finished, poller_, &QObject::deleteLater);
    connect(poller_, &RigPoller::FrequencyRead, this, [this](qint64 hz) {
        const bool changed = hz != hz_ || !answered_;
        hz_ = hz;
        answered_ = true;
        if (changed) emit Changed();
    });
    connect(poller_, &RigPoller::NoAnswer, this, [this] {
        const bool changed = answered_ || hz_ != 0;
        hz_ = 0;
        answered_ = false;
        // The first silence is news as well: the pane says so.
        if (changed || !silenceShown_) emit Changed();
        silenceShown_ = true;
    });
    thread_.setObjectName(QStringLiteral("rig"));
    thread_.start();
}

Rig::~Rig() {
    QMetaObject::invokeMethod(poller_, &RigPoller::Stop, Qt::BlockingQueuedConnection);
    thread_.quit();
    thread_.wait();
}
