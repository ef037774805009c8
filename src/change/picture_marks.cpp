#include "change/picture_marks.h"

#include "change/desktop_change.h"
#include "gallery/wall_record.h"
#include "packs/pack_list.h"
#include "packs/selection.h"

#include <QFileInfo>

#include <algorithm>
#include <map>

namespace change {

const char* const kEveryPictureBanned =
    "Every picture is set never to be shown again; allow one again (ambience-cli unban, or the History window) "
    "or install another pack.";

namespace {

core::Error AllBanned() { return core::MakeError(1, kEveryPictureBanned); }

// The next index in direction delta (+1 or -1) from c that is not banned.
core::Result<MarkedStep> Walk(int c, int total, int delta, const PictureMarks& marks)
{
    int k = c;
    for (int tries = 0; tries < total; ++tries) {
        k = delta > 0 ? packs::NextPictureIndex(k, total) : packs::BackPictureIndex(k, total);
        if (!marks.Banned(k))
            return MarkedStep{k, {}};
    }
    return AllBanned();
}

QString PackFileName(const TPack& pack) { return QFileInfo(QString::fromStdString(pack.Path)).fileName(); }

} // namespace

core::Result<MarkedStep> StepOverMarks(PictureStep step, int current, int total, const PictureMarks& marks)
{
    const bool anyBanned = std::find(marks.banned.begin(), marks.banned.end(), true) != marks.banned.end();
    switch (step) {
    case PictureStep::Current:
        return MarkedStep{current, {}};
    case PictureStep::Next:
        return anyBanned ? Walk(current, total, +1, marks) : MarkedStep{packs::NextPictureIndex(current, total), {}};
    case PictureStep::Back:
        return anyBanned ? Walk(current, total, -1, marks) : MarkedStep{packs::BackPictureIndex(current, total), {}};
    case PictureStep::Random:
        break;
    }
    if (total <= 0 || (!anyBanned && !marks.favouritesOnly))
        return MarkedStep{packs::RandomPictureIndex(total), {}};
    std::vector<int> allowed, favourites;
    for (int k = 0; k < total; ++k) {
        if (marks.Banned(k))
            continue;
        allowed.push_back(k);
        if (marks.Favourite(k))
            favourites.push_back(k);
    }
    if (allowed.empty())
        return AllBanned();
    QString notice;
    if (marks.favouritesOnly) {
        if (!favourites.empty())
            return MarkedStep{favourites[size_t(packs::RandomPictureIndex(int(favourites.size())))], {}};
        notice = QStringLiteral("Favourites only is on, but no installed picture is a favourite: the picture was "
                                "drawn from all of them.");
    }
    return MarkedStep{allowed[size_t(packs::RandomPictureIndex(int(allowed.size())))], notice};
}

int IndexOfPicture(const TPackList& list, const gallery::PictureKey& key)
{
    int base = 0;
    for (int p = 0; p < list.Count(); ++p) {
        const TPack& pack = list.PackAt(p);
        const int count = int(pack.Pictures.size());
        if (PackFileName(pack) == key.packFile) {
            const std::string entry = key.entry.toStdString();
            for (int i = 0; i < count; ++i)
                if (pack.Pictures[size_t(i)].EntryName == entry)
                    return base + i;
        }
        base += count;
    }
    return -1;
}

gallery::PictureKey KeyOfPicture(const TPackList& list, int k)
{
    const auto position = packs::LocatePicture(packs::PictureCounts(list), k);
    if (!position)
        return {};
    const TPack& pack = list.PackAt(position->Pack);
    return {PackFileName(pack), QString::fromStdString(pack.Pictures[size_t(position->Picture)].EntryName)};
}

PictureMarks MarksOf(const TPackList& list, gallery::WallRecord* record, bool favouritesOnly, QString& problem)
{
    PictureMarks marks;
    marks.favouritesOnly = favouritesOnly;
    if (!record)
        return marks;
    auto banned = record->Banned();
    auto favourites = favouritesOnly ? record->Favourites() : core::Result<std::vector<gallery::PictureKey>>(std::vector<gallery::PictureKey>{});
    if (!banned.ok() || !favourites.ok()) {
        problem = QString::fromStdString(!banned.ok() ? banned.error().text : favourites.error().text);
        return marks;
    }
    if (banned->empty() && favourites->empty())
        return marks;
    // Marks by pack file, so each pack is looked at once.
    std::map<QString, std::vector<std::pair<std::string, int>>> byPack; // entry, 1 banned / 2 favourite
    for (const auto& key : *banned)
        byPack[key.packFile].push_back({key.entry.toStdString(), 1});
    for (const auto& key : *favourites)
        byPack[key.packFile].push_back({key.entry.toStdString(), 2});
    const int total = packs::TotalPictureCount(packs::PictureCounts(list));
    marks.banned.assign(size_t(total), false);
    marks.favourite.assign(size_t(total), false);
    int base = 0;
    for (int p = 0; p < list.Count(); ++p) {
        const TPack& pack = list.PackAt(p);
        const auto found = byPack.find(PackFileName(pack));
        if (found != byPack.end()) {
            for (size_t i = 0; i < pack.Pictures.size(); ++i)
                for (const auto& [entry, kind] : found->second)
                    if (pack.Pictures[i].EntryName == entry)
                        (kind == 1 ? marks.banned : marks.favourite)[size_t(base) + i] = true;
        }
        base += int(pack.Pictures.size());
    }
    return marks;
}

} // namespace change
