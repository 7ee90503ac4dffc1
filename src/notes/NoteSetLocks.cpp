// Locking a note, unlocking it, locking it again and turning it back into a plain note.
#include "NoteSet.h"

#include "FileHelpers.h"
#include "LockableStorage.h"
#include "NoteDocuments.h"
#include "NoteLoader.h"
#include "NoteTab.h"
#include "NotesLog.h"
#include "WriteFailureText.h"

#include <QFile>
#include <QFileInfo>

namespace {

size_t slot(int n)
{
    return static_cast<size_t>(n - 1);
}

// A file in the way is never overwritten: the user decides which of the two stays.
QString inTheWay(const QString &path)
{
    return QStringLiteral("%1 is already in the note directory. Move it elsewhere first: Quillbox Plus "
                          "does not overwrite it.")
        .arg(QFileInfo(path).fileName());
}

} // namespace

LockableStorage &NoteSet::store(int n) const
{
    return *m_stores[slot(n)];
}

bool NoteSet::isLocked(int n) const
{
    return NoteTabs::isNote(n) && store(n).isLocked();
}

bool NoteSet::isSealed(int n) const
{
    return isLocked(n) && (!store(n).hasKey() || m_unlocking[slot(n)]);
}

void NoteSet::unlock(int n, const Secret &passphrase)
{
    if (!isSealed(n) || m_unlocking[slot(n)] || passphrase.isEmpty())
        return;
    store(n).setKey(passphrase);
    m_unlocking[slot(n)] = true;
    m_loader->add(n, path(n)); // decrypted and read on the loader's thread
}

QString NoteSet::lock(int n, const Secret &passphrase)
{
    if (!NoteTabs::isNote(n) || isLocked(n))
        return QStringLiteral("This note is locked already.");
    if (passphrase.isEmpty())
        return QStringLiteral("A passphrase is needed.");
    finishLoading(n);
    if (m_files->isUnreadable(n))
        return QStringLiteral("The file of this note could not be read, so it is left as it is: open it "
                              "elsewhere or move it away before locking the note.");
    const QString plainPath = path(n);
    const QString lockedPath = NoteDocuments::lockedPath(plainPath);
    if (QFileInfo::exists(lockedPath) || QFileInfo(lockedPath).isSymLink())
        return inTheWay(lockedPath);
    const QByteArray bytes = m_notes->bytes(n);
    LockableStorage &storage = store(n);
    storage.lock(passphrase);
    // What the plain file holds, unless it is what the tab holds, is kept in the history.
    if (FileExists(plainPath) && (isChanged(n) || isEdited(n)))
        m_safety->keepFileInHistory(n);
    const auto undo = [&](const QString &why) {
        QFile::remove(lockedPath);
        storage.setLocked(false);
        storage.forgetKey();
        return QStringLiteral("The note \"%1\" was not locked: %2. It is as it was.").arg(m_notes->caption(n), why);
    };
    DurableFile::Failure failure;
    if (!m_files->save(n, bytes, lockedPath, &failure))
        return undo(WriteFailureText::reason(failure));
    // The plain file goes only once the encrypted one is known to open to the very text.
    const std::optional<QByteArray> written = m_storage.read(lockedPath);
    const OpenPgp::Result back = written ? storage.decrypt(*written, passphrase) : OpenPgp::Result{};
    if (!back || back.bytes != bytes)
        return undo(QStringLiteral("the encrypted file did not read back as written"));

    m_notes->setLockedFile(n, true);
    if (FileExists(plainPath) && !QFile::remove(plainPath)) {
        emit notice(QStringLiteral("locked and plain %1").arg(n),
                    QStringLiteral("The note \"%1\" is locked, but its plain file %2 could not be removed. "
                                   "Remove it yourself: anyone who can read the note directory can read it.")
                        .arg(m_notes->caption(n), plainPath));
    }
    m_notes->setChanged(n, false);
    m_safety->lockChanged(n, plainPath, bytes);
    qCInfo(lcNotes) << "note" << n << "is locked";
    emit saved(n);
    return {};
}

QString NoteSet::removeLock(int n, const Secret &passphrase)
{
    if (!isLocked(n))
        return QStringLiteral("This note is not locked.");
    if (isSealed(n))
        return QStringLiteral("Unlock the note first.");
    LockableStorage &storage = store(n);
    if (!storage.hasKey(passphrase))
        return OpenPgp::describe(OpenPgp::Outcome::WrongPassphrase);
    const QString lockedPath = path(n);
    const QString plainPath = m_notes->plainPath(n);
    if (QFileInfo::exists(plainPath) || QFileInfo(plainPath).isSymLink())
        return inTheWay(plainPath);
    const QByteArray bytes = m_notes->bytes(n);
    if (FileExists(lockedPath) && (isChanged(n) || isEdited(n)))
        m_safety->keepFileInHistory(n);
    // The passphrase stays until the history is carried over: its versions are decrypted.
    storage.setLocked(false);
    DurableFile::Failure failure;
    if (!m_files->save(n, bytes, plainPath, &failure)) {
        storage.setLocked(true);
        return QStringLiteral("The lock of \"%1\" was not removed: %2.")
            .arg(m_notes->caption(n), WriteFailureText::reason(failure));
    }
    m_notes->setLockedFile(n, false);
    if (FileExists(lockedPath) && !QFile::remove(lockedPath))
        qCWarning(lcNotes) << "the encrypted file of note" << n << "could not be removed";
    m_notes->setChanged(n, false);
    m_safety->lockChanged(n, lockedPath, bytes);
    storage.forgetKey();
    emit noticeOver(QStringLiteral("locked and plain %1").arg(n));
    qCInfo(lcNotes) << "note" << n << "is no longer locked";
    emit saved(n);
    return {};
}

QStringList NoteSet::lockNow()
{
    QStringList open;
    for (int n = 1; n <= NoteTabs::Count; ++n) {
        if (!isLocked(n))
            continue;
        if (m_unlocking[slot(n)]) {
            // What the loader brings is dropped when it comes.
            store(n).forgetKey();
            continue;
        }
        if (isSealed(n))
            continue;
        // Its text is written first (encrypted); a note that cannot be written stays open rather
        // than lose what was typed.
        if ((isChanged(n) || isEdited(n)) && !write(n)) {
            open << m_notes->caption(n);
            continue;
        }
        seal(n);
    }
    return open;
}

void NoteSet::seal(int n)
{
    store(n).forgetKey();
    m_notes->clear(n);
    m_safety->sealed(n);
    m_notes->setChanged(n, false);
    emit sealed(n);
}
