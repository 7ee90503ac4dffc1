#include "NoteStorage.h"

#include <QCryptographicHash>
#include <QFile>

namespace {

class PlainStorage final : public NoteStorage
{
public:
    std::optional<QByteArray> read(const QString &path, QString *error) const override
    {
        QFile file(path);
        if (!file.open(QIODevice::ReadOnly)) {
            if (error)
                *error = file.errorString();
            return std::nullopt;
        }
        QByteArray bytes;
        char buffer[64 * 1024];
        while (true) {
            const qint64 got = file.read(buffer, sizeof buffer);
            if (got < 0 || file.error() != QFileDevice::NoError) {
                if (error)
                    *error = file.errorString();
                return std::nullopt;
            }
            if (got == 0)
                return bytes;
            bytes.append(buffer, got);
        }
    }

    std::optional<Digest> digest(const QString &path) const override
    {
        QFile file(path);
        if (!file.open(QIODevice::ReadOnly))
            return std::nullopt;
        QCryptographicHash hash(QCryptographicHash::Sha1);
        if (!hash.addData(&file))
            return std::nullopt;
        return Digest{file.size(), hash.result()};
    }

    DurableFile::Failure write(const QString &path, const QByteArray &bytes,
                               DurableFile::Access access) const override
    {
        return DurableFile::write(path, bytes, access);
    }
};

} // namespace

std::optional<NoteStorage::Digest> NoteStorage::digest(const QString &path) const
{
    const std::optional<QByteArray> bytes = read(path);
    if (!bytes)
        return std::nullopt;
    return Digest{bytes->size(), QCryptographicHash::hash(*bytes, QCryptographicHash::Sha1)};
}

NoteStorageFor allThrough(const NoteStorage &storage)
{
    return [&storage](int) -> const NoteStorage & { return storage; };
}

const NoteStorage &NoteStorage::plain()
{
    static const PlainStorage storage;
    return storage;
}
