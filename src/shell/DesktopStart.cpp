#include "shell/DesktopStart.h"

#include <QDir>
#include <QFileInfo>
#include <cstring>

namespace DesktopStart {

bool Requested(int argc, const char* const* argv) {
    for (int i = 1; i < argc; ++i)
        if (argv[i] != nullptr && std::strcmp(argv[i], kOption) == 0) return true;
    return false;
}

QString EnterWorkingFolder(const QString& home) {
    if (home.isEmpty()) return {};
    QDir homeDir(home);
    const QString path = homeDir.absoluteFilePath(QLatin1String(kFolderName));
    if (!QFileInfo(path).isDir() && !homeDir.mkpath(QLatin1String(kFolderName))) return {};
    if (!QDir::setCurrent(path)) return {};
    return QDir::currentPath();
}

} // namespace DesktopStart

namespace InstalledManual {

QStringList Candidates(const QString& appDir) {
    QStringList list;
    if (!appDir.isEmpty())
        list << QDir::cleanPath(appDir + QStringLiteral("/../share/doc/dervalo/manual.html"));
    const QString system = QStringLiteral("/usr/share/doc/dervalo/manual.html");
    if (!list.contains(system)) list << system;
    return list;
}

QString Find(const QStringList& candidates) {
    for (const QString& path : candidates) {
        const QFileInfo info(path);
        if (info.isFile() && info.isReadable()) return info.absoluteFilePath();
    }
    return {};
}

} // namespace InstalledManual
