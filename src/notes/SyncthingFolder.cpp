#include "SyncthingFolder.h"

#include <QDir>
#include <QFileInfo>

QString syncthingFolderAbove(const QString &directory)
{
    if (directory.trimmed().isEmpty())
        return {};
    // Walked by name, so a directory not created yet is still found inside its synced folder.
    QString path = QDir::cleanPath(QFileInfo(directory.trimmed()).absoluteFilePath());
    while (true) {
        // The marker is a folder in current versions and was a file in older ones.
        if (QFileInfo::exists(path + QStringLiteral("/.stfolder")))
            return path;
        const QString parent = QFileInfo(path).absolutePath();
        if (parent == path)
            return {};
        path = parent;
    }
}
