#pragma once
// The window's picture selection as a model: which pack (or the "more packs" item)
// is selected, which of its pictures is current, and that picture decoded. The
// Packs page shows it and follows its signals; the exposition actions step it
// and compose its picture. It lives on the window's thread.
#include "change/picture_selection.h"
#include "gallery/wall_entry.h"
#include "graphics/picture.h"

#include <QObject>

class TPackList;
struct TPack;
struct TPic;

namespace change {

class SelectionModel final : public QObject, public PictureSelection {
    Q_OBJECT
public:
    enum class Item { None, Pack, MorePacks };

    // catalogue must outlive the model; builtin is the picture the "more packs"
    // item shows (and a change then composes).
    SelectionModel(TPackList& catalogue, graphics::Picture builtin);

    Item Selected() const { return item_; }
    // The catalogue index of the selected pack; -1 unless a pack is selected.
    int SelectedPackIndex() const { return item_ == Item::Pack ? pack_ : -1; }
    TPack* SelectedPack();
    const TPack* SelectedPack() const;
    // The record of the current picture, null without one.
    const TPic* CurrentRecord() const;
    // The current picture as decoded (empty: none, or it could not be read).
    const graphics::Picture& CurrentPicture() const { return picture_; }

    // Each emits Changed once, after the picture was loaded.
    void SelectPack(int index); // outside the catalogue: nothing selected
    void SelectMorePacks();
    void SelectNone();
    // Moves the current picture of the selected pack by delta, kept inside it.
    void StepInPack(int delta);
    // The catalogue was rescanned: its records are new, nothing is selected.
    void CatalogueReplaced();
    // Selects the picture a pack file and entry name; false (nothing changed)
    // when no installed pack holds it.
    bool SelectPicture(const gallery::PictureKey& picture);
    // When nothing is selected: selects the picture the record of the wall says
    // is on the primary monitor, so the window opens on what the desktop shows.
    // False when something was selected already or the record names nothing here.
    bool SelectPictureOnWall();
    // Selects the picture on the primary monitor whatever is selected, as a request
    // from outside the window (ambience-cli, the menu entry's actions) means it;
    // false (nothing changed) when the record names no installed picture.
    bool SelectWallPicture();

    // The change's view of it.
    const TPackList& Catalogue() const override { return catalogue_; }
    int TotalPictureCount() const override;
    int CurrentPictureIndex() const override;
    void SelectPictureByIndex(int k) override;
    core::Result<void> Load(ShownPicture& shown) override;
    bool SkipsUnreadable() const override { return passOverLocked_; }

    // The current picture could not be read for want of its pack's password (none
    // known, or a wrong one). Such a picture is never composed: Load says why.
    bool CurrentLocked() const { return locked_; }
    // While on, pictures of packs whose password is not known are not even read,
    // raise no PictureProblem and are passed over by a change: the automatic
    // change must not ask anybody for anything.
    void PassOverLocked(bool on) { passOverLocked_ = on; }

signals:
    void Changed();
    // The current picture could not be read: an archive error code and a sentence.
    void PictureProblem(int code, const QString& detail);

private:
    void LoadCurrent();

    TPackList& catalogue_;
    graphics::Picture builtin_;
    Item item_ = Item::None;
    int pack_ = -1;
    graphics::Picture picture_;
    bool locked_ = false;
    bool passOverLocked_ = false;
};

} // namespace change
