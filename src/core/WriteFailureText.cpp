#include "WriteFailureText.h"

#include <QDir>

using Kind = DurableFile::Failure::Kind;

namespace WriteFailureText {

namespace {
// What went wrong with the note directory, as the start of a sentence. Whole-disk troubles name
// the folder only where the sentence is about the folder itself.
QString problem(const DurableFile::Failure &failure, const QString &dir, bool nameDir)
{
    const QString where = QDir::toNativeSeparators(dir);
    switch (failure.kind) {
    case Kind::DiskFull:
        return nameDir ? QStringLiteral("The disk holding your notes (%1) is full").arg(where)
                       : QStringLiteral("The disk holding your notes is full");
    case Kind::ReadOnly:
        return QStringLiteral("The note directory %1 is read-only").arg(where);
    case Kind::NotAllowed:
        return QStringLiteral("You are not allowed to write to the note directory %1").arg(where);
    case Kind::FolderMissing:
        return QStringLiteral("The note directory %1 does not exist").arg(where);
    case Kind::NotAFolder:
        return QStringLiteral("The note directory %1 is a file, not a folder").arg(where);
    case Kind::DiskError:
        return nameDir ? QStringLiteral("The disk holding your notes (%1) reported an error").arg(where)
                       : QStringLiteral("The disk holding your notes reported an error");
    case Kind::None:
    case Kind::Other:
        break;
    }
    return QStringLiteral("The note directory %1 could not be written (%2)").arg(where, failure.detail);
}
} // namespace

QString reason(const DurableFile::Failure &failure)
{
    switch (failure.kind) {
    case Kind::DiskFull:
        return QStringLiteral("the disk is full");
    case Kind::ReadOnly:
        return QStringLiteral("the folder is read-only");
    case Kind::NotAllowed:
        return QStringLiteral("you are not allowed to write there");
    case Kind::FolderMissing:
        return QStringLiteral("the folder does not exist");
    case Kind::NotAFolder:
        return QStringLiteral("a file stands where the folder should be");
    case Kind::DiskError:
        return QStringLiteral("the disk reported an error");
    case Kind::None:
    case Kind::Other:
        break;
    }
    return failure.detail;
}

QString whereSafe(const DurableFile::Failure &copyFailure)
{
    return copyFailure ? QStringLiteral("Your text is safe in this window only: its recovery copy could not "
                                        "be written either (%1).")
                             .arg(reason(copyFailure))
                       : QStringLiteral("Your text is safe in this window and in a recovery copy.");
}

QString noteNotSaved(const DurableFile::Failure &failure, const QString &caption, const QString &noteDir,
                     const DurableFile::Failure &copyFailure)
{
    return QStringLiteral("%1: \"%2\" was not saved. %3")
        .arg(problem(failure, noteDir, false), caption, whereSafe(copyFailure));
}

QString recoveryCopyFailed(const DurableFile::Failure &failure, const QString &caption, const QString &folder)
{
    return QStringLiteral("A recovery copy of \"%1\" could not be written to %2 (%3). Until the note is "
                          "saved, its text is safe in this window only.")
        .arg(caption, QDir::toNativeSeparators(folder), reason(failure));
}

QString unusableNoteDirectory(const DurableFile::Failure &failure, const QString &dir)
{
    return QStringLiteral("%1: changed notes stay in this window and in recovery copies until they can "
                          "be saved. Setup can choose another folder.")
        .arg(problem(failure, dir, true));
}

} // namespace WriteFailureText
