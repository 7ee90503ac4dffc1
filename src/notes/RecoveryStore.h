#pragma once

#include "DurableFile.h"
#include "NoteStorage.h"

#include <QByteArray>
#include <QDateTime>
#include <QList>
#include <QString>

// Recovery copies of changed notes, written a few seconds after typing stops, so that a crash or
// a kill loses at most those seconds. A clean shutdown removes them; the next start after a crash
// offers every copy that is newer than its note file.
//
// Each note set (a note directory used with one settings file) keeps its copies in a folder of its
// own, named after both and holding a small manifest that names them: two programs of one user with
// different settings (two profiles, two computers with one network home) never take or remove each
// other's copies.
class RecoveryStore final
{
public:
    struct Entry
    {
        int note = 0; // 1..7
        QString copyPath;
        QDateTime saved;
    };

    // base: where the note sets' folders live (normally <user data>/recovery); the copies' bytes
    // go through storage.
    explicit RecoveryStore(QString base, NoteStorageFor storage = allThrough(NoteStorage::plain()));

    // The note set whose copies are kept from now on.
    void setNoteSet(const QString &noteDir, const QString &settingsPath);
    QString folder() const { return m_root; }

    // Written in full or not at all; the failure says why not.
    DurableFile::Failure save(int note, const QByteArray &rtf);
    void remove(int note);
    void removeAll(); // also the set's folder, once no copy is left in it
    QByteArray read(int note) const;
    QString copyPath(int note) const;

    // The copies newer than the note files they belong to (notePath(n) gives note n's file).
    template <typename NotePathFn> QList<Entry> newerThanNotes(NotePathFn notePath) const
    {
        QList<Entry> result;
        for (int n = 1; n <= 7; ++n) {
            const Entry e = entry(n);
            if (!e.saved.isValid())
                continue;
            const QDateTime noteTime = fileTime(notePath(n));
            if (!noteTime.isValid() || e.saved > noteTime)
                result.append(e);
        }
        return result;
    }

private:
    Entry entry(int note) const;
    void adoptOneFolderCopies();
    bool makeFolder() const;
    bool writeManifest() const;
    static QDateTime fileTime(const QString &path);

    NoteStorageFor m_storage;
    QString m_base;
    QString m_noteDir;
    QString m_settingsPath;
    QString m_root;
};
