#include "ConflictCopy.h"

#include "NoteTab.h"

#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>

#include <algorithm>

namespace {

int noteNamed(QString fileName)
{
    // A locked note's copies are encrypted as it is: "notes.rtf (conflict …).gpg".
    if (fileName.endsWith(QLatin1String(".gpg")))
        fileName.chop(4);
    for (const NoteTab &tab : NoteTabs::all()) {
        if (tab.fileName == fileName)
            return tab.number;
    }
    return 0;
}

std::optional<ConflictCopy> fromSyncthingName(const QString &name)
{
    // <base>.sync-conflict-<yyyyMMdd>-<HHmmss>-<short device ID>.<suffix>
    static const QRegularExpression pattern(
        QStringLiteral("^(.+)\\.sync-conflict-(\\d{8}-\\d{6})-([A-Z2-7]{7})(\\.[^.]*)?$"));
    const QRegularExpressionMatch match = pattern.match(name);
    if (!match.hasMatch())
        return std::nullopt;
    ConflictCopy copy;
    copy.note = noteNamed(match.captured(1) + match.captured(4));
    copy.device = match.captured(3);
    copy.when = QDateTime::fromString(match.captured(2), QStringLiteral("yyyyMMdd-HHmmss"));
    copy.bySyncthing = true;
    return copy;
}

std::optional<ConflictCopy> fromOurName(const QString &name)
{
    // <base> (conflict <computer> <yyyy-MM-dd hhmm>)[ <n>].<suffix>, as conflictCopyPath() names it
    static const QRegularExpression pattern(
        QStringLiteral("^(.+) \\(conflict (.+) (\\d{4}-\\d{2}-\\d{2} \\d{4})\\)(?: \\d+)?(\\.[^.]*)?$"));
    const QRegularExpressionMatch match = pattern.match(name);
    if (!match.hasMatch())
        return std::nullopt;
    ConflictCopy copy;
    copy.note = noteNamed(match.captured(1) + match.captured(4));
    copy.device = match.captured(2);
    copy.when = QDateTime::fromString(match.captured(3), QStringLiteral("yyyy-MM-dd HHmm"));
    return copy;
}
} // namespace

QString ConflictCopy::savedBy(const QString &thisComputer) const
{
    if (bySyncthing)
        return QStringLiteral("device %1").arg(device);
    // Host names know no letter case; the copy's name has its '/' made '_' (conflictCopyPath).
    if (device.compare(QString(thisComputer).replace(u'/', u'_'), Qt::CaseInsensitive) == 0)
        return QStringLiteral("this computer");
    return device;
}

QString ConflictCopy::origin() const
{
    return bySyncthing ? QStringLiteral("device %1").arg(device) : device;
}

std::optional<ConflictCopy> ConflictCopy::fromPath(const QString &path)
{
    const QString name = QFileInfo(path).fileName();
    // A copy still being written by the sync program is not there yet.
    if (isTemporaryNoteFile(name))
        return std::nullopt;
    std::optional<ConflictCopy> copy = fromSyncthingName(name);
    if (!copy)
        copy = fromOurName(name);
    if (!copy || copy->note == 0)
        return std::nullopt;
    copy->path = path;
    return copy;
}

QList<ConflictCopy> ConflictCopy::in(const QString &directory)
{
    QList<ConflictCopy> copies;
    const QDir dir(directory);
    const QStringList names = dir.entryList({QStringLiteral("*conflict*")}, QDir::Files | QDir::Hidden);
    for (const QString &name : names) {
        if (std::optional<ConflictCopy> copy = fromPath(dir.filePath(name)))
            copies.append(*copy);
    }
    std::stable_sort(copies.begin(), copies.end(),
                     [](const ConflictCopy &a, const ConflictCopy &b) { return a.when < b.when; });
    return copies;
}

bool isTemporaryNoteFile(const QString &fileName)
{
    if (fileName.startsWith(QLatin1String(".syncthing.")) && fileName.endsWith(QLatin1String(".tmp")))
        return true;
    // An atomic save writes "<note file>.<six letters or digits>" and renames it over the note.
    static const QRegularExpression saving(QStringLiteral("^(.+)\\.[A-Za-z0-9]{6}$"));
    const QRegularExpressionMatch match = saving.match(fileName);
    return match.hasMatch() && noteNamed(match.captured(1)) != 0;
}
