#include "platform/wallpaper_file.h"

#include "platform/atomic_file.h"

#include "platform/folders.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>

#include <algorithm>
#include <utility>
#include <vector>

namespace platform {
namespace {

const QRegularExpression& CopyName()
{
    static const QRegularExpression re(QStringLiteral(R"(^ambience-(\d{1,9})\.[A-Za-z0-9]{1,8}$)"));
    return re;
}

} // namespace

QString WallpaperCopy::Folder() const
{
    const QString data = GetSpecialFolder(CSIDL_APPDATA);
    if (!data.isEmpty())
        return data;
    return QFileInfo(source_).absolutePath() + QLatin1Char('/');
}

QString WallpaperCopy::Path()
{
    if (!path_.isEmpty() || !error_.isEmpty())
        return path_;
    const QString folder = Folder();
    QDir dir(folder);
    if (!dir.mkpath(QStringLiteral("."))) {
        error_ = QStringLiteral("the folder %1 could not be created").arg(folder);
        return {};
    }
    qint64 highest = 0;
    for (const QString& name : dir.entryList(QDir::Files)) {
        const auto match = CopyName().match(name);
        if (match.hasMatch())
            highest = std::max(highest, match.captured(1).toLongLong());
    }
    QString suffix = QFileInfo(source_).suffix().toLower();
    if (suffix.isEmpty() || !QRegularExpression(QStringLiteral("^[a-z0-9]{1,8}$")).match(suffix).hasMatch())
        suffix = QStringLiteral("bmp");
    const QString target = dir.filePath(QStringLiteral("ambience-%1.%2").arg(highest + 1).arg(suffix));
    // Written under a temporary name first: a desktop must never see half a file.
    QFile source(source_);
    if (!source.open(QIODevice::ReadOnly)) {
        error_ = QStringLiteral("the picture could not be copied to %1: %2").arg(target, source.errorString());
        return {};
    }
    const core::Result<void> written = ReplaceFileContents(target, source.readAll(), UmaskedFileMode);
    if (!written.ok()) {
        error_ = QStringLiteral("the picture could not be copied to %1: %2")
                     .arg(target, QString::fromStdString(written.error().text));
        return {};
    }
    path_ = target;
    return path_;
}

bool WallpaperCopy::HasEarlierCopies() const
{
    const QString mine = QFileInfo(path_).fileName();
    for (const QString& name : QDir(Folder()).entryList(QDir::Files)) {
        if (name != mine && CopyName().match(name).hasMatch())
            return true;
    }
    return false;
}

void WallpaperCopy::Finish(bool usedCopy, const QSet<QString>& namedElsewhere)
{
    kept_ = usedCopy;
    QDir dir(Folder());
    const QString keep = usedCopy && !path_.isEmpty() ? QFileInfo(path_).fileName() : QString();
    const QString source = QFileInfo(source_).absoluteFilePath();
    // Newest first: the numbers only grow.
    std::vector<std::pair<qint64, QString>> copies;
    for (const QString& name : dir.entryList(QDir::Files)) {
        const auto match = CopyName().match(name);
        if (match.hasMatch() && name != keep)
            copies.emplace_back(match.captured(1).toLongLong(), name);
    }
    std::sort(copies.begin(), copies.end(), [](const auto& a, const auto& b) { return a.first > b.first; });
    int newer = keep.isEmpty() ? 0 : 1; // copies newer than the one looked at
    for (const auto& [number, name] : copies) {
        const QString path = QFileInfo(dir.filePath(name)).absoluteFilePath();
        if (newer++ < kKeptCopies || path == source || namedElsewhere.contains(path))
            continue;
        QFile::remove(path);
    }
}

WallpaperCopy::~WallpaperCopy()
{
    if (!kept_ && !path_.isEmpty() && QFileInfo(path_).absoluteFilePath() != QFileInfo(source_).absoluteFilePath())
        QFile::remove(path_);
}

} // namespace platform
