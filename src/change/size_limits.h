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

// Why a change of that canvas (and, for a wallpaper, those monitors) cannot be
// made, as a sentence; nothing when it can.
std::optional<QString> SizeProblem(QSize canvas, const std::vector<platform::Monitor>& monitors, bool wallpaper);

} // namespace change
