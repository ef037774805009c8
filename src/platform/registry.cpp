#include "platform/registry.h"

#include "platform/atomic_file.h"
#include "platform/folders.h"
#include "platform/registry_file.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QtEndian>

#include <cerrno>
#include <cstring>
#include <map>
#include <mutex>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace platform {
namespace {

// Far larger than any settings file. A bigger one is not read, nor replaced: reads
// find nothing and writes fail, so whatever it is stays as it is.
constexpr qint64 kMaxFileSize = 32 * 1024 * 1024;

QString InvalidType(const QString& name) { return QStringLiteral("Invalid data type for '%1'").arg(name); }
QString GetFailed(const QString& name) { return QStringLiteral("Failed to get data for '%1'").arg(name); }
QString SetFailed(const QString& name) { return QStringLiteral("Failed to set data for '%1'").arg(name); }

QString FullKey(const QString& key)
{
    const QString below = NormalizeKeyPath(key);
    const QString hive = QLatin1String(Registry::kHive);
    return below.isEmpty() ? hive : hive + QLatin1Char('\\') + below;
}

QString Errno(const QString& what)
{
    return what + QStringLiteral(": ") + QString::fromLocal8Bit(std::strerror(errno));
}

// What identifies one version of the file: a rename gives a new inode, an edit in
// place a new change time.
QByteArray Stamp(const struct stat& st)
{
    QByteArray s;
    for (long long v : {static_cast<long long>(st.st_dev), static_cast<long long>(st.st_ino),
                        static_cast<long long>(st.st_size), static_cast<long long>(st.st_mtim.tv_sec),
                        static_cast<long long>(st.st_mtim.tv_nsec), static_cast<long long>(st.st_ctim.tv_sec),
                        static_cast<long long>(st.st_ctim.tv_nsec)})
        s += QByteArray::number(v) + ':';
    return s;
}

struct FileRead {
    bool exists = false;
    bool ok = false;
    QByteArray bytes;
    QByteArray stamp;
    QString error;
};

FileRead ReadWholeFile(const QString& path)
{
    FileRead r;
    const QByteArray name = QFile::encodeName(path);
    const int fd = ::open(name.constData(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        r.ok = errno == ENOENT;
        if (!r.ok) {
            r.exists = true;
            r.error = Errno(QStringLiteral("cannot read ") + path);
        }
        return r;
    }
    r.exists = true;
    struct stat st {};
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        r.error = QStringLiteral("%1 is not a readable file").arg(path);
        ::close(fd);
        return r;
    }
    r.stamp = Stamp(st);
    char buffer[65536];
    for (;;) {
        const ssize_t n = ::read(fd, buffer, sizeof buffer);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            r.error = Errno(QStringLiteral("cannot read ") + path);
            ::close(fd);
            return r;
        }
        if (n == 0)
            break;
        if (r.bytes.size() + n > kMaxFileSize) {
            r.error = QStringLiteral("%1 is too large").arg(path);
            ::close(fd);
            return r;
        }
        r.bytes.append(buffer, n);
    }
    ::close(fd);
    r.ok = true;
    return r;
}

