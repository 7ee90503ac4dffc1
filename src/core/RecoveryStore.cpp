#include "RecoveryStore.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

RecoveryStore::RecoveryStore(QString root) : m_root(std::move(root)) {}

QString RecoveryStore::copyPath(int note) const
{
    return m_root + QStringLiteral("/note%1.rtf").arg(note);
}

bool RecoveryStore::save(int note, const QByteArray &rtf)
{
    if (!QDir().mkpath(m_root))
        return false;
    QSaveFile out(copyPath(note));
    if (!out.open(QIODevice::WriteOnly))
        return false;
    out.write(rtf);
    if (!out.commit())
        return false;
    QFile::setPermissions(copyPath(note), QFileDevice::ReadOwner | QFileDevice::WriteOwner);
    return true;
}

void RecoveryStore::remove(int note)
{
    QFile::remove(copyPath(note));
}

void RecoveryStore::removeAll()
{
    for (int n = 1; n <= 7; ++n)
        remove(n);
}

QByteArray RecoveryStore::read(int note) const
{
    QFile f(copyPath(note));
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

RecoveryStore::Entry RecoveryStore::entry(int note) const
{
    Entry e;
    e.note = note;
    e.copyPath = copyPath(note);
    e.saved = fileTime(e.copyPath);
    return e;
}

QDateTime RecoveryStore::fileTime(const QString &path)
{
    const QFileInfo info(path);
    return info.isFile() ? info.lastModified() : QDateTime();
}
