#pragma once

#include <QString>
#include <QStringList>

// This desktop's stand-ins for the command prompt and the calculator: the first one installed of
// the usual programs. Each answer is a command line whose program is a full path, or empty when
// none is installed. The search folders default to PATH.
class DesktopPrograms final
{
public:
    // x-terminal-emulator (Debian's choice), then $TERMINAL, then the usual terminals.
    static QString terminal(const QStringList &searchPaths = {});
    static QString calculator(const QStringList &searchPaths = {});
    // The first of the names found in the search folders, as a full path.
    static QString firstInstalled(const QStringList &names, const QStringList &searchPaths = {});
};
