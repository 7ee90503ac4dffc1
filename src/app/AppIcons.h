#pragma once

#include <QIcon>
#include <QString>

// The toolbar and tab images are built into the program, so it never depends on the desktop's
// icon theme; file names as in data/icons/actions.
inline QIcon appIcon(const QString &fileName)
{
    return QIcon(QStringLiteral(":/icons/actions/") + fileName);
}
