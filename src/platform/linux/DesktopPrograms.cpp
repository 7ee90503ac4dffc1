#include "DesktopPrograms.h"

#include <QProcess>
#include <QStandardPaths>

namespace {

QString quotedIfBlank(const QString &path)
{
    return path.contains(QLatin1Char(' ')) ? QLatin1Char('"') + path + QLatin1Char('"') : path;
}

} // namespace

QString DesktopPrograms::firstInstalled(const QStringList &names, const QStringList &searchPaths)
{
    for (const QString &name : names) {
        const QString path = QStandardPaths::findExecutable(name, searchPaths);
        if (!path.isEmpty())
            return path;
    }
    return {};
}

QString DesktopPrograms::terminal(const QStringList &searchPaths)
{
    if (const QString debian = firstInstalled({QStringLiteral("x-terminal-emulator")}, searchPaths); !debian.isEmpty())
        return quotedIfBlank(debian);

    // $TERMINAL may carry options ("kitty --single-instance"); its program must be installed.
    QStringList chosen = QProcess::splitCommand(qEnvironmentVariable("TERMINAL"));
    if (!chosen.isEmpty()) {
        const QString path = firstInstalled({chosen.takeFirst()}, searchPaths);
        if (!path.isEmpty()) {
            QStringList line{quotedIfBlank(path)};
            for (const QString &option : chosen)
                line << (option.contains(QLatin1Char(' ')) ? QLatin1Char('"') + option + QLatin1Char('"') : option);
            return line.join(QLatin1Char(' '));
        }
    }

    static const QStringList usual{
        QStringLiteral("gnome-terminal"), QStringLiteral("konsole"),  QStringLiteral("xfce4-terminal"),
        QStringLiteral("mate-terminal"),  QStringLiteral("lxterminal"), QStringLiteral("qterminal"),
        QStringLiteral("terminator"),     QStringLiteral("tilix"),    QStringLiteral("alacritty"),
        QStringLiteral("kitty"),          QStringLiteral("urxvt"),    QStringLiteral("xterm"),
    };
    return quotedIfBlank(firstInstalled(usual, searchPaths));
}

QString DesktopPrograms::calculator(const QStringList &searchPaths)
{
    static const QStringList usual{
        QStringLiteral("gnome-calculator"), QStringLiteral("kcalc"),         QStringLiteral("galculator"),
        QStringLiteral("mate-calc"),        QStringLiteral("qalculate-gtk"), QStringLiteral("xcalc"),
    };
    return quotedIfBlank(firstInstalled(usual, searchPaths));
}
