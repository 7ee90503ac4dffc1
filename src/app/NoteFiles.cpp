#include "NoteFiles.h"

#include "AppLog.h"
#include "FileHelpers.h"
#include "FinalLineBreak.h"
#include "ProgramPlaces.h"
#include "RichTextBox.h"
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

// Reads the whole file, so that a file we may open but not read (an I/O error, a damaged disk)
// is told apart from one that is merely empty.
// Returns the bytes, or nullopt with error saying why.
std::optional<QByteArray> readAll(const QString &path, QString *error)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        *error = file.errorString();
        return std::nullopt;
    }
    QByteArray bytes;
    char buffer[64 * 1024];
    while (true) {
        const qint64 got = file.read(buffer, sizeof buffer);
        if (got < 0 || file.error() != QFileDevice::NoError) {
            *error = file.errorString();
            return std::nullopt;
        }
        if (got == 0)
            return bytes;
        bytes.append(buffer, got);
    }
}
} // namespace

NoteFiles::Read NoteFiles::read(const QString &path)
{
    Read result;
    if (!FileExists(path))
        return result;
    const std::optional<QByteArray> bytes = readAll(path, &result.error);
    if (bytes) {
        auto doc = std::make_unique<QTextDocument>();
        if (RichTextBox::fillDocument(doc.get(), *bytes, &result.error)) {
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

NoteFiles::Loaded NoteFiles::apply(int n, RichTextBox *box, Read read, QString *error)
{
    m_unreadable[index(n)] = false;
    m_keptAside[index(n)].clear();
    switch (read.loaded) {
    case Loaded::Missing:
        break;
    case Loaded::Read:
        box->adoptDocument(std::move(read.document), std::move(read.paragraphs));
        break;
    case Loaded::Unreadable:
        box->clear();
        m_unreadable[index(n)] = true;
        qCWarning(lcApp) << "note" << n << "could not be read:" << read.error;
        if (error)
            *error = read.error;
        break;
    }
    return read.loaded;
}

NoteFiles::Loaded NoteFiles::load(int n, RichTextBox *box, const QString &path, QString *error)
{
    return apply(n, box, read(path), error);
}

bool NoteFiles::save(int n, RichTextBox *box, const QString &path, DurableFile::Failure *failure,
                     QByteArray *written)
{
    // Serialised once, so that what the caller is told was written is exactly what the file holds.
    const QByteArray bytes = box->TextRTF();
    if (!save(n, bytes, path, failure))
        return false;
    if (written)
        *written = bytes;
    return true;
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
        qCInfo(lcApp) << "kept the unreadable file of note" << n << "aside";
    }
    // A replaced file keeps the permissions it had. A new one in the per-user data directory is
    // the owner's alone, as the folder is; in a shared note directory it gets the usual ones.
    const bool ownerOnly =
        !QFileInfo::exists(path) &&
        QFileInfo(path).absolutePath() == QDir(ProgramPlaces::userDataDirectory()).absolutePath();
    const DurableFile::Failure result = DurableFile::write(
        path, bytes, ownerOnly ? DurableFile::Access::OwnerOnly : DurableFile::Access::Kept);
    if (result) {
        qCWarning(lcApp) << "note" << n << "could not be written:" << result.detail;
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
