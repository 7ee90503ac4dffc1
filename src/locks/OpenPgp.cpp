#include "OpenPgp.h"

#include "DurableFile.h"
#include "UserRuntime.h"

#include <QDir>
#include <QFile>
#include <QLoggingCategory>

#include <gpgme++/context.h>
#include <gpgme++/data.h>
#include <gpgme++/decryptionresult.h>
#include <gpgme++/encryptionresult.h>
#include <gpgme++/engineinfo.h>
#include <gpgme++/error.h>
#include <gpgme++/global.h>
#include <gpgme++/interfaces/passphraseprovider.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <mutex>
#include <utility>

Q_LOGGING_CATEGORY(lcOpenPgp, "quillbox.locks")

namespace OpenPgp {
namespace {

// gpg reads its options from the home directory we give it. Every locked note is encrypted with
// its passphrase alone: AES-256 for the data and for the key derived from the passphrase
// (iterated and salted SHA-512, gpg's own calibrated count). Not compressed: zlib would cost a
// 1 MB note more time than writing it (bench_locks), to save disk space a note hardly needs. No
// key server is ever asked, and no seed file is written at every call.
constexpr char gpgConf[] = "# Written by Quillbox Plus for its locked notes; rewritten when it differs.\n"
                           "cipher-algo AES256\n"
                           "s2k-cipher-algo AES256\n"
                           "s2k-digest-algo SHA512\n"
                           "s2k-mode 3\n"
                           "compress-algo none\n"
                           "no-auto-key-retrieve\n"
                           "no-auto-key-locate\n"
                           "no-random-seed-file\n"
                           "no-greeting\n";
// Our passphrase dialog is gpg's pinentry; gpg-agent caches nothing (see openContext).
constexpr char agentConf[] = "# Written by Quillbox Plus for its locked notes.\n"
                             "allow-loopback-pinentry\n";

struct Home
{
    QByteArray path; // encoded for gpg
    QString problem; // why gpg cannot be used, when it cannot
};

bool writeIfDifferent(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    if (file.open(QIODevice::ReadOnly) && file.readAll() == bytes)
        return true;
    return !DurableFile::write(path, bytes, DurableFile::Access::OwnerOnly);
}

// A GnuPG home of our own, never the user's ~/.gnupg: their keys, options and agent stay theirs,
// and ours cannot be changed by editing theirs. It lives in the user's private runtime directory
// (mode 0700), made once per run.
Home makeHome()
{
    if (const GpgME::Error error = GpgME::checkEngine(GpgME::OpenPGP))
        return {{}, QStringLiteral("gpg is not usable: %1").arg(QString::fromLocal8Bit(error.asString()))};
    const QString runtime = UserRuntime::privateDirectory();
    if (runtime.isEmpty())
        return {{}, QStringLiteral("no private directory for gpg's home")};
    const QString dir = runtime + QStringLiteral("/quillbox-plus-gnupg");
    QDir().mkpath(dir);
    QFile::setPermissions(dir, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    if (!UserRuntime::isPrivateDirectory(dir))
        return {{}, QStringLiteral("%1 is not a private directory").arg(dir)};
    if (!writeIfDifferent(dir + QStringLiteral("/gpg.conf"), gpgConf) ||
        !writeIfDifferent(dir + QStringLiteral("/gpg-agent.conf"), agentConf))
        return {{}, QStringLiteral("gpg's options could not be written in %1").arg(dir)};
    return {QFile::encodeName(dir), {}};
}

const Home &home()
{
    static Home made;
    static std::once_flag once;
    std::call_once(once, [] {
        GpgME::initializeLibrary();
        made = makeHome();
        if (!made.problem.isEmpty())
            qCWarning(lcOpenPgp) << made.problem;
    });
    return made;
}

// Hands gpg our passphrase, once: asked again, the first one was wrong and we give up rather
// than loop. GPGME wipes and frees the copy it is given.
class PassphraseFeed final : public GpgME::PassphraseProvider
{
public:
    explicit PassphraseFeed(const Secret &passphrase) : m_passphrase(passphrase) {}

    char *getPassphrase(const char *, const char *, bool previousWasBad, bool &canceled) override
    {
        m_asked = true;
        canceled = previousWasBad || m_given;
        m_refused = canceled;
        if (canceled)
            return nullptr;
        m_given = true;
        char *copy = static_cast<char *>(std::malloc(m_passphrase.size() + 1));
        if (copy) {
            if (!m_passphrase.isEmpty())
                std::memcpy(copy, m_passphrase.data(), m_passphrase.size());
            copy[m_passphrase.size()] = '\0';
        }
        return copy;
    }

    bool asked() const { return m_asked; }
    bool refused() const { return m_refused; }

private:
    const Secret &m_passphrase;
    bool m_asked = false;
    bool m_given = false;
    bool m_refused = false;
};

// gpg reads the passphrase up to a line break, so one with a line break (or a NUL) would be cut.
bool passphraseUsable(const Secret &passphrase)
{
    return !passphrase.isEmpty() && !std::memchr(passphrase.data(), '\n', passphrase.size()) &&
           !std::memchr(passphrase.data(), '\0', passphrase.size());
}

// A context for one call: our home, binary output, the passphrase from feed (loopback pinentry,
// so no agent dialog appears) and no symmetric key cache, so a wrong passphrase always fails and
// a locked note needs its passphrase again.
std::unique_ptr<GpgME::Context> openContext(PassphraseFeed *feed, QString *problem)
{
    const Home &gnupg = home();
    if (!gnupg.problem.isEmpty()) {
        *problem = gnupg.problem;
        return nullptr;
    }
    auto context = GpgME::Context::create(GpgME::OpenPGP);
    if (!context) {
        *problem = QStringLiteral("no OpenPGP context");
        return nullptr;
    }
    const auto failed = [problem](const GpgME::Error &error) {
        *problem = QString::fromLocal8Bit(error.asString());
        return bool(error);
    };
    if (failed(context->setEngineHomeDirectory(gnupg.path.constData())) ||
        failed(context->setPinentryMode(GpgME::Context::PinentryLoopback)) ||
        failed(context->setFlag("no-symkey-cache", "1")))
        return nullptr;
    context->setArmor(false);
    context->setOffline(true);
    context->setPassphraseProvider(feed);
    return context;
}

QByteArray bytesOf(GpgME::Data &data)
{
    const off_t size = data.seek(0, SEEK_END);
    data.seek(0, SEEK_SET);
    QByteArray bytes(qsizetype(size > 0 ? size : 0), Qt::Uninitialized);
    qsizetype done = 0;
    while (done < bytes.size()) {
        const ssize_t read = data.read(bytes.data() + done, size_t(bytes.size() - done));
        if (read <= 0)
            break;
        done += read;
    }
    bytes.truncate(done);
    return bytes;
}

// What a failed decryption means for the user. gpg asks for a passphrase only when the message
// holds a passphrase packet (SKESK); a message for public keys alone ends in "no secret key"
// without asking. A wrong passphrase fails the check of the first decrypted block ("bad
// passphrase"); a damaged body fails the integrity check or the packet parser instead. Damage within
// the first few dozen bytes (the salt, the iteration count, the first encrypted block) cannot be
// told from a wrong passphrase: OpenPGP checks a passphrase by those very bytes.
Outcome decryptOutcome(const GpgME::Error &error, const GpgME::DecryptionResult &result,
                       const PassphraseFeed &feed)
{
    const unsigned code = error.code();
    if (feed.refused() || code == GPG_ERR_BAD_PASSPHRASE || (feed.asked() && code == GPG_ERR_BAD_KEY))
        return Outcome::WrongPassphrase;
    if (!feed.asked() && (code == GPG_ERR_NO_SECKEY || !result.recipients().empty()))
        return Outcome::NotForPassphrase;
    switch (code) {
    case GPG_ERR_NO_DATA:
    case GPG_ERR_BAD_DATA:
    case GPG_ERR_INV_PACKET:
    case GPG_ERR_INV_DATA:
    case GPG_ERR_BAD_SIGNATURE:
    case GPG_ERR_DECRYPT_FAILED:
    case GPG_ERR_UNEXPECTED:
    case GPG_ERR_TRUNCATED:
    case GPG_ERR_EOF:
    case GPG_ERR_INV_LENGTH:
    case GPG_ERR_CIPHER_ALGO:
    case GPG_ERR_UNKNOWN_PACKET:
        return Outcome::Damaged;
    default:
        return Outcome::Failed;
    }
}

// Where the first packet's body begins, or -1 when the bytes do not begin with a packet header
// (RFC 4880 4.2: old format with its length type in the low bits, new format with one, two or
// five length bytes).
qsizetype bodyOffset(const QByteArray &bytes)
{
    if (bytes.isEmpty() || !(bytes.front() & 0x80))
        return -1; // every packet header has its top bit set; ASCII text and RTF do not
    const auto header = static_cast<unsigned char>(bytes.front());
    if (!(header & 0x40)) {
        constexpr qsizetype lengthBytes[] = {1, 2, 4, 0};
        return 1 + lengthBytes[header & 0x03];
    }
    if (bytes.size() < 2)
        return -1;
    const auto length = static_cast<unsigned char>(bytes.at(1));
    return length < 192 ? 2 : length < 224 ? 3 : length == 255 ? 6 : 2;
}

// Whether the first bytes read as UTF-8 text: valid, and no control characters but line ends and
// tabs. A packet's version and algorithm bytes are control characters, and encrypted bytes are
// not valid UTF-8 for long. The last character read may be cut short.
bool looksLikeText(const QByteArray &bytes)
{
    QByteArrayView start(bytes.constData(), std::min<qsizetype>(bytes.size(), 64));
    for (int cut = 0; !start.isValidUtf8(); ++cut) {
        if (cut == 3 || start.size() <= 1)
            return false;
        start.chop(1);
    }
    return std::none_of(start.begin(), start.end(), [](char c) {
        const auto byte = static_cast<unsigned char>(c);
        return (byte < 0x20 && c != '\n' && c != '\r' && c != '\t') || byte == 0x7f;
    });
}

// One gpg call on input with passphrase: step runs it and says how it went, with gpg's error.
template <typename Step> Result run(const QByteArray &input, const Secret &passphrase, Step step)
{
    PassphraseFeed feed(passphrase);
    QString problem;
    const auto context = openContext(&feed, &problem);
    if (!context)
        return {Outcome::Failed, {}, problem};
    // Read in place: the plain bytes are never copied into a file or a buffer of gpgme's.
    const GpgME::Data in(input.constData(), size_t(input.size()), false);
    GpgME::Data out;
    const auto [outcome, error] = step(*context, in, out, feed);
    if (outcome == Outcome::Done)
        return {Outcome::Done, bytesOf(out), {}};
    qCDebug(lcOpenPgp) << "gpg failed:" << error.code() << error.asString() << "passphrase asked"
                       << feed.asked();
    return {outcome, {}, QString::fromLocal8Bit(error.asString())};
}

} // namespace

Result encrypt(const QByteArray &plain, const Secret &passphrase)
{
    if (!passphraseUsable(passphrase))
        return {Outcome::Failed, {}, QStringLiteral("an empty passphrase, or one with a line break")};
    return run(plain, passphrase,
               [](GpgME::Context &context, const GpgME::Data &in, GpgME::Data &out, const PassphraseFeed &) {
                   const GpgME::Error error = context.encrypt({}, in, out, GpgME::Context::Symmetric).error();
                   return std::pair(error ? Outcome::Failed : Outcome::Done, error);
               });
}

Result decrypt(const QByteArray &message, const Secret &passphrase)
{
    if (message.isEmpty())
        return {Outcome::Damaged, {}, QStringLiteral("empty file")};
    return run(
        message, passphrase,
        [](GpgME::Context &context, const GpgME::Data &in, GpgME::Data &out, const PassphraseFeed &feed) {
            const GpgME::DecryptionResult result = context.decrypt(in, out);
            const GpgME::Error error = result.error();
            return std::pair(error ? decryptOutcome(error, result, feed) : Outcome::Done, error);
        });
}

bool looksEncrypted(const QByteArray &bytes)
{
    if (QByteArrayView(bytes).trimmed().startsWith("-----BEGIN PGP MESSAGE-----"))
        return true;
    const qsizetype body = bodyOffset(bytes);
    if (body < 0 || body >= bytes.size() || looksLikeText(bytes))
        return false;
    const auto header = static_cast<unsigned char>(bytes.front());
    const int tag = (header & 0x40) ? (header & 0x3f) : ((header >> 2) & 0x0f);
    const auto first = static_cast<unsigned char>(bytes.at(body));
    // A message begins with a session key packet (public-key 1, passphrase 3), the encrypted data
    // itself (legacy 9, protected 18, AEAD 20) or compressed data (8); the first byte of most is a
    // version or an algorithm number, which tells them from text that happens to begin alike.
    switch (tag) {
    case 1:
        return first == 3 || first == 6;
    case 3:
        return first >= 4 && first <= 6;
    case 8:
        return first <= 3;
    case 18:
        return first == 1 || first == 2;
    case 20:
        return first == 1;
    case 9:
        return true;
    default:
        return false;
    }
}

QString describe(Outcome outcome)
{
    switch (outcome) {
    case Outcome::Done:
        return {};
    case Outcome::WrongPassphrase:
        return QStringLiteral("The passphrase is wrong.");
    case Outcome::NotForPassphrase:
        return QStringLiteral(
            "This file is encrypted to a key, not with a passphrase: Quillbox Plus cannot open it.");
    case Outcome::Damaged:
        return QStringLiteral("This file is damaged or cut short: it cannot be decrypted.");
    case Outcome::Failed:
        return QStringLiteral("GnuPG could not be started.");
    }
    return {};
}

QString describe(const Result &result)
{
    if (result.outcome == Outcome::Failed && !result.detail.isEmpty())
        return QStringLiteral("GnuPG could not be started: %1").arg(result.detail);
    return describe(result.outcome);
}

} // namespace OpenPgp
