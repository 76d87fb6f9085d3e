#include "shell/FileLookup.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <fcntl.h>
#include <unistd.h>

QString FindFileNoCase(const QString& folder, const QString& name) {
    const QDir dir(folder.isEmpty() ? QStringLiteral(".") : folder);
    const QString exact = dir.filePath(name);
    if (QFileInfo::exists(exact)) return exact;
    const QStringList entries =
        dir.entryList(QDir::Files | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
    for (const QString& entry : entries) {
        if (entry.compare(name, Qt::CaseInsensitive) == 0) return dir.filePath(entry);
    }
    return exact;
}

bool FileExistsNoCase(const QString& folder, const QString& name) {
    return QFileInfo::exists(FindFileNoCase(folder, name));
}

QString ResolvePathNoCase(const QString& path) {
    const QFileInfo info(path);
    return FindFileNoCase(info.path(), info.fileName());
}

bool OpenToRead(QFile& file) {
    const int fd =
        ::open(QFile::encodeName(file.fileName()).constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) return false;
    if (file.open(fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)) return true;
    ::close(fd);
    return false;
}
