#include "SecretServiceKeyring.h"

#include <QDBusConnection>
#include <QLoggingCategory>
#include <QTimer>

#include <qt6keychain/keychain.h>

#include <memory>

Q_LOGGING_CATEGORY(lcKeyring, "quillbox.platform.keyring")

namespace {

const QString kService = QStringLiteral("Quillbox Plus");

QString failureText(QKeychain::Error error, const QString &detail)
{
    const QString reason = error == QKeychain::AccessDenied || error == QKeychain::AccessDeniedByUser
                               ? QStringLiteral("The desktop's keyring refused access.")
                               : Keyring::notAvailableText();
    return detail.isEmpty() ? reason : reason + QLatin1Char(' ') + detail;
}

// Without a session bus libsecret may launch a bus of its own for the display, where no keyring
// waits either; every keyring needs the session bus, so its absence is told at once. The answer
// still comes from the event loop, as a keyring's would.
bool answeredWithoutBus(QObject *context, const std::function<void(const QString &)> &fail)
{
    if (QDBusConnection::sessionBus().isConnected())
        return false;
    QTimer::singleShot(0, context, [fail] {
        fail(failureText(QKeychain::NoBackendAvailable, QStringLiteral("There is no session bus.")));
    });
    return true;
}

// Starts a job that deletes itself once finished; `finished` runs unless this keyring is gone.
template <typename Job, typename Finished>
void run(Job *job, const QString &key, QObject *context, Finished finished)
{
    job->setAutoDelete(true);
    job->setKey(key);
    QObject::connect(job, &QKeychain::Job::finished, context, [job, finished] { finished(job); });
    job->start();
}

} // namespace

void SecretServiceKeyring::store(const QString &key, const Secret &secret, Done done)
{
    if (answeredWithoutBus(this, done))
        return;
    // The job reads the passphrase from a wiped buffer of ours, no copy, whenever its turn comes
    // (QtKeychain runs one job at a time), even after this keyring is gone. So the buffer is tied
    // to the job: a connection without a receiver lives until the job is deleted, after the job
    // has let go of the bytes.
    auto kept = std::make_shared<Secret>(secret);
    auto *job = new QKeychain::WritePasswordJob(kService);
    job->setBinaryData(QByteArray::fromRawData(kept->data(), qsizetype(kept->size())));
    QObject::connect(job, &QObject::destroyed, [kept] {});
    run(job, key, this, [done](QKeychain::WritePasswordJob *finished) {
        if (finished->error() == QKeychain::NoError)
            return done(QString());
        qCInfo(lcKeyring) << "storing failed:" << finished->error() << finished->errorString();
        done(failureText(finished->error(), finished->errorString()));
    });
}

void SecretServiceKeyring::fetch(const QString &key, Fetched done)
{
    if (answeredWithoutBus(this, [done](const QString &error) { done(std::nullopt, error); }))
        return;
    run(new QKeychain::ReadPasswordJob(kService), key, this, [done](QKeychain::ReadPasswordJob *job) {
        switch (job->error()) {
        case QKeychain::NoError: {
            QByteArray bytes = job->binaryData();
            Secret secret(bytes.constData(), size_t(bytes.size()));
            Secret::wipe(bytes);
            return done(std::move(secret), QString());
        }
        case QKeychain::EntryNotFound:
            return done(std::nullopt, QString());
        default:
            qCInfo(lcKeyring) << "fetching failed:" << job->error() << job->errorString();
            return done(std::nullopt, failureText(job->error(), job->errorString()));
        }
    });
}

void SecretServiceKeyring::forget(const QString &key, Done done)
{
    if (answeredWithoutBus(this, done))
        return;
    run(new QKeychain::DeletePasswordJob(kService), key, this, [done](QKeychain::DeletePasswordJob *job) {
        // Nothing to forget is forgotten all the same.
        if (job->error() == QKeychain::NoError || job->error() == QKeychain::EntryNotFound)
            return done(QString());
        qCInfo(lcKeyring) << "forgetting failed:" << job->error() << job->errorString();
        done(failureText(job->error(), job->errorString()));
    });
}
