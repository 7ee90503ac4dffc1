#include "NoteWatcher.h"

#include "NoteStorage.h"

#include <QDir>
#include <QFileInfo>

NoteWatcher::NoteWatcher(QObject *parent, int pollMs, NoteStorageFor storage)
    : QObject(parent), m_storage(storage ? std::move(storage) : allThrough(NoteStorage::plain()))
{
    connect(&m_watcher, &QFileSystemWatcher::fileChanged, this, &NoteWatcher::checkNow);
    connect(&m_watcher, &QFileSystemWatcher::directoryChanged, this, &NoteWatcher::checkNow);
    connect(&m_poll, &QTimer::timeout, this, &NoteWatcher::checkNow);
    m_poll.start(pollMs);
}

void NoteWatcher::setPaths(const std::array<QString, 7> &paths)
{
    if (!m_watcher.files().isEmpty())
        m_watcher.removePaths(m_watcher.files());
    if (!m_watcher.directories().isEmpty())
        m_watcher.removePaths(m_watcher.directories());
    m_paths = paths;
    m_known = {};
    m_seen = {};
    m_copies.clear();
    for (const QString &p : paths) {
        if (QFileInfo::exists(p))
            m_watcher.addPath(p);
    }
    const QString dir = QFileInfo(paths[0]).absolutePath();
    m_directoryAvailable = QFileInfo(dir).isDir();
    if (m_directoryAvailable)
        m_watcher.addPath(dir);
}

void NoteWatcher::setKnownState(int note, const NoteDiskState &state)
{
    m_known[note - 1] = state;
    m_seen[note - 1] = {};
    const QString &p = m_paths[note - 1];
    // A file created by our first write or replaced by an atomic rename needs watching afresh.
    if (!p.isEmpty() && QFileInfo::exists(p) && !m_watcher.files().contains(p))
        m_watcher.addPath(p);
}

NoteDiskState NoteWatcher::knownState(int note) const
{
    return m_known[note - 1];
}

bool NoteWatcher::changedOnDisk(int note) const
{
    const QString &p = m_paths[note - 1];
    if (p.isEmpty())
        return false;
    return !m_known[note - 1].sameContentAs(NoteDiskState::of(p, m_storage(note)));
}

void NoteWatcher::checkNow()
{
    if (m_paths[0].isEmpty())
        return;
    const QString dir = QFileInfo(m_paths[0]).absolutePath();
    const bool available = QFileInfo(dir).isDir() && QDir(dir).isReadable();
    if (available != m_directoryAvailable) {
        m_directoryAvailable = available;
        if (available) {
            m_watcher.addPath(dir);
            emit directoryBack();
        } else {
            emit directoryLost();
        }
    }
    if (!available)
        return;
    for (int n = 1; n <= 7; ++n) {
        const QFileInfo info(m_paths[n - 1]);
        const Seen seen{info.isFile() ? info.size() : -1, info.isFile() ? info.lastModified() : QDateTime()};
        if (seen == m_seen[n - 1])
            continue;
        m_seen[n - 1] = seen;
        // A file that went away and came back as it was (a sync tool replacing it, a share
        // remounted) is the same note: nothing to report.
        if (!changedOnDisk(n))
            continue;
        // Reported once for each new look of the file, not again at every poll.
        const QString &p = m_paths[n - 1];
        if (QFileInfo::exists(p) && !m_watcher.files().contains(p))
            m_watcher.addPath(p);
        emit noteChangedOnDisk(n);
    }
    checkConflictCopies(dir);
}

void NoteWatcher::checkConflictCopies(const QString &dir)
{
    QSet<QString> present;
    for (const ConflictCopy &copy : ConflictCopy::in(dir)) {
        present.insert(copy.path);
        if (!m_copies.contains(copy.path)) {
            m_copies.insert(copy.path);
            emit conflictCopyFound(copy);
        }
    }
    // One taken away and made again later is a new second version.
    QSet<QString> gone = m_copies;
    gone.subtract(present);
    for (const QString &path : std::as_const(gone)) {
        m_copies.remove(path);
        emit conflictCopyGone(path);
    }
}
