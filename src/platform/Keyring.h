#pragma once

#include "Secret.h"

#include <QObject>
#include <QString>

#include <functional>
#include <optional>

// The desktop's keyring (the Secret Service: GNOME Keyring, KWallet), where the user may ask us
// to keep a locked note's passphrase. Everything is asynchronous: the keyring may ask the user
// to unlock it first. Entries are named by a key of ours (a note file's path).
class Keyring : public QObject
{
    Q_OBJECT
public:
    using Done = std::function<void(const QString &error)>; // error empty: done
    using Fetched = std::function<void(std::optional<Secret> secret, const QString &error)>;

    using QObject::QObject;
    ~Keyring() override = default;

    virtual void store(const QString &key, const Secret &secret, Done done) = 0;
    // Nothing and no error when the keyring holds no entry for key.
    virtual void fetch(const QString &key, Fetched done) = 0;
    virtual void forget(const QString &key, Done done) = 0;

    // How an error begins when there is no keyring to ask (no session bus, no Secret Service).
    static QString notAvailableText() { return QStringLiteral("The desktop's keyring is not available."); }
};
