#include "RecoveryStore.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <cerrno>

RecoveryStore::RecoveryStore(QString base, NoteStorageFor storage)
    : m_storage(std::move(storage)), m_base(std::move(base)), m_root(m_base)
{
}

void RecoveryStore::setNoteSet(const QString &noteDir, const QString &settingsPath)
{
    m_noteDir = QDir(noteDir).absolutePath();
    m_settingsPath = QFileInfo(settingsPath).absoluteFilePath();
    const QByteArray key = (m_noteDir + u'\n' + m_settingsPath).toUtf8();
    m_root = m_base + u'/' +
             QString::fromLatin1(QCryptographicHash::hash(key, QCryptographicHash::Sha1).toHex().left(16));
    adoptOneFolderCopies();
}

void RecoveryStore::adoptOneFolderCopies()
{
    // Earlier versions kept the user's copies right in the base folder, for whichever note set
    // started next; the first set to start now takes them over, so they are still offered.
    for (int n = 1; n <= 7; ++n) {
        const QString old = m_base + QStringLiteral("/note%1.rtf").arg(n);
        if (!QFileInfo(old).isFile() || QFileInfo::exists(copyPath(n)))
            continue;
        // Renamed, the copy keeps the time it was written, which decides whether it is offered.
        if (!makeFolder() || !QFile::rename(old, copyPath(n)))
            return; // left where it is: nothing is lost
    }
}

bool RecoveryStore::makeFolder() const
{
    if (QFileInfo(m_root).isDir())
        return true;
    // Owner-only: the copies hold note text the start-up password guards.
    if (!QDir().mkpath(m_root))
        return false;
    QFile::setPermissions(m_root, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    return m_noteDir.isEmpty() || writeManifest();
}

bool RecoveryStore::writeManifest() const
{
    const QByteArray text = "Recovery copies of Quillbox Plus for these notes and settings:\n" +
                            QStringLiteral("notes=%1\nsettings=%2\n").arg(m_noteDir, m_settingsPath).toUtf8();
    return !DurableFile::write(m_root + QStringLiteral("/manifest.txt"), text, DurableFile::Access::OwnerOnly);
}

QString RecoveryStore::copyPath(int note) const
{
    return m_root + QStringLiteral("/note%1.rtf").arg(note);
}

DurableFile::Failure RecoveryStore::save(int note, const QByteArray &rtf)
{
    if (!makeFolder()) {
        // Tells why, as the copy itself would have.
        DurableFile::Failure failure = DurableFile::folderProblem(m_base);
        return failure ? failure : DurableFile::Failure::fromErrno(EACCES);
    }
    return m_storage(note).write(copyPath(note), rtf, DurableFile::Access::OwnerOnly);
}

void RecoveryStore::remove(int note)
{
    QFile::remove(copyPath(note));
}

void RecoveryStore::removeAll()
{
    for (int n = 1; n <= 7; ++n)
        remove(n);
    if (m_root != m_base) {
        QFile::remove(m_root + QStringLiteral("/manifest.txt"));
        QDir().rmdir(m_root);
    }
}

QByteArray RecoveryStore::read(int note) const
{
    return m_storage(note).read(copyPath(note)).value_or(QByteArray());
}

RecoveryStore::Entry RecoveryStore::entry(int note) const
{
    Entry e;
    e.note = note;
    e.copyPath = copyPath(note);
    e.saved = fileTime(e.copyPath);
    return e;
}

QDateTime RecoveryStore::fileTime(const QString &path)
{
    const QFileInfo info(path);
    return info.isFile() ? info.lastModified() : QDateTime();
}
