#pragma once

#include "NoteStorage.h"
#include "OpenPgp.h"
#include "Secret.h"

#include <QHash>

#include <mutex>

// One note's storage: its bytes as they are while the note is plain, and as an OpenPGP message
// encrypted with the note's passphrase while it is locked. Reading takes either form, so a
// version kept before the note was locked still opens. A locked note whose passphrase is not
// known (locked again) can be neither read nor written: nothing of it reaches the disk in plain.
//
// gpg runs on a worker thread; a call from the GUI thread waits for it. What the note's files
// hold is remembered both ways while the note is open: telling whether a file changed does not
// decrypt it again after our own reads and writes, and the version a save replaces goes to the
// history as the encrypted file it already was.
class LockableStorage final : public NoteStorage
{
public:
    explicit LockableStorage(const NoteStorage &bytes) : m_bytes(bytes) {}

    bool isLocked() const;
    bool hasKey() const;
    bool hasKey(const Secret &key) const; // this one
    // Locked: from now on everything written is encrypted (with the key, which must be given).
    void lock(const Secret &key);
    void setLocked(bool locked); // as the note directory says (the key is set apart)
    void setKey(const Secret &key);
    // Forgets the passphrase and every plain text remembered.
    void forgetKey();

    // Decrypts bytes read elsewhere with this note's key (a second version of the note).
    OpenPgp::Result decrypt(const QByteArray &message) const;
    OpenPgp::Result decrypt(const QByteArray &message, const Secret &key) const;

    std::optional<QByteArray> read(const QString &path, QString *error = nullptr) const override;
    std::optional<Digest> digest(const QString &path) const override;
    DurableFile::Failure write(const QString &path, const QByteArray &bytes,
                               DurableFile::Access access = DurableFile::Access::Kept) const override;

    // Why a locked note's bytes were not read or written.
    static QString lockedError();

private:
    Secret key() const;
    void remember(const QByteArray &message, const QByteArray &plain) const;

    const NoteStorage &m_bytes;
    mutable std::mutex m_mutex;
    bool m_locked = false;
    Secret m_key;
    // Digest of an encrypted file → what it decrypts to, and digest of that → the encrypted
    // file; a few, for the note and its copies.
    mutable QHash<QByteArray, QByteArray> m_plainOf;
    mutable QHash<QByteArray, QByteArray> m_messageOf;
};
