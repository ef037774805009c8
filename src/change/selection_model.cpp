#include "change/selection_model.h"

#include "change/picture_marks.h"
#include "gallery/wall_record.h"
#include "archive/errors.h"
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
    return item_ == Item::None && SelectWallPicture();
}

bool SelectionModel::SelectWallPicture()
{
    if (!Record())
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

core::Result<void> SelectionModel::Load(ShownPicture& shown)
{
    if (locked_) {
        // Composing it would make a wallpaper without its picture.
        shown = {};
        const QString name = QString::fromStdString(catalogue_.PackAt(pack_).Name);
        const QString problem =
            passOverLocked_
                ? QStringLiteral("no picture could be shown: the pictures of the pack \"%1\" are encrypted, and its "
                                 "password is not known (select the pack on the Packs page to give it)")
                      .arg(name)
                : QStringLiteral("The pictures of the pack \"%1\" are encrypted, and its password is not known.")
                      .arg(name);
        return core::MakeError(archiva::ErrorWrongPassword, problem.toStdString());
    }
    // A picture that could not be read shows as none, and that is what is composed.
    shown = {};
    shown.picture = picture_.IsEmpty() ? nullptr : &picture_;
    shown.record = CurrentRecord();
    if (item_ == Item::Pack) {
        shown.pack = pack_;
        shown.pictureInPack = catalogue_.PackAt(pack_).Current;
    }
    return core::Ok();
}

void SelectionModel::LoadCurrent()
{
    picture_.Clear();
    locked_ = false;
    if (item_ == Item::MorePacks) {
        picture_ = builtin_;
    } else if (TPack* pack = SelectedPack()) {
        const int n = static_cast<int>(pack->Pictures.size());
        pack->Current = std::clamp(pack->Current, 0, std::max(0, n - 1));
        std::string detail;
        int code = 0;
        if (n > 0 && passOverLocked_ && packs::IsLocked(*pack))
            code = archiva::ErrorWrongPassword; // no use reading it without a password
        else if (n > 0)
            code = packs::LoadPicture(*pack, picture_, pack->Current, &detail);
        locked_ = code == archiva::ErrorWrongPassword && pack->Encrypted;
        emit Changed();
        if (code != 0 && !(locked_ && passOverLocked_))
            emit PictureProblem(code, QString::fromStdString(detail));
        return;
    }
    emit Changed();
}

} // namespace change
