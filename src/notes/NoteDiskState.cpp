#include "NoteDiskState.h"

#include "NoteStorage.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFileInfo>

NoteDiskState NoteDiskState::of(const QString &path, const NoteStorage &storage)
{
    const QFileInfo info(path);
    if (!info.isFile())
        return {};
    const std::optional<NoteStorage::Digest> digest = storage.digest(path);
    if (!digest)
        return {};
    NoteDiskState state;
    state.exists = true;
    state.size = digest->size;
    state.modified = info.lastModified();
    state.hash = digest->sha1;
    return state;
}

NoteDiskState NoteDiskState::of(const QString &path)
{
    return of(path, NoteStorage::plain());
}

NoteDiskState NoteDiskState::ofContent(const QByteArray &content, const QDateTime &modified)
{
    NoteDiskState state;
    state.exists = true;
    state.size = content.size();
    state.modified = modified;
    state.hash = QCryptographicHash::hash(content, QCryptographicHash::Sha1);
    return state;
}

bool NoteDiskState::sameContentAs(const NoteDiskState &other) const
{
    if (exists != other.exists)
        return false;
    return !exists || (size == other.size && hash == other.hash);
}

QString conflictCopyPath(const QString &notePath, const QString &host, const QDateTime &when)
{
    const QFileInfo info(notePath);
    QString safeHost = host;
    safeHost.replace(u'/', u'_');
    const QString stem = QStringLiteral("%1 (conflict %2 %3)")
                             .arg(info.completeBaseName(), safeHost, when.toString(QStringLiteral("yyyy-MM-dd hhmm")));
    const QString suffix = info.suffix().isEmpty() ? QString() : u'.' + info.suffix();
    QString candidate = info.dir().filePath(stem + suffix);
    for (int i = 2; QFileInfo::exists(candidate); ++i)
        candidate = info.dir().filePath(QStringLiteral("%1 %2%3").arg(stem).arg(i).arg(suffix));
    return candidate;
}
