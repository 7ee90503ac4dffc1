#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QList>
#include <QString>

// Earlier versions of each note file, kept in the per-user data directory: every time a note
// file is replaced, what it held before is kept here. At most `maxVersions` per note and none
// older than `maxAgeDays`.
class NoteHistory final
{
public:
    struct Version
    {
        QString path;
        QDateTime when;
    };

    // root: where the history lives (normally <user data>/history).
    explicit NoteHistory(QString root, int maxVersions = 20, int maxAgeDays = 30);

    // Keeps the previous content of a note file. Notes are told apart by their full path, so two
    // note directories never mix their histories. Returns false when it could not be stored.
    bool keep(const QString &notePath, const QByteArray &previousContent,
              const QDateTime &when = QDateTime::currentDateTime());

    // The kept versions of a note, newest first.
    QList<Version> versions(const QString &notePath) const;

    static QByteArray read(const Version &version);

    // Drops versions beyond the limits.
    void prune(const QString &notePath, const QDateTime &now = QDateTime::currentDateTime()) const;

private:
    QString folderFor(const QString &notePath) const;

    QString m_root;
    int m_maxVersions;
    int m_maxAgeDays;
};
