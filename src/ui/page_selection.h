#pragma once
// The Packs page as the picture selection of a desktop change: what the page
// shows is what is composed, and stepping selects on the page (which loads the
// preview) before anything is composed.
#include "change/picture_selection.h"

namespace ui {

class TPacksPage;

class PageSelection final : public change::PictureSelection {
public:
    explicit PageSelection(TPacksPage& page) : page_(page) {}

    const TPackList& Catalogue() const override;
    int TotalPictureCount() const override;
    int CurrentPictureIndex() const override;
    void SelectPictureByIndex(int k) override;
    bool Load(change::ShownPicture& shown, QString& problem) override;

private:
    TPacksPage& page_;
};

} // namespace ui
