#include "RecoveryCopies.h"

#include "DurableFile.h"
#include "NoteTab.h"
#include "ProgramPlaces.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTextStream>

namespace {
QString listPath()
{
    return ProgramPlaces::userDataDirectory() + QStringLiteral("/recovered-notes.txt");
}
} // namespace

namespace RecoveryCopies {

QString directory()
{
    const QString dir = ProgramPlaces::userDataDirectory() + QStringLiteral("/Recovered notes");
    QDir().mkpath(dir);
    return dir;
}

QString pathFor(const QString &noteFileName, const QDateTime &when)
{
    const QString stamp = when.toString(QStringLiteral("yyyy-MM-dd hh-mm-ss"));
    const QString base = directory() + QLatin1Char('/') + stamp + QLatin1Char(' ');
    QString path = base + noteFileName;
    // Two shutdowns within a second must not overwrite the first copy.
    for (int i = 2; QFileInfo::exists(path); ++i)
        path = base + QStringLiteral("(%1) ").arg(i) + noteFileName;
    return path;
}

int noteOf(const QString &copyPath)
{
    const QString name = QFileInfo(copyPath).fileName();
    for (int n = 1; n <= NoteTabs::Count; ++n) {
        const QString file = QLatin1Char(' ') + NoteTabs::tab(n).fileName;
        if (name.endsWith(file) || name.endsWith(file + QStringLiteral(".gpg")))
            return n;
    }
    return 0;
}

bool remember(const QStringList &paths)
{
    QByteArray list;
    if (QFile old(listPath()); old.open(QIODevice::ReadOnly))
        list = old.readAll();
    for (const QString &p : paths)
        list += p.toUtf8() + '\n';
    return !DurableFile::write(listPath(), list, DurableFile::Access::OwnerOnly);
}

QStringList takeRemembered()
{
    QFile file(listPath());
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text))
        return {};
    QStringList paths;
    QTextStream in(&file);
    while (!in.atEnd()) {
        const QString line = in.readLine().trimmed();
        if (!line.isEmpty())
            paths << line;
    }
    file.close();
    file.remove();
    return paths;
}

} // namespace RecoveryCopies
