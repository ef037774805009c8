#include "change/picture_selection.h"

#include "change/picture_marks.h"
#include "gallery/wall_record.h"
#include "archive/errors.h"
#include "core/product.h"
#include "graphics/picture.h"
#include "packs/load_picture.h"
#include "packs/pack_list.h"
#include "packs/selection.h"

namespace change {
namespace {

// The picture the record says is on the primary monitor. A record that cannot be
// read leaves nothing selected, as a first start does.
std::optional<int> WallIndex(gallery::WallRecord* record, const TPackList& list)
{
    if (!record)
        return std::nullopt;
    const core::Result<gallery::PictureKey> key = record->PrimaryPicture();
    if (!key.ok() || key->empty())
        return std::nullopt;
    const int k = IndexOfPicture(list, *key);
    return k >= 0 ? std::optional(k) : std::nullopt;
}

} // namespace

CatalogueSelection::CatalogueSelection(TPackList& list, gallery::WallRecord* record)
    : list_(list), counts_(packs::PictureCounts(list)), picture_(std::make_unique<graphics::Picture>())
{
    SetRecord(record);
    current_ = WallIndex(record, list_).value_or(packs::TotalPictureCount(counts_));
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

core::Result<void> CatalogueSelection::Load(ShownPicture& shown)
{
    shown = {};
    picture_->Clear();
    const auto position = packs::LocatePicture(counts_, current_);
    if (!position)
        return core::Ok();
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
    if (code != 0)
        return core::MakeError(code, detail);
    shown.picture = picture_.get();
    shown.record = &pack.Pictures[static_cast<size_t>(position->Picture)];
    shown.pack = position->Pack;
    shown.pictureInPack = position->Picture;
    return core::Ok();
}

QString CatalogueSelection::Remember(const ShownPicture& shown)
{
    // Like selecting the picture in the window: the pack remembers it.
    if (shown.pack < 0 || !shown.record)
        return {};
    list_.PackAt(shown.pack).Current = shown.pictureInPack;
    list_.StoreCurrent(shown.pack);
    return {};
}

} // namespace change
