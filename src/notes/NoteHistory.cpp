#include "NoteHistory.h"


#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <algorithm>

namespace {
const QString kStampFormat = QStringLiteral("yyyyMMdd-HHmmss-zzz");
}

NoteHistory::NoteHistory(QString root, int maxVersions, int maxAgeDays, qint64 maxBytes,
                         StorageOf storageOf)
    : m_storageOf(std::move(storageOf)), m_root(std::move(root)), m_maxVersions(maxVersions), m_maxAgeDays(maxAgeDays), m_maxBytes(maxBytes)
{
}

const NoteStorage &NoteHistory::storage(const QString &notePath) const
{
    return m_storageOf ? m_storageOf(notePath) : NoteStorage::plain();
}

QString NoteHistory::folderFor(const QString &notePath) const
{
    // A readable name plus a short hash of the full path: "notes.rtf-1a2b3c4d".
    const QString full = QFileInfo(notePath).absoluteFilePath();
    const QByteArray hash = QCryptographicHash::hash(full.toUtf8(), QCryptographicHash::Sha1).toHex().left(8);
    return m_root + u'/' + QFileInfo(notePath).fileName() + u'-' + QString::fromLatin1(hash);
}

bool NoteHistory::keep(const QString &notePath, const QByteArray &previousContent, const QDateTime &when)
{
    // A version kept for another reason stands apart: editing after it opens a stretch of its own.
    m_stretches.remove(folderFor(notePath));
    return store(notePath, previousContent, when);
}

bool NoteHistory::keepEdit(const QString &notePath, const QByteArray &previousContent, const QDateTime &when)
{
    const QString folder = folderFor(notePath);
    const EditStretch stretch = m_stretches.value(folder);
    const QList<Version> before = versions(notePath);
    const bool replaces = !stretch.newest.isEmpty() && !before.isEmpty() &&
                          before.first().path == stretch.newest &&
                          stretch.opened.secsTo(when) < EditStretchSecs;
    if (!store(notePath, previousContent, when))
        return false;
    const QList<Version> after = versions(notePath);
    if (after.isEmpty())
        return true;
    // The new version is in place before the one it stands in for goes.
    if (replaces && after.first().path != stretch.newest)
        QFile::remove(stretch.newest);
    m_stretches.insert(folder, {replaces ? stretch.opened : when, after.first().path});
    return true;
}

bool NoteHistory::store(const QString &notePath, const QByteArray &previousContent, const QDateTime &when)
{
    const QList<Version> kept = versions(notePath);
    if (!kept.isEmpty() && QFileInfo(kept.first().path).size() == previousContent.size() &&
        bytesOf(kept.first()) == previousContent)
        return true; // already there, as the newest version
    const QString folder = folderFor(notePath);
    if (!QDir().mkpath(folder))
        return false;
    QString name = folder + u'/' + when.toString(kStampFormat) + QStringLiteral(".rtf");
    for (int i = 1; QFileInfo::exists(name); ++i)
        name = folder + u'/' + when.addMSecs(i).toString(kStampFormat) + QStringLiteral(".rtf");
    if (storage(notePath).write(name, previousContent, DurableFile::Access::OwnerOnly))
        return false;
    prune(notePath, when);
    return true;
}

bool NoteHistory::carryOver(const QString &fromNotePath, const QString &toNotePath)
{
    bool all = true;
    QList<Version> old = versions(fromNotePath);
    std::reverse(old.begin(), old.end()); // oldest first, as they were kept
    for (const Version &version : std::as_const(old)) {
        const std::optional<QByteArray> bytes = storage(fromNotePath).read(version.path);
        if (bytes && store(toNotePath, *bytes, version.when))
            QFile::remove(version.path);
        else
            all = false;
    }
    m_stretches.remove(folderFor(fromNotePath));
    if (all)
        QDir().rmdir(folderFor(fromNotePath));
    return all;
}

QList<NoteHistory::Version> NoteHistory::versions(const QString &notePath) const
{
    QList<Version> result;
    const QDir dir(folderFor(notePath));
    const QStringList names =
        dir.entryList({QStringLiteral("*.rtf")}, QDir::Files, QDir::Name | QDir::Reversed);
    for (const QString &name : names) {
        const QDateTime when = QDateTime::fromString(QFileInfo(name).completeBaseName(), kStampFormat);
        if (when.isValid())
            result.append({dir.filePath(name), when, notePath});
    }
    return result;
}

QByteArray NoteHistory::bytesOf(const Version &version) const
{
    return storage(version.notePath).read(version.path).value_or(QByteArray());
}

QByteArray NoteHistory::read(const Version &version)
{
    return NoteStorage::plain().read(version.path).value_or(QByteArray());
}

void NoteHistory::prune(const QString &notePath, const QDateTime &now) const
{
    const QList<Version> all = versions(notePath);
    const QDateTime oldest = now.addDays(-m_maxAgeDays);
    qint64 bytes = 0;
    for (qsizetype i = 0; i < all.size(); ++i) {
        bytes += QFileInfo(all[i].path).size();
        if (i >= m_maxVersions || all[i].when < oldest || (i > 0 && bytes > m_maxBytes))
            QFile::remove(all[i].path);
    }
}

bool moveIntoHistory(NoteHistory &history, const QString &notePath, const ConflictCopy &copy)
{
    const std::optional<QByteArray> bytes = history.storage(notePath).read(copy.path);
    if (!bytes)
        return false;
    const QDateTime when = copy.when.isValid() ? copy.when : QFileInfo(copy.path).lastModified();
    return history.keep(notePath, *bytes, when) && QFile::remove(copy.path);
}
