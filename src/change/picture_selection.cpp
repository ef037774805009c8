#include "change/picture_selection.h"

#include "archive/errors.h"
#include "core/product.h"
#include "graphics/picture.h"
#include "packs/load_picture.h"
#include "packs/pack_list.h"
#include "packs/selection.h"
#include "platform/registry.h"

#include <QFileInfo>

namespace change {
namespace {

// "<pack file name>/<entry name>" under the registry root: the picture the
// command line showed last.
const QString LastPictureValue = QStringLiteral("LastPicture");

QString PackFileName(const TPack& pack) { return QFileInfo(QString::fromStdString(pack.Path)).fileName(); }

std::optional<int> RememberedIndex(platform::Registry& store, const TPackList& list, const std::vector<int>& counts)
{
    std::optional<QString> stored;
    try {
        stored = store.ReadString(ProductNames().RegistryRoot, LastPictureValue);
    } catch (const platform::RegistryError&) {
        return std::nullopt;
    }
    if (!stored)
        return std::nullopt;
    const qsizetype slash = stored->indexOf(QLatin1Char('/'));
    if (slash <= 0)
        return std::nullopt;
    const QString file = stored->left(slash);
    const std::string entry = stored->mid(slash + 1).toStdString();
    for (int p = 0; p < list.Count(); ++p) {
        if (PackFileName(list.PackAt(p)) != file)
            continue;
        const auto& pictures = list.PackAt(p).Pictures;
        for (size_t i = 0; i < pictures.size(); ++i)
            if (pictures[i].EntryName == entry)
                return packs::CurrentPictureIndex(counts, p, static_cast<int>(i));
    }
    return std::nullopt;
}

} // namespace

CatalogueSelection::CatalogueSelection(TPackList& list, platform::Registry& store)
    : list_(list), store_(store), counts_(packs::PictureCounts(list)), picture_(std::make_unique<graphics::Picture>())
{
    const int total = packs::TotalPictureCount(counts_);
    current_ = RememberedIndex(store_, list_, counts_).value_or(total);
}

CatalogueSelection::~CatalogueSelection() = default;

const TPackList& CatalogueSelection::Catalogue() const { return list_; }

int CatalogueSelection::TotalPictureCount() const { return packs::TotalPictureCount(counts_); }

int CatalogueSelection::CurrentPictureIndex() const { return current_; }

void CatalogueSelection::SelectPictureByIndex(int k)
{
    const int total = TotalPictureCount();
    current_ = k >= 0 && k < total ? k : total;
}

bool CatalogueSelection::Load(ShownPicture& shown, QString& problem)
{
    shown = {};
    picture_->Clear();
    const auto position = packs::LocatePicture(counts_, current_);
    if (!position)
        return true;
    TPack& pack = list_.PackAt(position->Pack);
    std::string detail;
    int code = LoadPicture(pack, *picture_, position->Picture, &detail, canvas_);
    if (code == archiva::ErrorWrongPassword && pack.Encrypted && unlock_) {
        QString why;
        if (unlock_(pack, position->Picture, why))
            code = LoadPicture(pack, *picture_, position->Picture, &detail, canvas_);
        else if (!why.isEmpty())
            detail = why.toStdString();
    }
    if (code != 0) {
        problem = QString::fromStdString(detail);
        return false;
    }
    shown.picture = picture_.get();
    shown.record = &pack.Pictures[static_cast<size_t>(position->Picture)];
    shown.pack = position->Pack;
    shown.pictureInPack = position->Picture;
    return true;
}

QString CatalogueSelection::Remember(const ShownPicture& shown)
{
    auto& store = store_;
    try {
        if (shown.pack >= 0 && shown.record) {
            // Like selecting the picture in the window: the pack remembers it.
            TPack& pack = list_.PackAt(shown.pack);
            pack.Current = shown.pictureInPack;
            list_.StoreCurrent(shown.pack);
            store.WriteString(ProductNames().RegistryRoot, LastPictureValue,
                              PackFileName(pack) + QLatin1Char('/') + QString::fromStdString(shown.record->EntryName));
        } else {
            store.DeleteValue(ProductNames().RegistryRoot, LastPictureValue);
        }
    } catch (const platform::RegistryError& e) {
        // Next and back then start from the catalogue's end; the change itself stands.
        return QStringLiteral("cannot remember the picture: %1").arg(QString::fromStdString(e.what()));
    }
    return {};
}

} // namespace change
