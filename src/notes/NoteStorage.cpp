#include "NoteStorage.h"

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

    DurableFile::Failure write(const QString &path, const QByteArray &bytes,
                               DurableFile::Access access) const override
    {
        return DurableFile::write(path, bytes, access);
    }
};

} // namespace

const NoteStorage &NoteStorage::plain()
{
    static const PlainStorage storage;
    return storage;
}
