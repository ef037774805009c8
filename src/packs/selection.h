#pragma once
// Picture selection over the global sequence: the pictures of the first pack in
// catalogue order, then those of the second, and so on, counted from 0. The window
// and the command line both step through it with these functions.
#include <optional>
#include <span>
#include <vector>

class TPackList;

namespace packs {

// Picture counts of the catalogue's packs, in catalogue order.
std::vector<int> PictureCounts(const TPackList& list);

int TotalPictureCount(std::span<const int> counts);

// Global index of picture `current` of pack `selected`; `current` is clamped into
// the pack's pictures first. With no pack selected (nullopt, or an index outside
// the list) the total: the position just after the last picture.
int CurrentPictureIndex(std::span<const int> counts, std::optional<int> selected, int current);

struct PicturePosition {
    int Pack = 0;
    int Picture = 0;
    bool operator==(const PicturePosition&) const = default;
};

// The pack and position within it of global index k; nullopt when k is outside
// 0..total-1 (then no pack is to be selected).
std::optional<PicturePosition> LocatePicture(std::span<const int> counts, int k);

// The next, previous and a random index from current index c. With no pictures
// they give an index outside the range, which selects nothing.
int NextPictureIndex(int c, int total);
int BackPictureIndex(int c, int total);
// Uniform over 0..total-1 from the program's one generator (RandomBelow); 0 when
// there are no pictures.
int RandomPictureIndex(int total);

} // namespace packs
