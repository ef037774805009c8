#pragma once
// The sizes a change refuses before anything is allocated: expositions or a
// spanning picture so large that composing them would exhaust the machine (a
// misreported or hand-typed monitor layout).
#include "platform/monitors.h"

#include <QSize>
#include <QString>

#include <optional>
#include <vector>

namespace change {

inline constexpr int kLargestSide = 16384;
inline constexpr qint64 kLargestPixels = 150'000'000;
// Below this (either way up) a wallpaper is no picture anyone could mean (a
// mistyped size).
inline constexpr int kSmallestWallpaperWidth = 320;
inline constexpr int kSmallestWallpaperHeight = 200;

// Why a change of that canvas (and, for a wallpaper, those monitors) cannot be
// made, as a sentence; nothing when it can.
std::optional<QString> SizeProblem(QSize canvas, const std::vector<platform::Monitor>& monitors, bool wallpaper);

// Why a wallpaper of a size someone typed (the canvas, or each monitor given by
// hand) cannot be set, as a sentence; nothing when it can. The desktop's own
// monitors are taken as they are.
std::optional<QString> TypedWallpaperSizeProblem(QSize canvas, const std::vector<platform::Monitor>& monitors);

} // namespace change
