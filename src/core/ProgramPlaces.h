#pragma once

#include <QString>

// Where the program keeps and finds things on this system.
namespace ProgramPlaces {

// "The program's own directory" for note files: the executable's directory when we may write
// there (a portable install), else the per-user data directory. Never a place we cannot write.
QString programDirectory();

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
