// Second versions of a note beside it (conflict copies of a sync program, of another computer on
// a shared drive, or our own): the user is told without being interrupted, and may compare and
// merge them into the tab.
#include "NoteSafety.h"

#include "NoteDocuments.h"
#include "NoteStorage.h"
#include "NotesLog.h"

#include <QDir>
#include <QFileInfo>

void NoteSafety::secondVersionFound(const ConflictCopy &copy)
{
    // Our own copy made in this session was told when it was made.
    if (m_finished || m_toldCopies.contains(copy.path))
        return;
    m_toldCopies.insert(copy.path);
    const QString name = QFileInfo(copy.path).fileName();
    qCInfo(lcSafety) << "note" << copy.note << "has a second version from" << copy.origin() << "kept as"
                     << name;
    emit conflict(copy, QStringLiteral("The note \"%1\" was changed here and on %2 at the same time. The "
                                       "other version is kept beside it as %3.")
                            .arg(m_notes.caption(copy.note), copy.origin(), name));
}

void NoteSafety::tellConflict(int n, const QString &copyPath)
{
    std::optional<ConflictCopy> copy = ConflictCopy::fromPath(copyPath);
    const QString text =
        QStringLiteral("The note \"%1\" was changed here and elsewhere (another computer or program) at the "
                       "same time. Both versions are kept:\nYours: %2\nThe other: %3")
            .arg(m_notes.caption(n), QDir::toNativeSeparators(m_notes.path(n)),
                 QDir::toNativeSeparators(copyPath));
    m_toldCopies.insert(copyPath);
    if (!copy) {
        emit notice(QStringLiteral("conflict ") + copyPath, text);
        return;
    }
    emit conflict(*copy, text);
}

std::optional<QByteArray> NoteSafety::secondVersion(const ConflictCopy &copy) const
{
    return m_storage(copy.note).read(copy.path);
}

bool NoteSafety::takeIntoHistory(const ConflictCopy &copy)
{
    if (moveIntoHistory(m_history, m_notes.path(copy.note), copy))
        return true;
    qCWarning(lcSafety) << "the second version" << QFileInfo(copy.path).fileName()
                        << "could not be moved into the history";
    return false;
}
