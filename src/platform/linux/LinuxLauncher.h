#pragma once

#include "../Launcher.h"

class LinuxLauncher final : public Launcher
{
public:
    bool runCommandLine(const QString &commandLine, Show show) override;
    bool shellOpen(const QString &target, Show show) override;
    QString webHandlerCommand() override;
    QString mailHandlerCommand() override;
};
