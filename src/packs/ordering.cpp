#include "packs/ordering.h"

#include "packs/pack.h"

#include <algorithm>
#include <optional>

namespace packs {

bool PictureLess(const TPic& a, const TPic& b)
{
    if (a.Number != b.Number)
        return a.Number < b.Number;
    if (int c = a.Author.compare(b.Author); c != 0)
        return c < 0;
    if (a.Year != b.Year)
        return a.Year < b.Year;
    return a.Title.compare(b.Title) < 0;
}

void OrderPictures(std::vector<TPic>& pictures, const std::string& packAuthor)
{
    std::stable_sort(pictures.begin(), pictures.end(), PictureLess);
    if (!packAuthor.empty() || pictures.empty() || pictures.front().Number != 0)
        return;

    // Pictures are now sorted by author and year, so the first picture of each
    // author run carries that author's earliest year.
    std::optional<std::string> previous; // no real author equals "none yet"
    std::int32_t group = 0;
    for (TPic& pic : pictures) {
        if (!previous || *previous != pic.Author) {
            previous = pic.Author;
            group = pic.Year;
        }
        pic.Number = group;
    }
    std::stable_sort(pictures.begin(), pictures.end(), PictureLess);
}

bool CatalogueLess(const TPack& a, const TPack& b)
{
    if (a.Icon != b.Icon)
        return a.Icon < b.Icon;
    return a.Name.compare(b.Name) < 0;
}

} // namespace packs
