#include "change/selection_model.h"

#include "change/picture_marks.h"
#include "gallery/wall_record.h"
#include "packs/load_picture.h"
#include "packs/pack_list.h"
#include "packs/selection.h"

#include <algorithm>

namespace change {

SelectionModel::SelectionModel(TPackList& catalogue, graphics::Picture builtin)
    : catalogue_(catalogue), builtin_(std::move(builtin))
{
}

TPack* SelectionModel::SelectedPack()
{
    return item_ == Item::Pack ? &catalogue_.PackAt(pack_) : nullptr;
}

const TPack* SelectionModel::SelectedPack() const
{
    return item_ == Item::Pack ? &catalogue_.PackAt(pack_) : nullptr;
}

const TPic* SelectionModel::CurrentRecord() const
{
    const TPack* pack = SelectedPack();
    if (!pack || pack->Current < 0 || pack->Current >= static_cast<int>(pack->Pictures.size()))
        return nullptr;
    return &pack->Pictures[static_cast<size_t>(pack->Current)];
}

void SelectionModel::SelectPack(int index)
{
    if (index < 0 || index >= catalogue_.Count()) {
        SelectNone();
        return;
    }
    item_ = Item::Pack;
    pack_ = index;
    LoadCurrent();
}

void SelectionModel::SelectMorePacks()
{
    item_ = Item::MorePacks;
    pack_ = -1;
    LoadCurrent();
}

void SelectionModel::SelectNone()
{
    item_ = Item::None;
    pack_ = -1;
    LoadCurrent();
}

void SelectionModel::StepInPack(int delta)
{
    if (TPack* pack = SelectedPack()) {
        pack->Current += delta;
        LoadCurrent();
    }
}

void SelectionModel::CatalogueReplaced()
{
    item_ = Item::None;
    pack_ = -1;
    picture_.Clear();
}

bool SelectionModel::SelectPicture(const gallery::PictureKey& picture)
{
    const int k = IndexOfPicture(catalogue_, picture);
    if (k < 0)
        return false;
    SelectPictureByIndex(k);
    return true;
}

bool SelectionModel::SelectPictureOnWall()
{
    if (item_ != Item::None || !Record())
        return false;
    const core::Result<gallery::PictureKey> onWall = Record()->PrimaryPicture();
    return onWall.ok() && !onWall->empty() && SelectPicture(*onWall);
}

int SelectionModel::TotalPictureCount() const
{
    return packs::TotalPictureCount(packs::PictureCounts(catalogue_));
}

int SelectionModel::CurrentPictureIndex() const
{
    const std::vector<int> counts = packs::PictureCounts(catalogue_);
    const TPack* pack = SelectedPack();
    return packs::CurrentPictureIndex(counts, pack ? std::optional(pack_) : std::nullopt, pack ? pack->Current : 0);
}

void SelectionModel::SelectPictureByIndex(int k)
{
    const auto position = packs::LocatePicture(packs::PictureCounts(catalogue_), k);
    if (!position) {
        SelectNone();
        return;
    }
    catalogue_.PackAt(position->Pack).Current = position->Picture;
    SelectPack(position->Pack);
}

bool SelectionModel::Load(ShownPicture& shown, QString&)
{
    // A picture that could not be read shows as none, and that is what is composed.
    shown = {};
    shown.picture = picture_.IsEmpty() ? nullptr : &picture_;
    shown.record = CurrentRecord();
    if (item_ == Item::Pack) {
        shown.pack = pack_;
        shown.pictureInPack = catalogue_.PackAt(pack_).Current;
    }
    return true;
}

void SelectionModel::LoadCurrent()
{
    picture_.Clear();
    if (item_ == Item::MorePacks) {
        picture_ = builtin_;
    } else if (TPack* pack = SelectedPack()) {
        const int n = static_cast<int>(pack->Pictures.size());
        pack->Current = std::clamp(pack->Current, 0, std::max(0, n - 1));
        std::string detail;
        const int code = n > 0 ? packs::LoadPicture(*pack, picture_, pack->Current, &detail) : 0;
        emit Changed();
        if (code != 0)
            emit PictureProblem(code, QString::fromStdString(detail));
        return;
    }
    emit Changed();
}

} // namespace change
