#pragma once
// Sets or clears environment variables for the life of the object and puts the
// old values back afterwards.
#include <QByteArray>

#include <map>
#include <optional>

class EnvGuard {
public:
    EnvGuard() = default;
    EnvGuard(const EnvGuard&) = delete;
    EnvGuard& operator=(const EnvGuard&) = delete;
    ~EnvGuard()
    {
        for (const auto& [name, value] : saved_) {
            if (value)
                qputenv(name.constData(), *value);
            else
                qunsetenv(name.constData());
        }
    }
    void Set(const char* name, const QByteArray& value)
    {
        Save(name);
        qputenv(name, value);
    }
    void Unset(const char* name)
    {
        Save(name);
        qunsetenv(name);
    }

private:
    void Save(const char* name)
    {
        if (!saved_.count(name))
            saved_[name] = qEnvironmentVariableIsSet(name) ? std::optional<QByteArray>(qgetenv(name)) : std::nullopt;
    }
    std::map<QByteArray, std::optional<QByteArray>> saved_;
};
