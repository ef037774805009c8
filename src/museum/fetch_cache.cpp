#include "museum/fetch_cache.h"

#include <QCryptographicHash>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

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
    if (QDir().mkpath(folder + QStringLiteral("/images")) && QDir().mkpath(folder + QStringLiteral("/answers")))
        folder_ = folder;
}

QString FetchCache::ImagePath(const QString& workId) const
{
    return folder_ + QStringLiteral("/images/") + SafeId(workId) + QStringLiteral(".jpg");
}

QString FetchCache::PartPath(const QString& workId) const
{
    return ImagePath(workId) + QStringLiteral(".part");
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
    QSaveFile file(folder_ + QStringLiteral("/answers/") + Hash(url.toEncoded(), 40) + QStringLiteral(".json"));
    if (file.open(QIODevice::WriteOnly) && file.write(body) == body.size())
        file.commit();
}

} // namespace museum
