#pragma once

#include <QString>

// True when the path names an existing ordinary file that is not hidden (a link to an ordinary
// file counts). A pattern with wildcards ("dir/*.rtf") is true when at least one ordinary file
// matches it. Every error (unreachable directory, malformed path) gives false.
bool FileExists(const QString &path);
