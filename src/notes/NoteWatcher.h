#pragma once

#include "ConflictCopy.h"
#include "NoteDiskState.h"

#include <QFileSystemWatcher>
#include <QObject>
#include <QSet>
#include <QTimer>

#include <array>

#include "NoteStorage.h"

// Watches the seven note files for changes made from outside (another machine on a shared
// drive, another program). Network file systems often send no change events, so the files are
// also polled every few seconds. It also notices the note directory going away and coming back.
class NoteWatcher final : public QObject
{
    Q_OBJECT
public:
    // The files are read through storage (the plain one when not given).
    explicit NoteWatcher(QObject *parent = nullptr, int pollMs = 3000, NoteStorageFor storage = {});

    // The seven paths (index 0 = note 1) to watch; resets what is known of them.
    void setPaths(const std::array<QString, 7> &paths);

    // What we loaded or wrote last for note n; a change away from it is reported, once for each
    // new size or time of the file. A file gone and back with this content is no change.
    void setKnownState(int note, const NoteDiskState &state);
    NoteDiskState knownState(int note) const;

    // Compares note n's file with what we know now (also called right before every write).
    bool changedOnDisk(int note) const;

    // Checks all files and the directory at once (normally run by the timer and the watcher).
    void checkNow();

    bool directoryAvailable() const { return m_directoryAvailable; }

signals:
    void noteChangedOnDisk(int note);
    void directoryLost();
    void directoryBack();
    // A conflict copy of a note is in the note directory; told once while it stays there.
    void conflictCopyFound(const ConflictCopy &copy);
    // A conflict copy told of is no longer there (merged here or on another computer).
    void conflictCopyGone(const QString &path);

private:
    void checkConflictCopies(const QString &dir);

    NoteStorageFor m_storage;
    std::array<QString, 7> m_paths;
    std::array<NoteDiskState, 7> m_known;
    // Size and time of each file when the poll last hashed it: the poll reads a file again only
    // when these move, so a note directory on a network share is not read in full every few
    // seconds. The check before a write always compares contents.
    struct Seen
    {
        qint64 size = -2;
        QDateTime modified;
        bool operator==(const Seen &) const = default;
    };
    std::array<Seen, 7> m_seen{};
    QSet<QString> m_copies; // the conflict copies already told of
    QFileSystemWatcher m_watcher;
    QTimer m_poll;
    bool m_directoryAvailable = true;
};
