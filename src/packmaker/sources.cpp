#include "packmaker/sources.h"

#include "core/utf8.h"

#include <QString>
#include <QFileInfo>

#include <algorithm>
#include <filesystem>
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

std::string NameText(const std::string& name)
{
    if (core::IsValidUtf8(name.data(), name.size()))
        return name;
    return QString::fromLatin1(name.data(), static_cast<qsizetype>(name.size())).toStdString();
}

CollectedSources CollectSources(const std::vector<std::string>& sources)
{
    namespace fs = std::filesystem;
    CollectedSources result;
    std::set<std::string> seen; // a file named twice, or inside two named folders, goes in once
    auto take = [&](const fs::path& file, const std::string& relative) {
        std::error_code error;
        const fs::path canonical = fs::canonical(file, error);
        if (!seen.insert(error ? fs::absolute(file, error).native() : canonical.native()).second)
            return;
        const std::string absolute = fs::absolute(file, error).lexically_normal().native();
        SourceKind kind;
        if (!KindForName(NameText(file.filename().native()), kind)) {
            result.Skipped.push_back({absolute, "not a picture of a kind packs take"});
            return;
        }
        result.Pictures.push_back({absolute, relative, kind});
    };
    for (const std::string& source : sources) {
        const fs::path path(source);
        std::error_code error;
        const fs::file_status status = fs::status(path, error);
        if (fs::is_directory(status)) {
            const fs::path root = fs::absolute(path, error).lexically_normal();
            std::vector<fs::path> files;
            for (fs::recursive_directory_iterator it(root, fs::directory_options::skip_permission_denied, error), end;
                 !error && it != end; it.increment(error)) {
                // Hidden files and folders stay out, as a file manager shows the folder.
                if (it->path().filename().native().starts_with('.')) {
                    if (it->is_directory(error))
                        it.disable_recursion_pending();
                    error.clear();
                    continue;
                }
                std::error_code kindError;
                if (it->is_regular_file(kindError))
                    files.push_back(it->path());
            }
            std::sort(files.begin(), files.end()); // the file system's own order is arbitrary
            for (const fs::path& file : files)
                take(file, file.lexically_relative(root).native());
        } else if (fs::is_regular_file(status)) {
            take(path, path.filename().native());
        } else {
            result.Skipped.push_back({source, fs::exists(status) ? "neither a file nor a folder" : "no such file or folder"});
        }
    }
    return result;
}

} // namespace packmaker
