#include "packmaker/sources.h"

#include <QDir>
#include <QDirIterator>
#include <QFileInfo>

#include <algorithm>
#include <set>

namespace packmaker {

bool KindForName(const std::string& fileName, SourceKind& kind)
{
    const QString suffix = QFileInfo(QString::fromStdString(fileName)).suffix().toLower();
    if (suffix == QLatin1String("jpg") || suffix == QLatin1String("jpeg") || suffix == QLatin1String("jpe")) {
        kind = SourceKind::Jpeg;
        return true;
    }
    static const QStringList raster = {QStringLiteral("png"), QStringLiteral("webp"), QStringLiteral("tif"),
                                       QStringLiteral("tiff"), QStringLiteral("bmp"), QStringLiteral("gif")};
    if (raster.contains(suffix)) {
        kind = SourceKind::Raster;
        return true;
    }
    if (suffix == QLatin1String("emf") || suffix == QLatin1String("wmf")) {
        kind = SourceKind::Metafile;
        return true;
    }
    return false;
}

CollectedSources CollectSources(const std::vector<std::string>& sources)
{
    CollectedSources result;
    std::set<QString> seen; // a file named twice, or inside two named folders, goes in once
    auto take = [&](const QFileInfo& file, const QString& relative) {
        const QString canonical = file.canonicalFilePath();
        if (!seen.insert(canonical.isEmpty() ? file.absoluteFilePath() : canonical).second)
            return;
        SourceKind kind;
        if (!KindForName(file.fileName().toStdString(), kind)) {
            result.Skipped.push_back({file.absoluteFilePath().toStdString(), "not a picture of a kind packs take"});
            return;
        }
        result.Pictures.push_back({file.absoluteFilePath().toStdString(), relative.toStdString(), kind});
    };
    for (const std::string& source : sources) {
        const QFileInfo info(QString::fromStdString(source));
        if (info.isDir()) {
            const QDir root(info.absoluteFilePath());
            QStringList files;
            QDirIterator it(root.path(), QDir::Files | QDir::NoDotAndDotDot, QDirIterator::Subdirectories);
            while (it.hasNext())
                files << it.next();
            std::sort(files.begin(), files.end()); // the file system's own order is arbitrary
            for (const QString& file : files)
                take(QFileInfo(file), root.relativeFilePath(file));
        } else if (info.isFile()) {
            take(info, info.fileName());
        } else {
            result.Skipped.push_back({source, info.exists() ? "neither a file nor a folder" : "no such file or folder"});
        }
    }
    return result;
}

} // namespace packmaker
