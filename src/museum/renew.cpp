// Renewing a fresh museum pack: what it holds and what it retired are read from
// its source entry; its pictures wait beside it while new works are fetched, and
// go into the new pack but for the oldest that leave to make room.
#include "archive/errors.h"
#include "museum/fetch.h"
#include "museum/freshness.h"
#include "packmaker/pack_maker.h"
#include "packmaker/work_folder.h"
#include "packs/load_picture.h"
#include "packs/pack.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <algorithm>
#include <cstring>

namespace museum {

core::Result<FetchedPack> RenewPack(const FetchRequest& request, const std::function<void(const FetchProgress&)>& progress,
                                    const std::atomic<bool>* cancel, FetchedPack* soFar)
{
    auto failed = [&](int code, const QString& error) {
        if (soFar)
            *soFar = {};
        return core::MakeError(code, error.toStdString());
    };
    const std::string packPath = QFile::encodeName(request.output).toStdString();
    const TPack pack(packPath);
    if (!pack.IsValid())
        return failed(pack.OpenError != 0 ? pack.OpenError : archiva::ErrorInvalidPack,
                      QStringLiteral("%1 is no pack to renew").arg(request.output));
    std::vector<std::uint8_t> bytes;
    std::string detail;
    if (const int code = packs::ReadPackEntry(packPath, packmaker::kSourcesEntryName, pack.PackPassword, bytes, &detail);
        code != 0)
        return failed(code, QStringLiteral("%1 keeps no record of its works' sources, so it cannot be renewed")
                                .arg(request.output));
    const QJsonObject sources =
        QJsonDocument::fromJson(QByteArray(reinterpret_cast<const char*>(bytes.data()), static_cast<qsizetype>(bytes.size())))
            .object();

    struct Held {
        const TPic* pic;
        QJsonObject source;
    };
    std::vector<Held> held;
    FetchRequest renewal = request;
    for (const TPic& pic : pack.Pictures) {
        const QJsonObject source = sources.value(QString::fromStdString(pic.EntryName)).toObject();
        const QString id = source.value(QLatin1String("id")).toString();
        if (id.isEmpty())
            continue;
        renewal.excludeIds.insert(id);
        held.push_back({&pic, source});
    }
    // The oldest first; works that came together keep the pack's order.
    std::stable_sort(held.begin(), held.end(), [](const Held& a, const Held& b) {
        return a.source.value(QLatin1String("added")).toString() < b.source.value(QLatin1String("added")).toString();
    });
    for (const QJsonValue& id : sources.value(QLatin1String(packmaker::kRetiredKey)).toArray())
        if (!id.toString().isEmpty())
            renewal.retired.push_back(id.toString());

    // The kept pictures wait in a work folder beside the pack until the new one is made.
    int error = 0;
    const std::string folder = packmaker::CreateWorkFolder(QFile::encodeName(QFileInfo(request.output).absolutePath()).toStdString(), error);
    if (folder.empty())
        return failed(archiva::ErrorFromErrno(error), QStringLiteral("cannot write beside %1: %2")
                                                          .arg(request.output, QString::fromLocal8Bit(std::strerror(error))));
    const struct Guard {
        std::string path;
        ~Guard() { packmaker::RemoveWorkFolder(path); }
    } guard{folder};
    // Which of them leave is known only once the new works are there (Fetch).
    for (std::size_t i = 0; i < held.size(); ++i) {
        const Held& h = held[i];
        if (const int code = packs::ReadPackEntry(packPath, h.pic->EntryName, pack.PackPassword, bytes, &detail); code != 0)
            return failed(code, QStringLiteral("%1 cannot be read: %2").arg(request.output, QString::fromStdString(detail)));
        const QString image = QFile::decodeName(QByteArray::fromStdString(folder)) + QStringLiteral("/kept%1.jpg").arg(i);
        QFile file(image);
        if (!file.open(QIODevice::WriteOnly)
            || file.write(reinterpret_cast<const char*>(bytes.data()), static_cast<qint64>(bytes.size())) != static_cast<qint64>(bytes.size()))
            return failed(archiva::ErrorWriteFault, QStringLiteral("cannot write %1: %2").arg(image, file.errorString()));
        KeptWork kept;
        kept.imagePath = image;
        kept.work.id = h.source.value(QLatin1String("id")).toString();
        // The whole title where the entry name had to be shortened.
        const QString title = h.source.value(QLatin1String("title")).toString();
        kept.work.title = title.isEmpty() ? QString::fromStdString(h.pic->Title) : title;
        kept.work.artist = QString::fromStdString(h.pic->Author);
        if (h.pic->Year != 0)
            kept.work.year = h.pic->Year;
        kept.work.pageUrl = h.source.value(QLatin1String("page")).toString();
        kept.work.creditLine = h.source.value(QLatin1String("credit")).toString();
        kept.work.licence = h.source.value(QLatin1String("licence")).toString();
        kept.added = h.source.value(QLatin1String("added")).toString();
        renewal.keep.push_back(std::move(kept));
    }
    renewal.count = WorksToRenew(request.count);
    renewal.packSize = request.count;
    if (renewal.name.trimmed().isEmpty())
        renewal.name = QString::fromStdString(pack.Name);
    return Fetch(renewal, progress, cancel, soFar);
}

} // namespace museum
