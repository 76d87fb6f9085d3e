#pragma once

// Small file systems for fault tests: a folder that is full, or read-only,
// for real, also when the tests run as root (where chmod stops nobody).
//
// The test program calls SmallFs::EnterOwnMounts() first thing in main,
// before the application object exists and while it has one thread: it moves
// into a mount namespace of its own (as root), or into a user namespace in
// which it is root plus a mount namespace (otherwise), and makes every mount
// private there, so nothing it mounts is seen outside. A SmallFolder then
// mounts a tmpfs of a given size on a folder; Fill() takes what room is left,
// SetReadOnly() remounts it read-only or writable again.

#include <QByteArray>
#include <QFile>
#include <QString>
#include <QTemporaryDir>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sched.h>
#include <sys/mount.h>
#include <unistd.h>

namespace SmallFs {

inline bool WriteProcFile(const char* path, const QByteArray& text) {
    const int fd = ::open(path, O_WRONLY);
    if (fd < 0) return false;
    const bool ok = ::write(fd, text.constData(), size_t(text.size())) == text.size();
    ::close(fd);
    return ok;
}

// Empty when the program may mount from now on; else why not.
inline QString EnterOwnMounts() {
    if (::geteuid() == 0) {
        if (::unshare(CLONE_NEWNS) != 0)
            return QStringLiteral("unshare(CLONE_NEWNS): ") +
                   QString::fromLocal8Bit(strerror(errno));
    } else {
        const uid_t uid = ::geteuid();
        const gid_t gid = ::getegid();
        if (::unshare(CLONE_NEWUSER | CLONE_NEWNS) != 0)
            return QStringLiteral("unshare(CLONE_NEWUSER | CLONE_NEWNS): ") +
                   QString::fromLocal8Bit(strerror(errno));
        // As `unshare -r` does: this user is root inside.
        if (!WriteProcFile("/proc/self/setgroups", "deny") ||
            !WriteProcFile("/proc/self/uid_map", "0 " + QByteArray::number(uid) + " 1") ||
            !WriteProcFile("/proc/self/gid_map", "0 " + QByteArray::number(gid) + " 1"))
            return QStringLiteral("cannot write the user namespace's id maps");
    }
    if (::mount("none", "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0)
        return QStringLiteral("making the mounts private: ") +
               QString::fromLocal8Bit(strerror(errno));
    return QString();
}

} // namespace SmallFs

// A temporary folder with a tmpfs of `bytes` mounted on it, unmounted again
// at the end of the scope.
class SmallFolder {
public:
    explicit SmallFolder(qint64 bytes) {
        if (!dir_.isValid()) return;
        const QByteArray options = "size=" + QByteArray::number(bytes) + ",mode=0777";
        mounted_ = ::mount("tmpfs", QFile::encodeName(dir_.path()).constData(), "tmpfs", 0,
                           options.constData()) == 0;
        if (!mounted_) error_ = QString::fromLocal8Bit(strerror(errno));
    }
    ~SmallFolder() {
        if (mounted_) ::umount2(QFile::encodeName(dir_.path()).constData(), MNT_DETACH);
    }
    SmallFolder(const SmallFolder&) = delete;
    SmallFolder& operator=(const SmallFolder&) = delete;

    bool Ok() const { return mounted_; }
    QString Error() const { return error_; }
    QString Path() const { return dir_.path(); }
    QString FilePath(const QString& name) const { return dir_.filePath(name); }

    // The file system read-only, or writable again.
    bool SetReadOnly(bool readOnly) {
        const unsigned long flags = MS_REMOUNT | MS_BIND | (readOnly ? MS_RDONLY : 0);
        return ::mount(nullptr, QFile::encodeName(dir_.path()).constData(), nullptr, flags,
                       nullptr) == 0;
    }
    // Takes every byte still free, with a file of its own ("filler").
    bool Fill() {
        QFile filler(FilePath(QStringLiteral("filler")));
        if (!filler.open(QIODevice::WriteOnly | QIODevice::Unbuffered)) return false;
        const QByteArray block(4096, 'f');
        while (filler.write(block) == block.size()) {
        }
        // A last piece smaller than a block.
        while (filler.write(block.left(1)) == 1) {
        }
        return true;
    }

private:
    QTemporaryDir dir_;
    bool mounted_ = false;
    QString error_;
};
