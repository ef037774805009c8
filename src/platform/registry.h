#pragma once
// The current user's typed key-value store: what the registry of the current user is
// elsewhere. One UTF-8 text file in the registry-export syntax; every write takes a
// lock, re-reads the file, applies the change and replaces the file atomically.
#include <QByteArray>
#include <QString>

#include <cstdint>
#include <optional>
#include <stdexcept>
#include <utility>
#include <vector>

namespace platform {

// The registry error of the form framework: "Invalid data type for '%s'",
// "Failed to get data for '%s'", "Failed to set data for '%s'".
class RegistryError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

enum class ValueType { Dword, String, Binary };

struct RegistryValue {
    ValueType type = ValueType::Dword;
    std::uint32_t dword = 0;
    QString text;
    QByteArray binary;

    static RegistryValue Dword(std::uint32_t v) { return {ValueType::Dword, v, {}, {}}; }
    static RegistryValue String(const QString& s) { return {ValueType::String, 0, s, {}}; }
    static RegistryValue Binary(const QByteArray& b) { return {ValueType::Binary, 0, {}, b}; }
    bool operator==(const RegistryValue&) const = default;
};

// Keys are paths below HKEY_CURRENT_USER written with backslashes,
// for example "\Software\Ambience\Ambience\Options"; a leading backslash is optional.
class Registry {
public:
    explicit Registry(QString filePath);

    // $XDG_CONFIG_HOME/Ambience/registry.reg (XDG_CONFIG_HOME defaults to ~/.config).
    static QString DefaultPath();
    // The store of the current user, at DefaultPath() as it was at first use.
    static Registry& CurrentUser();

    const QString& FilePath() const { return path_; }

    bool KeyExists(const QString& key) const;
    std::optional<RegistryValue> Value(const QString& key, const QString& name) const;

    // Typed reads: nullopt when the key or value is missing; RegistryError
    // "Invalid data type for '<name>'" when the stored value has another type.
    std::optional<std::int32_t> ReadInteger(const QString& key, const QString& name) const;
    std::optional<QString> ReadString(const QString& key, const QString& name) const;
    std::optional<QByteArray> ReadBinary(const QString& key, const QString& name) const;

    // Writes create missing keys. Failure raises "Failed to set data for '<name>'".
    void WriteInteger(const QString& key, const QString& name, std::int32_t value);
    void WriteString(const QString& key, const QString& name, const QString& value);
    void WriteBinary(const QString& key, const QString& name, const QByteArray& value);
    // Several values of one key in one locked update, written in the given order.
    void WriteValues(const QString& key, const std::vector<std::pair<QString, RegistryValue>>& values);
    // A missing value is no error. Returns whether a value was removed.
    bool DeleteValue(const QString& key, const QString& name);

    // When the file was damaged at the last read: the path of the dated backup
    // made beside it, so the user can be told once; empty otherwise.
    QString TakeDamageNotice();

private:
    QString path_;
    QString damageNotice_;
};

} // namespace platform
