#pragma once

#include "../Keyring.h"

// The desktop's keyring through QtKeychain, which speaks to the Secret Service (GNOME Keyring,
// KWallet) over the session bus. Entries live under the service "Quillbox Plus". Without a
// session bus or a Secret Service every call answers with an error, never a hang.
class SecretServiceKeyring final : public Keyring
{
    Q_OBJECT
public:
    using Keyring::Keyring;

    void store(const QString &key, const Secret &secret, Done done) override;
    void fetch(const QString &key, Fetched done) override;
    void forget(const QString &key, Done done) override;
};