// An exclusive flock on a file beside the store, held for the life of the object.
// The kernel drops it when the process dies, so a crashed writer never blocks others.
class FileLock {
public:
    explicit FileLock(const QString& path)
    {
        fd_ = ::open(QFile::encodeName(path).constData(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
        if (fd_ < 0) {
            error_ = Errno(QStringLiteral("cannot open ") + path);
            return;
        }
        while (::flock(fd_, LOCK_EX) != 0) {
            if (errno != EINTR) {
                error_ = Errno(QStringLiteral("cannot lock ") + path);
                ::close(fd_);
                fd_ = -1;
                return;
            }
        }
    }
    ~FileLock()
    {
        if (fd_ >= 0)
            ::close(fd_);
    }
    FileLock(const FileLock&) = delete;
    FileLock& operator=(const FileLock&) = delete;
    bool Ok() const { return fd_ >= 0; }
    const QString& Error() const { return error_; }

private:
    int fd_ = -1;
    QString error_;
};

// Keeps a copy of a damaged file beside it, named after the local time, once for
// each distinct content: the same damage seen again (by this or another process)
// yields the backup already made. Empty with *error set when no copy could be made.
QString BackUpDamagedFile(const QString& path, const QByteArray& bytes, QString* error)
{
    const QFileInfo info(path);
    QDir folder = info.absoluteDir();
    const QString prefix = info.fileName() + QStringLiteral(".damaged-");
    const QStringList existing = folder.entryList({prefix + QLatin1Char('*')}, QDir::Files, QDir::Name);
    for (const QString& name : existing) {

        QFile file(folder.filePath(name));
        if (file.size() == bytes.size() && file.open(QIODevice::ReadOnly) && file.readAll() == bytes)
            return file.fileName();
    }
    const QString stamp = QDateTime::currentDateTime().toString(QStringLiteral("yyyyMMdd-HHmmss"));
    QString candidate = folder.filePath(prefix + stamp);
    for (int n = 2; QFileInfo::exists(candidate); ++n)
        candidate = folder.filePath(prefix + stamp + QLatin1Char('-') + QString::number(n));
    if (const core::Result<void> written = ReplaceFileContents(candidate, bytes, 0600); !written.ok()) {
        if (error)
            *error = QString::fromStdString(written.error().text);
        return {};
    }
    return candidate;
}

// Where a symbolic link at path points; empty when path is no link.
QString LinkTarget(const QString& path)
{
    const QFileInfo info(path);
    if (!info.isSymLink())
        return {};
    const QString target = info.canonicalFilePath();
    return target.isEmpty() ? info.symLinkTarget() : target;
}

// Why a file behind a link is neither backed up nor replaced: the link was made by
// the user (a dot-file kept elsewhere), and what it points at now is something else
// of theirs, which a clean settings file written through the link would destroy.
QString LinkedFileNotSettings(const QString& target)
{
    return QStringLiteral("it is a link to %1, which does not hold settings; that file is left as it is").arg(target);
}

} // namespace

Registry::Registry(QString filePath) : path_(std::move(filePath)) {}
Registry::~Registry() = default;

QString Registry::DefaultPath() { return ConfigHome() + QStringLiteral("Ambience/registry.reg"); }

Registry& Registry::CurrentUser()
{
    // The path is taken from the environment at each call, never fixed at the first:
    // a process that points XDG_CONFIG_HOME elsewhere (each test of a test program)
    // gets the store of that folder. A store once handed out stays valid for the
    // life of the process, since callers keep references to it.
    static std::mutex guard;
    static std::map<QString, std::unique_ptr<Registry>> stores;
    const QString path = DefaultPath();
    const std::lock_guard<std::mutex> lock(guard);
    std::unique_ptr<Registry>& store = stores[path];
    if (!store)
        store = std::make_unique<Registry>(path);
    return *store;
}

std::unique_ptr<RegistryDocument> Registry::Load(const QByteArray& bytes) const
{
    RegistryParseResult parsed = ParseRegistryText(bytes);
    if (parsed.Damaged() && !LinkTarget(path_).isEmpty()) {
        // Not ours to back up or to mend: writes refuse it (see Update), and the
        // refusal is what the user is told.
        return std::make_unique<RegistryDocument>(std::move(parsed.document));
    }
    if (parsed.Damaged()) {
        qWarning("Ambience: %s is damaged:\n  %s", qPrintable(path_),
                 qPrintable(parsed.problems.join(QStringLiteral("\n  "))));
        QString why;
        QString backup;
        {
            FileLock lock(path_ + QStringLiteral(".lock"));
            backup = BackUpDamagedFile(path_, bytes, &why);
        }
        if (backup.isEmpty()) {
            qWarning("Ambience: no backup of the damaged file could be made: %s", qPrintable(why));
        } else if (!noticed_.contains(backup)) {
            noticed_.insert(backup);
            damageNotice_ = backup;
        }
    }
    return std::make_unique<RegistryDocument>(std::move(parsed.document));
}

const RegistryDocument& Registry::Current() const
{
    struct stat st {};
    const QByteArray stamp = ::stat(QFile::encodeName(path_).constData(), &st) == 0 ? Stamp(st) : QByteArray("absent");
    if (cache_ && stamp == cacheStamp_)
        return *cache_;
    const FileRead r = ReadWholeFile(path_);
    if (!r.exists) {
        readProblem_.clear();
        cache_ = std::make_unique<RegistryDocument>();
        cacheStamp_ = "absent";
    } else if (!r.ok) {
        // Unreadable (permissions, a folder in its place): nothing is known, and
        // writes refuse to replace it (see Update). Try again at the next read, but
        // say so once: one load of the settings reads a dozen values.
        if (r.error != readProblem_) {
            readProblem_ = r.error;
            qWarning("Ambience: %s", qPrintable(r.error));
        }
        cache_ = std::make_unique<RegistryDocument>();
        cacheStamp_.clear();
    } else {
        readProblem_.clear();
        cache_ = Load(r.bytes);
        cacheStamp_ = r.stamp;
    }
    return *cache_;
}

bool Registry::Update(const QString& name, const std::function<bool(RegistryDocument&)>& change)
{
    const auto fail = [&](const QString& why) {
        throw RegistryError(SetFailed(name).toStdString(), QStringLiteral("%1: %2").arg(path_, why));
    };
    if (!QDir().mkpath(QFileInfo(path_).absolutePath()))
        fail(QStringLiteral("cannot create its folder"));
    FileLock lock(path_ + QStringLiteral(".lock"));
    if (!lock.Ok())
        fail(lock.Error());

    // Re-read under the lock: another process may have written since our last read.
    const FileRead r = ReadWholeFile(path_);
    if (!r.ok)
        fail(r.error); // replacing a file we cannot read would lose what it holds
    RegistryDocument document;
    if (r.exists) {
        RegistryParseResult parsed = ParseRegistryText(r.bytes);
        if (parsed.Damaged()) {
            const QString target = LinkTarget(path_);
            if (!target.isEmpty())
                fail(LinkedFileNotSettings(target));
            // The clean file written below drops what could not be read; keep the
            // original first, or do not write at all.
            QString why;
            const QString backup = BackUpDamagedFile(path_, r.bytes, &why);
            if (backup.isEmpty())
                fail(QStringLiteral("the file is damaged and no backup could be made: ") + why);
            if (!noticed_.contains(backup)) {
                noticed_.insert(backup);
                damageNotice_ = backup;
            }
        }
        document = std::move(parsed.document);
    }
    const bool result = change(document);
    const QByteArray text = SerializeRegistry(document);
    const bool needed = r.exists ? text != r.bytes : !document.keys.empty();
    if (needed) {
        if (const core::Result<void> written = ReplaceFileContents(path_, text, 0600); !written.ok())
            fail(QString::fromStdString(written.error().text));
    }
    struct stat st {};
    if (::stat(QFile::encodeName(path_).constData(), &st) == 0) {
        cache_ = std::make_unique<RegistryDocument>(std::move(document));
        cacheStamp_ = Stamp(st);
    } else {
        cache_.reset();
    }
    return result;
}

bool Registry::KeyExists(const QString& key) const { return Current().HasKey(FullKey(key)); }

std::optional<RegistryValue> Registry::Value(const QString& key, const QString& name) const
{
    if (const RegistryValue* value = Current().FindValue(FullKey(key), name))
        return *value;
    return std::nullopt;
}

std::optional<std::int32_t> Registry::ReadInteger(const QString& key, const QString& name) const
{
    const auto value = Value(key, name);
    if (!value)
        return std::nullopt;
    if (value->type != ValueType::Dword)
        throw RegistryError(InvalidType(name).toStdString());
    return static_cast<std::int32_t>(value->dword);
}

std::optional<QString> Registry::ReadString(const QString& key, const QString& name) const
{
    const auto value = Value(key, name);
    if (!value)
        return std::nullopt;
    if (value->type != ValueType::String)
        throw RegistryError(InvalidType(name).toStdString());
    return value->text;
}

std::optional<QByteArray> Registry::ReadBinary(const QString& key, const QString& name) const
{
    const auto value = Value(key, name);
    if (!value)
        return std::nullopt;
    if (value->type != ValueType::Binary)
        throw RegistryError(InvalidType(name).toStdString());
    return value->binary;
}

std::optional<double> Registry::ReadFloat(const QString& key, const QString& name) const
{
    const auto value = Value(key, name);
    if (!value)
        return std::nullopt;
    if (value->type != ValueType::Binary || value->binary.size() < 8)
        throw RegistryError(InvalidType(name).toStdString());
    if (value->binary.size() > 8)
        throw RegistryError(GetFailed(name).toStdString());
    return qFromLittleEndian<double>(value->binary.constData());
}

void Registry::WriteInteger(const QString& key, const QString& name, std::int32_t value)
{
    WriteValues(key, {{name, RegistryValue::Dword(static_cast<std::uint32_t>(value))}});
}

void Registry::WriteString(const QString& key, const QString& name, const QString& value)
{
    WriteValues(key, {{name, RegistryValue::String(value)}});
}

void Registry::WriteBinary(const QString& key, const QString& name, const QByteArray& value)
{
    WriteValues(key, {{name, RegistryValue::Binary(value)}});
}

void Registry::WriteFloat(const QString& key, const QString& name, double value)
{
    QByteArray bytes(8, '\0');
    qToLittleEndian<double>(value, bytes.data());
    WriteBinary(key, name, bytes);
}

void Registry::WriteValues(const QString& key, const std::vector<std::pair<QString, RegistryValue>>& values)
{
    const QString full = FullKey(key);
    const QString first = values.empty() ? QString() : values.front().first;
    if (!IsWritableName(full))
        throw RegistryError(SetFailed(first).toStdString());
    for (const auto& [name, value] : values) {
        if (!IsWritableName(name))
            throw RegistryError(SetFailed(name).toStdString());
    }
    Update(first, [&](RegistryDocument& document) {
        document.EnsureKey(full);
        for (const auto& [name, value] : values)
            document.SetValue(full, name, value);
        return true;
    });
}

void Registry::UpdateValues(const QString& key, const QString& errorName,
                            const std::function<ValueList(const StoredValue& stored)>& change)
{
    const QString full = FullKey(key);
    if (!IsWritableName(full))
        throw RegistryError(SetFailed(errorName).toStdString());
    QString failedName;
    Update(errorName, [&](RegistryDocument& document) {
        const ValueList values = change([&](const QString& name) { return document.FindValue(full, name); });
        for (const auto& [name, value] : values) {
            if (!IsWritableName(name)) {
                failedName = name;
                return false;
            }
        }
        if (values.empty())
            return true;
        document.EnsureKey(full);
        for (const auto& [name, value] : values)
            document.SetValue(full, name, value);
        return true;
    });
    if (!failedName.isEmpty())
        throw RegistryError(SetFailed(failedName).toStdString());
}

bool Registry::DeleteValue(const QString& key, const QString& name)
{
    const QString full = FullKey(key);
    if (!Current().FindValue(full, name))
        return false;
    return Update(name, [&](RegistryDocument& document) { return document.RemoveValue(full, name); });
}

QString Registry::TakeDamageNotice()
{
    // A damaged file is only noticed when it is read.
    Current();
    return std::exchange(damageNotice_, QString());
}

} // namespace platform
