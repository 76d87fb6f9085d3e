#pragma once

#include <QByteArray>
#include <QIODevice>
#include <cstring>

// A device that hands out at most `step` bytes per read and, with `failAt`
// set, fails once that many bytes have been read.
class Trickle : public QIODevice {
public:
    Trickle(QByteArray data, qint64 step, qint64 failAt = -1)
        : data_(std::move(data)), step_(step), failAt_(failAt) {
        open(QIODevice::ReadOnly);
    }
    bool isSequential() const override { return true; }

protected:
    qint64 readData(char* out, qint64 max) override {
        if (failAt_ >= 0 && at_ >= failAt_) return -1;
        const qint64 n = qMin(qMin(max, step_), qint64(data_.size()) - at_);
        if (n <= 0) return 0;
        std::memcpy(out, data_.constData() + at_, size_t(n));
        at_ += n;
        return n;
    }
    qint64 writeData(const char*, qint64) override { return -1; }

private:
    QByteArray data_;
    qint64 step_;
    qint64 failAt_;
    qint64 at_ = 0;
};
