#include "platform/secret_store.h"

namespace platform {

core::Result<std::optional<std::string>> MemorySecretStore::Read(const std::string& key)
{
    const std::lock_guard lock(mutex_);
    const auto found = secrets_.find(key);
    if (found == secrets_.end())
        return std::optional<std::string>();
    return std::optional<std::string>(found->second);
}

core::Result<void> MemorySecretStore::Write(const std::string& key, const std::string& secret)
{
    const std::lock_guard lock(mutex_);
    secrets_[key] = secret;
    ++writes_;
    return core::Ok();
}

core::Result<void> MemorySecretStore::Forget(const std::string& key)
{
    const std::lock_guard lock(mutex_);
    secrets_.erase(key);
    return core::Ok();
}

int MemorySecretStore::Writes() const
{
    const std::lock_guard lock(mutex_);
    return writes_;
}

} // namespace platform
