#pragma once
// The person's marks on the global picture sequence (see packs/selection.h), and
// the step over it that respects them: next, back and random pass over pictures
// set never to be shown again; with "favourites only" random draws among the
// favourites. Without any banned picture and with the setting off, every step is
// the plain one of packs/selection.h, draw for draw.
#include "core/result.h"
#include "gallery/wall_entry.h"

#include <QString>

#include <vector>

class TPackList;
namespace gallery { class WallRecord; }

namespace change {

enum class PictureStep;

struct PictureMarks {
    std::vector<bool> banned;    // by global index; empty: none banned
    std::vector<bool> favourite; // by global index; empty: no favourites
    bool favouritesOnly = false;

    bool Banned(int k) const { return k >= 0 && k < int(banned.size()) && banned[size_t(k)]; }
    bool Favourite(int k) const { return k >= 0 && k < int(favourite.size()) && favourite[size_t(k)]; }
};

struct MarkedStep {
    int index = 0;
    QString notice; // told beside the change: favourites only had no favourite to draw
};

// The text of the refusal when every picture is banned.
extern const char* const kEveryPictureBanned;

// The index `step` lands on from `current` over `total` pictures. Error 1 with
// kEveryPictureBanned when next, back or random find no picture that is not
// banned. Random under favouritesOnly with no favourite left (none marked, or all
// banned) draws from every picture not banned, with a notice. Current stays where
// it is, banned or not: refreshing the wall is the person's own wish.
core::Result<MarkedStep> StepOverMarks(PictureStep step, int current, int total, const PictureMarks& marks);

// The global index of the picture key names in the catalogue; -1 when no
// installed pack of that file name holds that entry.
int IndexOfPicture(const TPackList& list, const gallery::PictureKey& key);
// The key of global index k; empty outside the pictures.
gallery::PictureKey KeyOfPicture(const TPackList& list, int k);

// The record's marks laid on the catalogue. A record that cannot be read gives no
// marks (the change goes on) and its error in problem.
PictureMarks MarksOf(const TPackList& list, gallery::WallRecord* record, bool favouritesOnly, QString& problem);

} // namespace change
