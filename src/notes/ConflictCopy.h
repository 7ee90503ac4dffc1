#pragma once

#include <QDateTime>
#include <QList>
#include <QMetaType>
#include <QString>

#include <optional>

// A second version of one of the seven notes, kept beside it in the note directory when the note
// was changed in two places at once: by a sync program ("notes.sync-conflict-20261207-130512-
// ABCDEFG.rtf", the last part naming the device) or by this program on a shared drive ("notes
// (conflict <computer> 2026-12-07 1305).rtf").
struct ConflictCopy
{
    int note = 0; // 1 to 7
    QString path;
    QString device; // the sync program's short device ID, or the computer's name in our own copies
    QDateTime when; // as the name tells it (local time)
    bool bySyncthing = false;

    // Who saved the copy, as the user knows it: "device ABCDEFG" for the sync program's,
    // "this computer" for one this program saved here (named after `thisComputer`), else the
    // name of the computer that saved it.
    QString savedBy(const QString &thisComputer) const;
    // Where it came from, as the user knows it: "device ABCDEFG", or the computer's name.
    QString origin() const;

    // The copy a file name stands for; nothing when it is no conflict copy of a note.
    static std::optional<ConflictCopy> fromPath(const QString &path);
    // The conflict copies of the seven notes in a directory, oldest first.
    static QList<ConflictCopy> in(const QString &directory);
};

Q_DECLARE_METATYPE(ConflictCopy)

// Files that are on their way to becoming a note and never a note themselves: the sync program's
// ".syncthing.notes.rtf.tmp" and the "notes.rtf.AbC123" of an atomic save.
bool isTemporaryNoteFile(const QString &fileName);
