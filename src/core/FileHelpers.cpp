#include "FileHelpers.h"

#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>

#include <algorithm>

namespace {
// Only "*" and "?" are wildcards: "[" and "]" are ordinary characters of a file name.
bool hasWildcard(const QString &name)
{
    return name.contains(u'*') || name.contains(u'?');
}

QRegularExpression patternOf(const QString &name)
{
    QString re;
    for (const QChar c : name) {
        if (c == u'*')
            re += QStringLiteral(".*");
        else if (c == u'?')
            re += u'.';
        else
            re += QRegularExpression::escape(QString(c));
    }
    return QRegularExpression(QRegularExpression::anchoredPattern(re),
                              QRegularExpression::CaseInsensitiveOption);
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
        const QRegularExpression pattern = patternOf(name);
        const QStringList files = dir.entryList(QDir::Files | QDir::NoDotAndDotDot);
        return std::any_of(files.begin(), files.end(),
                           [&pattern](const QString &file) { return pattern.match(file).hasMatch(); });
    }
    return info.isFile() && !info.isHidden();
}
