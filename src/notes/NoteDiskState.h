#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QString>

class NoteStorage;

// What a note file looked like on disk when we last loaded or wrote it. Comparing it with the
// file as it is now tells whether someone else (another machine on a shared drive) changed it.
struct NoteDiskState
{
    bool exists = false;
    qint64 size = 0;
    QDateTime modified;
    QByteArray hash; // SHA-1 of the content; empty when the file does not exist

    // The file as read through storage (the plain one when not given).
    static NoteDiskState of(const QString &path, const NoteStorage &storage);
    static NoteDiskState of(const QString &path);
    static NoteDiskState ofContent(const QByteArray &content, const QDateTime &modified);

    // Same content. Times alone are not trusted: network file systems round them.
    bool sameContentAs(const NoteDiskState &other) const;
};

// "notes (conflict <host> <yyyy-MM-dd hhmm>).rtf" beside the note; a number is added when that
// name is taken.
QString conflictCopyPath(const QString &notePath, const QString &host, const QDateTime &when);
