#include "FileHelpers.h"

#include <QDir>
#include <QFileInfo>

namespace {
bool hasWildcard(const QString &name)
{
    return name.contains(u'*') || name.contains(u'?') || name.contains(u'[');
}
} // namespace

bool FileExists(const QString &path)
{
    if (path.isEmpty())
        return false;
    const QFileInfo info(path);
    const QString name = info.fileName();
    if (hasWildcard(name)) {
        const QDir dir = info.dir();
        if (hasWildcard(dir.path()) || !dir.exists())
            return false;
        // QDir::Files without QDir::Hidden leaves out hidden files; links to files count.
        return !dir.entryList({name}, QDir::Files | QDir::NoDotAndDotDot).isEmpty();
    }
    return info.isFile() && !info.isHidden();
}
