#pragma once
// The featured links of the About page: an INI text compiled into the program
// (":/featured/links.ini", UTF-8) with one section per entry, and for the entry at
// position i a picture ":/featured/<10 + i>.png". Parsing and the draw are pure.
#include <QString>

#include <vector>

namespace ui {

struct FeaturedLink {
    QString name;        // key Name
    QString link;        // key Link: shown and opened by the label and the picture
    QString link2;       // key Link2: a second address, may be empty
    QString description; // key Description: one line
};

// The sections of an INI text in their order, each read with empty defaults. Key
// names are matched without regard to case; the first occurrence of a key in its
// section counts; blank lines, comments (";" or "#") and lines before the first
// section are skipped.
std::vector<FeaturedLink> ParseFeaturedLinks(const QString& text);

// The entry to show out of count: RandomBelow(count + 5), and the first entry for
// a draw at or past count, so the first comes six times in count + 5. -1 for none.
int DrawFeaturedIndex(int count);

// Where the compiled-in text and pictures are.
inline constexpr const char* kFeaturedLinksPath = ":/featured/links.ini";
inline constexpr const char* kFeaturedPictureFolder = ":/featured/";
// The picture of the entry at position index: folder + (10 + index) + ".png".
QString FeaturedPicturePath(const QString& folder, int index);

} // namespace ui
