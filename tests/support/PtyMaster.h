#pragma once

// The master side of a pseudo-terminal, for tests that drive the real serial
// code: the program opens the slave side by its path.

#include <QByteArray>
#include <QString>

#include <fcntl.h>
#include <poll.h>
#include <stdlib.h>
#include <termios.h>
#include <unistd.h>

class PtyMaster {
public:
    PtyMaster() {
        fd_ = ::posix_openpt(O_RDWR | O_NOCTTY | O_NONBLOCK);
        if (fd_ >= 0 && ::grantpt(fd_) == 0 && ::unlockpt(fd_) == 0)
            slave_ = QString::fromLocal8Bit(::ptsname(fd_));
    }
    ~PtyMaster() {
        if (fd_ >= 0) ::close(fd_);
    }
    PtyMaster(const PtyMaster&) = delete;
    PtyMaster& operator=(const PtyMaster&) = delete;

    bool Ok() const { return fd_ >= 0 && !slave_.isEmpty(); }
    QString SlavePath() const { return slave_; }
    // On Linux the master side reads out the slave's line settings.
    bool SlaveSettings(termios& tio) const { return ::tcgetattr(fd_, &tio) == 0; }
    bool Send(const QByteArray& bytes) {
        return ::write(fd_, bytes.constData(), size_t(bytes.size())) == bytes.size();
    }
    // What has come through, polling in 1 ms steps until `count` bytes are
    // there or about two seconds have gone by.
    QByteArray Receive(int count) {
        QByteArray got;
        for (int i = 0; i < 2000 && got.size() < count; ++i) {
            char buf[256];
            const ssize_t r = ::read(fd_, buf, sizeof buf);
            if (r > 0)
                got.append(buf, r);
            else
                ::poll(nullptr, 0, 1);
        }
        return got;
    }
    // Whatever is there now, without waiting.
    QByteArray Drain() {
        QByteArray got;
        char buf[256];
        for (ssize_t r; (r = ::read(fd_, buf, sizeof buf)) > 0;)
            got.append(buf, r);
        return got;
    }

private:
    int fd_ = -1;
    QString slave_;
};
