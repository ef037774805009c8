#pragma once
// The desktop's secret store, where passwords are kept outside the settings file:
// one text under a key, read, written and forgotten. The real store is the
// desktop's keyring (keychain_secret_store.h); a store in memory serves tests and
// machines without one.
#include "core/result.h"

#include <map>
#include <mutex>
#include <optional>
#include <string>

namespace platform {

class SecretStore {
public:
    virtual ~SecretStore() = default;

    // The text kept under key; nullopt when there is none.
    virtual core::Result<std::optional<std::string>> Read(const std::string& key) = 0;
    // Keeps secret under key, replacing what was there.
    virtual core::Result<void> Write(const std::string& key, const std::string& secret) = 0;
    // Removes key; a key that is not there is no error.
    virtual core::Result<void> Forget(const std::string& key) = 0;

    // True when the calls above answer without waiting for another process: the
    // window then asks on its own thread, else on a worker thread. A store that
    // waits never does so on a thread that runs a window.
    virtual bool AnswersAtOnce() const { return false; }
};

// Secrets kept in this process only; safe to use from several threads.
class MemorySecretStore final : public SecretStore {
public:
    core::Result<std::optional<std::string>> Read(const std::string& key) override;
    core::Result<void> Write(const std::string& key, const std::string& secret) override;
    core::Result<void> Forget(const std::string& key) override;
    bool AnswersAtOnce() const override { return true; }

    // How many writes it took, for tests that must see a password kept once.
    int Writes() const;

private:
    mutable std::mutex mutex_;
    std::map<std::string, std::string> secrets_;
    int writes_ = 0;
};

} // namespace platform
