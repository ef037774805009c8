#pragma once
// The catalogue: every valid pack archive lying directly in the packs folder, in
// catalogue order (icon index, then name byte by byte).
#include "packs/pack.h"

#include <string>
#include <vector>

namespace packs {

// What a rescan left out and why, for callers that tell the user (ambience-cli);
// the window's catalogue stays silent about it.
struct ScanReport {
    struct LeftOut {
        std::string Path;
        std::string Reason; // "not a pack", "damaged: ...", "unreadable: ..."
    };
    std::vector<std::string> UnreadableFolders; // exist, but cannot be listed
    std::vector<LeftOut> LeftOutFiles;
};

} // namespace packs

namespace platform { class Registry; }

class TPackList {
public:
    // store keeps each pack's current picture; without one, every pack starts at
    // its first picture and nothing is stored.
    explicit TPackList(platform::Registry* store = nullptr) : store_(store) {}
    TPackList(const TPackList&) = delete;
    TPackList& operator=(const TPackList&) = delete;

    // Stores every pack's Current, then lists the "*.zip" files of
    // `folder` (any letter case, hidden ones included, subfolders not searched)
    // that are valid packs. A folder that cannot be read gives an empty list.
    void Rescan(const std::string& folder);
    // The same over several folders (see packs::CatalogueFiles): a pack file of the
    // same name in a later folder takes the place of the earlier one.
    void Rescan(const std::vector<std::string>& folders, packs::ScanReport* report = nullptr);

    int Count() const { return static_cast<int>(packs_.size()); }
    // 0 <= index < Count().
    TPack& PackAt(int index) { return packs_.at(static_cast<std::size_t>(index)); }
    const TPack& PackAt(int index) const { return packs_.at(static_cast<std::size_t>(index)); }

    const std::vector<TPack>& Packs() const { return packs_; }
    // Stores every pack's Current, then forgets the packs.
    void Clear();
    // Writes each pack's Current to the store (packs::StoreCurrent); false when
    // one could not be written.
    bool StoreCurrents() const;
    // The same for one pack, 0 <= index < Count().
    bool StoreCurrent(int index) const;

private:
    platform::Registry* store_ = nullptr;
    std::vector<TPack> packs_;
};

namespace packs {

// The pack archives of a folder, sorted by file name (the file system's own order
// is arbitrary; sorting keeps ties in catalogue order reproducible).
std::vector<std::string> PackFilesIn(const std::string& folder);

// Index into `list` of the pack whose file is `path` (compared after resolving
// links and "." / ".."), or -1.
int FindPackByPath(const TPackList& list, const std::string& path);

} // namespace packs
