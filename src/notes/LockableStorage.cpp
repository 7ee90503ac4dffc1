#include "LockableStorage.h"

#include "NotesLog.h"

#include <QCoreApplication>
#include <QCryptographicHash>
#include <QFile>
#include <QThread>

#include <future>

namespace {

// gpg may take a while (its key derivation is slow on purpose): never on the GUI thread.
OpenPgp::Result offGuiThread(std::function<OpenPgp::Result()> job)
{
    const QCoreApplication *app = QCoreApplication::instance();
    if (!app || QThread::currentThread() != app->thread())
        return job();
    return std::async(std::launch::async, std::move(job)).get();
}

QByteArray sha1(const QByteArray &bytes)
{
    return QCryptographicHash::hash(bytes, QCryptographicHash::Sha1);
}

bool fileLooksEncrypted(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) && OpenPgp::looksEncrypted(file.read(64));
}

constexpr int RememberedPlainTexts = 8;

} // namespace

QString LockableStorage::lockedError()
{
    return QStringLiteral("the note is locked");
}

bool LockableStorage::isLocked() const
{
    std::lock_guard guard(m_mutex);
    return m_locked;
}

bool LockableStorage::hasKey() const
{
    std::lock_guard guard(m_mutex);
    return !m_key.isEmpty();
}

bool LockableStorage::hasKey(const Secret &key) const
{
    std::lock_guard guard(m_mutex);
    return !m_key.isEmpty() && m_key == key;
}

void LockableStorage::lock(const Secret &key)
{
    std::lock_guard guard(m_mutex);
    m_locked = true;
    m_key = key;
}

void LockableStorage::setLocked(bool locked)
{
    std::lock_guard guard(m_mutex);
    m_locked = locked;
}

void LockableStorage::setKey(const Secret &key)
{
    std::lock_guard guard(m_mutex);
    m_key = key;
}

void LockableStorage::forgetKey()
{
    std::lock_guard guard(m_mutex);
    m_key.wipe();
    // Not overwritten in place: a reader may still hold the same bytes (the loader, the history
    // window); the document shown is emptied by whoever seals the note.
    m_plainOf.clear();
    m_messageOf.clear();
}

Secret LockableStorage::key() const
{
    std::lock_guard guard(m_mutex);
    return m_key;
}

void LockableStorage::remember(const QByteArray &message, const QByteArray &plain) const
{
    const QByteArray messageSha1 = sha1(message);
    const QByteArray plainSha1 = sha1(plain);
    std::lock_guard guard(m_mutex);
    if (m_key.isEmpty())
        return; // locked again meanwhile: keep nothing
    if (m_plainOf.size() >= RememberedPlainTexts) {
        m_plainOf.clear();
        m_messageOf.clear();
    }
    m_plainOf.insert(messageSha1, plain);
    m_messageOf.insert(plainSha1, message);
}

OpenPgp::Result LockableStorage::decrypt(const QByteArray &message) const
{
    return decrypt(message, key());
}

OpenPgp::Result LockableStorage::decrypt(const QByteArray &message, const Secret &key) const
{
    return offGuiThread([&message, key] { return OpenPgp::decrypt(message, key); });
}

std::optional<QByteArray> LockableStorage::read(const QString &path, QString *error) const
{
    std::optional<QByteArray> bytes = m_bytes.read(path, error);
    if (!bytes || !OpenPgp::looksEncrypted(*bytes))
        return bytes;
    const QByteArray digest = sha1(*bytes);
    {
        std::lock_guard guard(m_mutex);
        if (const auto known = m_plainOf.constFind(digest); known != m_plainOf.cend())
            return *known;
        if (m_key.isEmpty()) {
            if (error)
                *error = lockedError();
            return std::nullopt;
        }
    }
    OpenPgp::Result plain = decrypt(*bytes);
    if (!plain) {
        if (error)
            *error = OpenPgp::describe(plain.outcome);
        qCWarning(lcNotes) << "could not decrypt" << path << plain.detail;
        return std::nullopt;
    }
    remember(*bytes, plain.bytes);
    return std::move(plain.bytes);
}

std::optional<NoteStorage::Digest> LockableStorage::digest(const QString &path) const
{
    // Without the passphrase nothing is decrypted: the file's own bytes are what can be told.
    if (!hasKey() || !fileLooksEncrypted(path))
        return m_bytes.digest(path);
    // What the file decrypts to is what counts; known for every file we read or wrote.
    const std::optional<Digest> raw = m_bytes.digest(path);
    if (!raw)
        return std::nullopt;
    {
        std::lock_guard guard(m_mutex);
        if (const auto known = m_plainOf.constFind(raw->sha1); known != m_plainOf.cend())
            return Digest{known->size(), sha1(*known)};
    }
    return NoteStorage::digest(path);
}

DurableFile::Failure LockableStorage::write(const QString &path, const QByteArray &bytes,
                                            DurableFile::Access access) const
{
    if (!isLocked())
        return m_bytes.write(path, bytes, access);
    const Secret passphrase = key();
    if (passphrase.isEmpty())
        return {DurableFile::Failure::Kind::Other, lockedError()};
    // A version of the note already encrypted (the one a save replaces, on its way to the
    // history) is written as it was.
    QByteArray known;
    {
        std::lock_guard guard(m_mutex);
        known = m_messageOf.value(sha1(bytes));
    }
    if (!known.isEmpty())
        return m_bytes.write(path, known, access);
    const OpenPgp::Result message =
        offGuiThread([&bytes, passphrase] { return OpenPgp::encrypt(bytes, passphrase); });
    if (!message) {
        qCWarning(lcNotes) << "could not encrypt" << path << message.detail;
        return {DurableFile::Failure::Kind::Other,
                QStringLiteral("it could not be encrypted (%1)").arg(OpenPgp::describe(message.outcome))};
    }
    const DurableFile::Failure failure = m_bytes.write(path, message.bytes, access);
    if (!failure)
        remember(message.bytes, bytes);
    return failure;
}
