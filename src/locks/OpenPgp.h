#pragma once

#include "Secret.h"

#include <QByteArray>
#include <QString>

// A locked note's bytes as an OpenPGP message encrypted with a passphrase (symmetric AES-256,
// iterated and salted S2K), so that any OpenPGP tool opens it:
//   gpg --batch --pinentry-mode loopback --passphrase P --decrypt notes.rtf.gpg
// Each call runs gpg and waits for it: call it from a worker thread, never the GUI thread.
// Thread-safe; no passphrase is cached anywhere (not in gpg's agent either).
namespace OpenPgp {

enum class Outcome {
    Done,
    WrongPassphrase,  // a passphrase-encrypted message this passphrase does not open
    NotForPassphrase, // encrypted to a public key, not with a passphrase
    Damaged,          // not OpenPGP, cut short or corrupted
    Failed,           // gpg could not be run or failed otherwise; detail says why
};

struct Result
{
    Outcome outcome = Outcome::Failed;
    QByteArray bytes; // Done: the encrypted message, or the decrypted bytes
    QString detail;   // otherwise: what went wrong, for the log
    explicit operator bool() const { return outcome == Outcome::Done; }
};

Result encrypt(const QByteArray &plain, const Secret &passphrase);
Result decrypt(const QByteArray &message, const Secret &passphrase);

// Whether bytes begin like an OpenPGP message (binary packets or ASCII armour), as opposed to
// RTF or plain text. Cheap; reads only the first bytes.
bool looksEncrypted(const QByteArray &bytes);

// A sentence for the user: "The passphrase is wrong.", "… is encrypted to a key, not with a
// passphrase …", "… is damaged …".
QString describe(Outcome outcome);
// The same, with gpg's own words added when it failed otherwise ("GnuPG could not be started: …").
QString describe(const Result &result);

} // namespace OpenPgp
