#include "NoteFiles.h"

#include "FileHelpers.h"
#include "FinalLineBreak.h"
#include "NoteDocuments.h"
#include "NoteStorage.h"
#include "NoteText.h"
#include "NotesLog.h"
#include "ProgramPlaces.h"
#include "RtfReader.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTextDocument>

#include <optional>

namespace {
size_t index(int n)
{
    return static_cast<size_t>(n - 1);
}
} // namespace

NoteFiles::NoteFiles(NoteStorageFor storage) : m_storage(std::move(storage)) {}

NoteFiles::Read NoteFiles::read(const NoteStorage &storage, const QString &path)
{
    Read result;
    if (!FileExists(path))
        return result;
    const std::optional<QByteArray> bytes = storage.read(path, &result.error);
    if (bytes) {
        auto doc = std::make_unique<QTextDocument>();
        if (NoteText::fill(doc.get(), *bytes, &result.error)) {
            // The RTF reader already takes the file's final paragraph mark as the end of the
            // document, which is what the trimming is for; trimming RTF again would cut one real
            // empty line off the end of the note at every start. Plain-text files still lose
            // their final line break.
            if (!rtf::looksLikeRtf(*bytes))
                dropFinalLineBreak(doc.get());
            result.loaded = Loaded::Read;
            result.document = std::move(doc);
            result.disk = NoteDiskState::ofContent(*bytes, QFileInfo(path).lastModified());
            return result;
        }
    }
    result.loaded = Loaded::Unreadable;
    return result;
}

std::unique_ptr<QTextDocument> NoteFiles::apply(int n, NoteDocuments &notes, Read read, QString *error)
{
    m_unreadable[index(n)] = false;
    m_keptAside[index(n)].clear();
    switch (read.loaded) {
    case Loaded::Missing:
        break;
    case Loaded::Read:
        return notes.adopt(n, std::move(read.document), std::move(read.paragraphs));
    case Loaded::Unreadable:
        notes.clear(n);
        m_unreadable[index(n)] = true;
        qCWarning(lcNotes) << "note" << n << "could not be read:" << read.error;
        if (error)
            *error = read.error;
        break;
    }
    return nullptr;
}

bool NoteFiles::save(int n, const QByteArray &bytes, const QString &path, DurableFile::Failure *failure)
{
    if (m_unreadable[index(n)] && QFileInfo::exists(path)) {
        const QString aside = asidePath(path);
        if (!QFile::rename(path, aside)) {
            if (failure) {
                failure->kind = DurableFile::Failure::Kind::Other;
                failure->detail =
                    QStringLiteral("the file that could not be read could not be kept aside as %1")
                        .arg(aside);
            }
            return false;
        }
        m_keptAside[index(n)] = aside;
        qCInfo(lcNotes) << "kept the unreadable file of note" << n << "aside";
    }
    // A replaced file keeps the permissions it had. A new one in the per-user data directory is
    // the owner's alone, as the folder is; in a shared note directory it gets the usual ones.
    const bool ownerOnly =
        !QFileInfo::exists(path) &&
        QFileInfo(path).absolutePath() == QDir(ProgramPlaces::userDataDirectory()).absolutePath();
    const DurableFile::Failure result = m_storage(n).write(
        path, bytes, ownerOnly ? DurableFile::Access::OwnerOnly : DurableFile::Access::Kept);
    if (result) {
        qCWarning(lcNotes) << "note" << n << "could not be written:" << result.detail;
        if (failure)
            *failure = result;
        return false;
    }
    m_unreadable[index(n)] = false;
    return true;
}

bool NoteFiles::isUnreadable(int n) const
{
    return m_unreadable[index(n)];
}

void NoteFiles::forgetUnreadable(int n)
{
    m_unreadable[index(n)] = false;
}

QString NoteFiles::keptAside(int n) const
{
    return m_keptAside[index(n)];
}

QString NoteFiles::asidePath(const QString &path, const QDateTime &when)
{
    const QFileInfo info(path);
    const QString base = info.path() + QLatin1Char('/') + info.completeBaseName() +
                         QStringLiteral(" (unreadable ") +
                         when.toString(QStringLiteral("yyyy-MM-dd hh-mm-ss"));
    const QString suffix = info.suffix().isEmpty() ? QString() : QLatin1Char('.') + info.suffix();
    QString aside = base + QLatin1Char(')') + suffix;
    for (int i = 2; QFileInfo::exists(aside) || QFileInfo(aside).isSymLink(); ++i)
        aside = base + QStringLiteral(" %1)").arg(i) + suffix;
    return aside;
}
