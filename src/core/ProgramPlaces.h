#pragma once

#include <QString>

// Where the program keeps and finds things on this system.
namespace ProgramPlaces {

// "The program's own directory" for note files: the per-user data directory, unless this is a
// portable copy (see programDirectoryFor). Never a place we cannot write.
QString programDirectory();
// For the executable in exeDir: exeDir itself when it is a portable copy (a file named
// "portable" beside the executable, or note files already there) that we may write to, outside
// the system's program folders; else the per-user data directory. A build folder or a program
// folder is no place for notes that `rm -rf build` or a fresh clone would take away.
QString programDirectoryFor(const QString &exeDir);

// The per-user data directory (~/.local/share/Quillbox Plus), created on demand. Recovery copies
// and note history live here.
QString userDataDirectory();

// The program's own read-only files (icons, tab sound, manual): the installed share directory,
// or the source tree's data/ when run from the build tree.
QString dataDirectory();

// Tests point these somewhere else; an empty string restores the default.
void overrideProgramDirectory(const QString &dir);
void overrideDataDirectory(const QString &dir);

} // namespace ProgramPlaces
