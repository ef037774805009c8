#pragma once
// Where a desktop change finds its picture: the window's Packs page (what it
// shows is what is composed) or a catalogue read for one command of ambience-cli.
#include "core/result.h"

#include <QSize>
#include <QString>

#include <functional>
#include <memory>
#include <optional>
#include <vector>

class TPackList;
struct TPack;
struct TPic;
namespace gallery { class WallRecord; }
namespace graphics { class Picture; }

namespace change {

struct ShownPicture {
    const graphics::Picture* picture = nullptr; // null: none
    const TPic* record = nullptr;               // null: no captions from a record
    int pack = -1;                              // catalogue index; -1 for none or the built-in picture
    int pictureInPack = -1;
};

class PictureSelection {
public:
    virtual ~PictureSelection() = default;

    virtual const TPackList& Catalogue() const = 0;
    virtual int TotalPictureCount() const = 0;
    // The global index of the selected picture; TotalPictureCount() for none.
    virtual int CurrentPictureIndex() const = 0;
    // Selects global index k; nothing for k outside the pictures.
    virtual void SelectPictureByIndex(int k) = 0;
    // The picture to compose now, or why it cannot be read.
    virtual core::Result<void> Load(ShownPicture& shown) = 0;
    // Whether a picture that cannot be read may be passed over for the next one.
    virtual bool SkipsUnreadable() const { return false; }
    // The largest canvas the next Load is for: a selection that decodes on Load
    // may decode a large picture reduced to it.
    virtual void LoadFor(QSize /*canvas*/) {}
    // After a wallpaper change: keep what was shown for the next change. Empty,
    // or why it could not be kept.
    virtual QString Remember(const ShownPicture&) { return {}; }

    // The record of the wall a wallpaper change is written to, and whose banned
    // pictures and favourites steer next, back and random; null: none. It must
    // outlive the selection's changes.
    gallery::WallRecord* Record() const { return record_; }
    void SetRecord(gallery::WallRecord* record) { record_ = record; }

private:
    gallery::WallRecord* record_ = nullptr;
};

// Over a catalogue of its own, for one command: the current picture is the one the
// record of the wall says is on the primary monitor, whichever program put it
// there, so the next command continues from it.
class CatalogueSelection final : public PictureSelection {
public:
    // list and record must outlive the selection; without a record (or one that
    // names no installed picture) nothing is selected.
    CatalogueSelection(TPackList& list, gallery::WallRecord* record);
    ~CatalogueSelection() override;

    const TPackList& Catalogue() const override;
    int TotalPictureCount() const override;
    int CurrentPictureIndex() const override;
    void SelectPictureByIndex(int k) override;
    core::Result<void> Load(ShownPicture& shown) override;
    bool SkipsUnreadable() const override { return true; }
    void LoadFor(QSize canvas) override { canvas_ = canvas; }
    QString Remember(const ShownPicture& shown) override;

    // Called when picture `index` of pack cannot be read for want of the right
    // password: sets pack.PackPassword to one that opens it (true), or says why
    // there is none (false, why set or left empty).
    using Unlock = std::function<bool(TPack& pack, int index, QString& why)>;
    void SetUnlock(Unlock unlock) { unlock_ = std::move(unlock); }

private:
    TPackList& list_;
    std::vector<int> counts_;
    int current_ = 0;
    QSize canvas_;
    std::unique_ptr<graphics::Picture> picture_;
    Unlock unlock_;
};

} // namespace change
