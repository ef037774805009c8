#pragma once
// The desktop's keyring as the secret store, through QtKeychain (the Secret
// Service through libsecret on GNOME and most desktops, KWallet on Plasma).
//
// QtKeychain's jobs are asynchronous and need an event loop; their queue belongs
// to the thread that starts the first job. Every store therefore hands its jobs
// to one thread of its own for the whole process and waits for the answer, so a
// call blocks its caller (for at most `timeoutMs`) and must not be made on the
// window's thread.
#include "platform/secret_store.h"

#include <QString>

namespace platform {

class KeychainSecretStore final : public SecretStore {
public:
    // service: the name the entries are filed under (the product's name).
    // timeoutMs: how long a call waits; a keyring that asks the person to unlock
    // it needs a while.
    explicit KeychainSecretStore(QString service, int timeoutMs = 120000);

    core::Result<std::optional<std::string>> Read(const std::string& key) override;
    core::Result<void> Write(const std::string& key, const std::string& secret) override;
    core::Result<void> Forget(const std::string& key) override;

private:
    QString service_;
    int timeoutMs_;
};

} // namespace platform
