#pragma once

#include <QString>
#include <QStringList>

// Started from the desktop menu, the program works in the folder "Dervalo" in
// the home folder; started from a shell it works where it was started. The
// desktop entry asks for the first with the option `kOption`.
namespace DesktopStart {

inline constexpr char kOption[] = "--desktop";
inline constexpr char kFolderName[] = "Dervalo";

// Whether the program's arguments (the program name first) hold `kOption`.
bool Requested(int argc, const char* const* argv);

// Makes `home`/Dervalo when it is missing and makes it the process's working
// folder. Returns its absolute path, or an empty text when it could not be
// made or entered (the working folder is then left as it was).
QString EnterWorkingFolder(const QString& home);

} // namespace DesktopStart

// Where Help finds the operator's manual when no "Dervalo.hlp" lies in the
// working folder: installed beside the program, `appDir`/../share/doc/dervalo,
// then in the system's documentation folder.
namespace InstalledManual {

QStringList Candidates(const QString& appDir);
// The first candidate that is a readable file; empty when none is.
QString Find(const QStringList& candidates);

} // namespace InstalledManual
