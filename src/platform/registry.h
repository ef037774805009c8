#pragma once
// The current user's typed key-value store: what the registry of the current user is
// elsewhere. One UTF-8 text file in the registry-export syntax; every write takes a
// lock, re-reads the file, applies the change and replaces the file atomically.
#include <QByteArray>
#include <QSet>
#include <QString>

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <stdexcept>
#include <utility>
#include <vector>

namespace platform {

// The registry error of the form framework: "Invalid data type for '%s'",
// "Failed to get data for '%s'", "Failed to set data for '%s'".
// what() is the framework's message ("Failed to set data for 'AutoChangeEnabled'");
// Cause() says what really went wrong, for the user ("cannot create
// /x/registry.reg.lock: Read-only file system"), empty where what() says it all.
class RegistryError : public std::runtime_error {
public:
    explicit RegistryError(const std::string& what, QString cause = {})
        : std::runtime_error(what), cause_(std::move(cause)) {}
    const QString& Cause() const { return cause_; }

private:
    QString cause_;
};

// Raw: any other registry type (hex(N): in the file), kept byte for byte so a
// hand-made entry survives our writes; typed reads refuse it.
enum class ValueType { Dword, String, Binary, Raw };

struct RegistryValue {
    ValueType type = ValueType::Dword;
    std::uint32_t dword = 0;
    QString text;
    QByteArray binary;      // Binary and Raw
    std::uint32_t rawType = 0; // Raw: the registry type number

    static RegistryValue Dword(std::uint32_t v) { return {ValueType::Dword, v, {}, {}, 0}; }
    static RegistryValue String(const QString& s) { return {ValueType::String, 0, s, {}, 0}; }
    static RegistryValue Binary(const QByteArray& b) { return {ValueType::Binary, 0, {}, b, 0}; }
    static RegistryValue Raw(std::uint32_t type, const QByteArray& b) { return {ValueType::Raw, 0, {}, b, type}; }
    bool operator==(const RegistryValue&) const = default;
};

class RegistryDocument;

// The file may be a symbolic link (a dot-file kept elsewhere): writes go to its
// target. A target that does not read as a settings file is never backed up nor
// written; writes then fail, saying so, and the program works from memory.
//
// Keys are paths below HKEY_CURRENT_USER written with backslashes,
// for example "\Software\Ambience\Ambience\Options"; a leading backslash is optional.
class Registry {
public:
    explicit Registry(QString filePath);
    ~Registry();
    Registry(const Registry&) = delete;
    Registry& operator=(const Registry&) = delete;

    // $XDG_CONFIG_HOME/Ambience/registry.reg (XDG_CONFIG_HOME defaults to ~/.config).
    static QString DefaultPath();
    // The store of the current user, at DefaultPath() as it is now: a change of
    // XDG_CONFIG_HOME gives another store. Each lives as long as the process.
    static Registry& CurrentUser();

    const QString& FilePath() const { return path_; }

    bool KeyExists(const QString& key) const;
    std::optional<RegistryValue> Value(const QString& key, const QString& name) const;

    // Typed reads: nullopt when the key or value is missing; RegistryError
    // "Invalid data type for '<name>'" when the stored value has another type.
    std::optional<std::int32_t> ReadInteger(const QString& key, const QString& name) const;
    std::optional<QString> ReadString(const QString& key, const QString& name) const;
    std::optional<QByteArray> ReadBinary(const QString& key, const QString& name) const;
    // A 64-bit float kept as exactly 8 bytes of binary data, little-endian: fewer bytes
    // or another type raise "Invalid data type for '<name>'", more bytes
    // "Failed to get data for '<name>'".
    std::optional<double> ReadFloat(const QString& key, const QString& name) const;

    // Writes create missing keys. Failure raises "Failed to set data for '<name>'".
    void WriteInteger(const QString& key, const QString& name, std::int32_t value);
    void WriteString(const QString& key, const QString& name, const QString& value);
    void WriteBinary(const QString& key, const QString& name, const QByteArray& value);
    void WriteFloat(const QString& key, const QString& name, double value);
    // Several values of one key in one locked update, written in the given order.
    void WriteValues(const QString& key, const std::vector<std::pair<QString, RegistryValue>>& values);
    // The values of one key as the file holds them now, for UpdateValues.
    using StoredValue = std::function<const RegistryValue*(const QString& name)>;
    using ValueList = std::vector<std::pair<QString, RegistryValue>>;
    // Read, decide and write in one locked update: change sees the key's values as
    // the file holds them after re-reading under the lock, and returns the values
    // to write (none: nothing is written). Fails like WriteValues, naming
    // errorName in its message.
    void UpdateValues(const QString& key, const QString& errorName,
                      const std::function<ValueList(const StoredValue& stored)>& change);
    // A missing value is no error. Returns whether a value was removed.
    bool DeleteValue(const QString& key, const QString& name);

    // When the file was found damaged: the path of the dated backup made beside it,
    // so the user can be told once; empty otherwise (and after the first call).
    QString TakeDamageNotice();

    // Keys in the file carry the hive; the API's paths are below this one.
    static constexpr const char* kHive = "HKEY_CURRENT_USER";

private:
    // The parsed file as it is now; re-read only when the file was replaced or changed.
    const RegistryDocument& Current() const;
    // Lock, re-read, apply change, replace the file. Raises "Failed to set data for
    // '<name>'" when the file cannot be written; returns what change returned.
    bool Update(const QString& name, const std::function<bool(RegistryDocument&)>& change);
    std::unique_ptr<RegistryDocument> Load(const QByteArray& bytes) const;

    QString path_;
    mutable QString damageNotice_;
    mutable QSet<QString> noticed_; // backups already reported
    mutable QString readProblem_;   // why the file could not be read, as last said
    mutable std::unique_ptr<RegistryDocument> cache_;
    mutable QByteArray cacheStamp_; // device, inode, size and change time of the cached file
};

} // namespace platform
