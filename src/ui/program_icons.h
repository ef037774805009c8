#pragma once
// The image list PIL: the program's ten icons in their index order, 32 x 32.
#include <QIcon>

#include <vector>

namespace ui {

// Index of the icon the "more packs" item shows most of the time, and the rare one.
constexpr int MorePacksIcon = 4;
constexpr int MorePacksRareIcon = 8;

// Reads the icons ":/icons/icon0.png", ":/icons/icon1.png", ... in index order until
// the first one that is missing; unreadable icons are skipped, as the original
// resource walk skipped bad handles.
std::vector<QIcon> LoadProgramIcons();

} // namespace ui
