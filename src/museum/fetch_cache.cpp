#include "museum/fetch_cache.h"

#include <QCryptographicHash>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <cstring>
#include "core/temporary_file.h"

#include <QDirIterator>

#include <chrono>
#include <thread>

#include <sys/file.h>
#include <unistd.h>

namespace museum {
namespace {

constexpr qint64 kAnswerMaxAgeSeconds = 24 * 60 * 60;

QString Hash(const QByteArray& text, int length)
{
    return QString::fromLatin1(QCryptographicHash::hash(text, QCryptographicHash::Sha1).toHex().left(length));
}

// An identifier as a file name: museums use digits, but nothing else may escape the folder.
QString SafeId(const QString& id)
{
    QString out;
    for (const QChar c : id)
        out += (c.isLetterOrNumber() && c.unicode() < 128) || c == QLatin1Char('-') || c == QLatin1Char('_') ? c : QLatin1Char('_');
    return out.isEmpty() ? QStringLiteral("_") : out;
}

} // namespace

QString CacheRoot()
{
    QString base = qEnvironmentVariable("XDG_CACHE_HOME");
    if (base.isEmpty() || !QDir::isAbsolutePath(base)) {
        const QString home = qEnvironmentVariable("HOME");
        if (home.isEmpty())
            return {};
        base = home + QStringLiteral("/.cache");
    }
    return QDir::cleanPath(base) + QStringLiteral("/Ambience/");
}

FetchCache::FetchCache(const QString& root, Source source, const QString& apiBase)
{
    if (root.isEmpty())
        return;
    QString name = QString::fromLatin1(Info(source).code);
    if (apiBase != QString::fromLatin1(Info(source).defaultBase))
        name += QLatin1Char('-') + Hash(apiBase.toUtf8(), 10);
    const QString folder = QDir(root).filePath(QStringLiteral("museums/") + name);
    if (QDir().mkpath(folder + QStringLiteral("/images")) && QDir().mkpath(folder + QStringLiteral("/answers"))
        && QDir().mkpath(folder + QStringLiteral("/locks")))
        folder_ = folder;
}

QString FetchCache::ImagePath(const QString& workId) const
{
    return folder_ + QStringLiteral("/images/") + SafeId(workId) + QStringLiteral(".jpg");
}

EntryLock::~EntryLock()
{
    if (fd_ >= 0)
        ::close(fd_); // closing releases the flock
}

EntryLock FetchCache::LockImage(const QString& workId, const std::atomic<bool>* cancel) const
{
    if (folder_.isEmpty())
        return {};
    // The lock files stay: removing one while another fetch waits on it would let
    // a third take a lock on a new file of the same name.
    // Named by a hash: the lock says nothing of which works the cache ever held.
    const QByteArray path = QFile::encodeName(folder_ + QStringLiteral("/locks/") + Hash(workId.toUtf8(), 16) + QStringLiteral(".lock"));
    const int fd = ::open(path.constData(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600);
    if (fd < 0)
        return {};
    while (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        if ((errno != EWOULDBLOCK && errno != EINTR) || (cancel && cancel->load())) {
            ::close(fd);
            return {};
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    return EntryLock(fd);
}

core::TemporaryFile FetchCache::NewDownloadFile() const
{
    return core::CreateTemporaryFile(QFile::encodeName(folder_ + QStringLiteral("/images")).toStdString(), 0644);
}

int FetchCache::RemoveLeftovers() const
{
    if (folder_.isEmpty())
        return 0;
    int removed = 0;
    for (const char* sub : {"/images", "/answers"})
        removed += core::RemoveStaleTemporaryFiles(QFile::encodeName(folder_ + QLatin1String(sub)).toStdString());
    const QDateTime before = QDateTime::currentDateTime().addSecs(-core::kStaleTemporaryAge.count());
    QDirIterator parts(folder_ + QStringLiteral("/images"), {QStringLiteral("*.part")}, QDir::Files | QDir::Hidden);
    while (parts.hasNext()) {
        const QString part = parts.next();
        if (QFileInfo(part).lastModified() < before && QFile::remove(part))
            ++removed;
    }
    return removed;
}

std::optional<QByteArray> FetchCache::Answer(const QUrl& url) const
{
    if (folder_.isEmpty())
        return std::nullopt;
    const QString path = folder_ + QStringLiteral("/answers/") + Hash(url.toEncoded(), 40) + QStringLiteral(".json");
    const QFileInfo info(path);
    if (!info.isFile() || info.lastModified().secsTo(QDateTime::currentDateTime()) > kAnswerMaxAgeSeconds)
        return std::nullopt;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return std::nullopt;
    return file.readAll();
}

void FetchCache::StoreAnswer(const QUrl& url, const QByteArray& body) const
{
    if (folder_.isEmpty())
        return;
    // Written beside under a temporary name and renamed: another fetch reading the
    // same answer sees the old one or the new one, never half of one.
    const std::string target = QFile::encodeName(folder_ + QStringLiteral("/answers/") + Hash(url.toEncoded(), 40)
                                                 + QStringLiteral(".json")).toStdString();
    const core::TemporaryFile file = core::CreateTemporaryFile(QFile::encodeName(folder_ + QStringLiteral("/answers")).toStdString(), 0644);
    if (file.fd < 0)
        return;
    const char* data = body.constData();
    std::size_t left = static_cast<std::size_t>(body.size());
    bool ok = true;
    while (left > 0 && ok) {
        const ssize_t n = ::write(file.fd, data, left);
        if (n < 0 && errno == EINTR)
            continue;
        ok = n > 0;
        if (ok) {
            data += n;
            left -= static_cast<std::size_t>(n);
        }
    }
    if (!ok || ::rename(file.path.c_str(), target.c_str()) != 0)
        ::unlink(file.path.c_str());
    ::close(file.fd);
}

} // namespace museum
