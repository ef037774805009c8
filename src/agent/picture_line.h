#pragma once
// How a recorded picture is named for the person: in the tray's tip, in the
// notification after an automatic change, in the History and About windows.
#include "gallery/wall_entry.h"

#include <QString>

#include <optional>

namespace agent {

// "Title (year, author)", cut to maximum characters with "..."; empty for a
// change that showed no art (the gradient alone, the built-in picture unnamed).
QString PictureLine(const gallery::WallEntry& entry, int maximum = 120);

// The tray's tip: the product's title, and on a second line the picture on the
// wall when one is known.
QString TrayTip(const QString& productTitle, const std::optional<gallery::WallEntry>& onWall);

} // namespace agent
