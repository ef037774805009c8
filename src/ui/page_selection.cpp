#include "ui/page_selection.h"

#include "graphics/picture.h"
#include "packs/pack_list.h"
#include "ui/packs_page.h"

namespace ui {
namespace {

const TPackList& EmptyList()
{
    static const TPackList empty;
    return empty;
}

} // namespace

const TPackList& PageSelection::Catalogue() const
{
    return PackList ? *PackList : EmptyList();
}

int PageSelection::TotalPictureCount() const { return page_.TotalPictureCount(); }

int PageSelection::CurrentPictureIndex() const { return page_.CurrentPictureIndex(); }

void PageSelection::SelectPictureByIndex(int k) { page_.SelectPictureByIndex(k); }

bool PageSelection::Load(change::ShownPicture& shown, QString&)
{
    // The page loaded its picture when it was selected; a picture it could not
    // read shows as none, and that is what is composed.
    shown = {};
    const graphics::Picture& preview = page_.PreviewPicture();
    shown.picture = preview.IsEmpty() ? nullptr : &preview;
    shown.record = page_.CurrentRecord();
    if (const TPack* pack = page_.SelectedPack(); pack && PackList) {
        const auto& packs = PackList->Packs();
        for (size_t i = 0; i < packs.size(); ++i)
            if (&packs[i] == pack) {
                shown.pack = static_cast<int>(i);
                shown.pictureInPack = pack->Current;
            }
    }
    return true;
}

} // namespace ui
