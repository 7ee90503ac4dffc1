#pragma once

#include "Launcher.h"

#include <QString>

// What the Run dialog does with the command line typed into it. The trimmed text goes to the
// desktop's open handler whole (documents, web addresses, "cmd", "calc.exe"); a text naming an
// executable file, or an installed program followed by arguments, starts that program with
// those arguments. Nothing goes through a shell.
class RunCommand final
{
public:
    enum class Outcome { Nothing, Started, Opened, Failed };

    static Outcome run(Launcher &launcher, const QString &text, Launcher::Show show);
};
