#pragma once

#include <QString>

class QFile;

// Files in the working folder are found without regard to letter case, as on
// the platform the program came from: when "dervalo.ini" exists, asking for
// "Dervalo.INI" gives that file, for reading and for replacing alike.
// Returns the path of the existing file whose name matches `name` without
// regard to case (an exact match wins), or `folder`/`name` when there is none.
QString FindFileNoCase(const QString& folder, const QString& name);

// True when a file of that name exists in the folder, in any letter case.
bool FileExistsNoCase(const QString& folder, const QString& name);

// The same for a path: the folder part is taken as given, the file name is
// matched without regard to case.
QString ResolvePathNoCase(const QString& path);

// Opens the file for reading without waiting for a writer: a named pipe that
// nobody writes to reads as empty instead of holding up the program.
bool OpenToRead(QFile& file);
