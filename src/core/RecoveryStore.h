#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QList>
#include <QString>

// Recovery copies of changed notes, written a few seconds after typing stops, so that a crash or
// a kill loses at most those seconds. A clean shutdown removes them; the next start after a crash
// offers every copy that is newer than its note file.
class RecoveryStore final
{
public:
    struct Entry
    {
        int note = 0;           // 1..7
        QString copyPath;
        QDateTime saved;
    };

    explicit RecoveryStore(QString root); // normally <user data>/recovery

    bool save(int note, const QByteArray &rtf);
    void remove(int note);
    void removeAll();
    QByteArray read(int note) const;
    QString copyPath(int note) const;

    // The copies newer than the note files they belong to (notePath(n) gives note n's file).
    template <typename NotePathFn>
    QList<Entry> newerThanNotes(NotePathFn notePath) const
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
    static QDateTime fileTime(const QString &path);

    QString m_root;
};
