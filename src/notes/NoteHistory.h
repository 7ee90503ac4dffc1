#pragma once

#include "ConflictCopy.h"
#include "NoteStorage.h"

#include <QByteArray>
#include <QDateTime>
#include <QHash>
#include <QList>
#include <QString>

// Earlier versions of each note file, kept in the per-user data directory: every time a note
// file is replaced, what it held before is kept here. At most `maxVersions` per note, none older
// than `maxAgeDays`, and no more than `maxBytes` per note together (the oldest go first; the
// newest always stays). A version equal to the one kept before it is not kept again.
class NoteHistory final
{
public:
    struct Version
    {
        QString path;
        QDateTime when;
        QString notePath; // the note it is a version of
    };

    // root: where the history lives (normally <user data>/history); a note's versions go
    // through the storage storageOf gives for its path (a locked note's are encrypted).
    static constexpr qint64 DefaultMaxBytes = 50LL * 1024 * 1024;
    using StorageOf = std::function<const NoteStorage &(const QString &notePath)>;
    explicit NoteHistory(QString root, int maxVersions = 20, int maxAgeDays = 30,
                         qint64 maxBytes = DefaultMaxBytes, StorageOf storageOf = {});

    // Keeps the previous content of a note file. Notes are told apart by their full path, so two
    // note directories never mix their histories. Returns false when it could not be stored.
    bool keep(const QString &notePath, const QByteArray &previousContent,
              const QDateTime &when = QDateTime::currentDateTime());
    // The same for a version replaced by the user's own editing here: within ten minutes of the
    // version that opened a stretch of editing, a newer one takes its place, so the versions kept
    // span days of work rather than minutes of saves.
    bool keepEdit(const QString &notePath, const QByteArray &previousContent,
                  const QDateTime &when = QDateTime::currentDateTime());
    static constexpr int EditStretchSecs = 600;

    // The kept versions of a note, newest first.
    QList<Version> versions(const QString &notePath) const;

    // What a version holds (empty when it cannot be read).
    QByteArray bytesOf(const Version &version) const;
    static QByteArray read(const Version &version); // through the plain storage

    // The versions of a note file now kept as another (a note locked or no longer locked) are
    // stored again for it, each through its storage, and leave the old place. False when some
    // could not be: those stay where they were.
    bool carryOver(const QString &fromNotePath, const QString &toNotePath);

    // Drops versions beyond the limits.
    void prune(const QString &notePath, const QDateTime &now = QDateTime::currentDateTime()) const;

private:
    friend bool moveIntoHistory(NoteHistory &, const QString &, const ConflictCopy &);
    QString folderFor(const QString &notePath) const;
    const NoteStorage &storage(const QString &notePath) const;
    bool store(const QString &notePath, const QByteArray &previousContent, const QDateTime &when);

    // Per note: when its current stretch of editing opened, and the version standing for it.
    struct EditStretch
    {
        QDateTime opened;
        QString newest;
    };
    QHash<QString, EditStretch> m_stretches;

    StorageOf m_storageOf;
    QString m_root;
    int m_maxVersions;
    int m_maxAgeDays;
    qint64 m_maxBytes;
};

// After the user chose: the second version goes into the note's history, so nothing is thrown
// away, and only then leaves the note directory. False (and the file stays) when it could not
// be kept.
bool moveIntoHistory(NoteHistory &history, const QString &notePath, const ConflictCopy &copy);
