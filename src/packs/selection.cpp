#include "packs/selection.h"

#include "core/random.h"
#include "packs/pack_list.h"

#include <algorithm>

namespace packs {

std::vector<int> PictureCounts(const TPackList& list)
{
    std::vector<int> counts;
    counts.reserve(static_cast<std::size_t>(list.Count()));
    for (const TPack& pack : list.Packs())
        counts.push_back(static_cast<int>(pack.Pictures.size()));
    return counts;
}

int TotalPictureCount(std::span<const int> counts)
{
    int total = 0;
    for (const int n : counts)
        total += std::max(n, 0);
    return total;
}

int CurrentPictureIndex(std::span<const int> counts, std::optional<int> selected, int current)
{
    if (!selected || *selected < 0 || static_cast<std::size_t>(*selected) >= counts.size())
        return TotalPictureCount(counts);
    int before = 0;
    for (int i = 0; i < *selected; ++i)
        before += std::max(counts[static_cast<std::size_t>(i)], 0);
    const int n = std::max(counts[static_cast<std::size_t>(*selected)], 0);
    // A stored index may be stale (the pack has fewer pictures now); the page shows
    // the clamped one, so count from there.
    const int position = std::clamp(current, 0, std::max(n - 1, 0));
    return before + position;
}

std::optional<PicturePosition> LocatePicture(std::span<const int> counts, int k)
{
    if (k < 0)
        return std::nullopt;
    for (std::size_t i = 0; i < counts.size(); ++i) {
        const int n = std::max(counts[i], 0);
        if (k < n)
            return PicturePosition{static_cast<int>(i), k};
        k -= n;
    }
    return std::nullopt;
}

int NextPictureIndex(int c, int total)
{
    return c + 1 < total ? c + 1 : 0;
}

int BackPictureIndex(int c, int total)
{
    return c >= 1 ? c - 1 : total - 1;
}

int RandomPictureIndex(int total)
{
    return RandomBelow(total);
}

} // namespace packs
