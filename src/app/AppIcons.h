#pragma once

#include <QIcon>
#include <QString>

// The toolbar and tab images are built into the program, so it never depends on the desktop's
// icon theme; file names as in data/icons/actions.
inline QIcon appIcon(const QString &fileName)
{
    // The images are compiled into the static app library, whose resources must be registered
    // by hand; doing it here covers every user.
    static const bool registered = [] {
        Q_INIT_RESOURCE(AppIcons);
        return true;
    }();
    Q_UNUSED(registered);
    return QIcon(QStringLiteral(":/icons/actions/") + fileName);
}
