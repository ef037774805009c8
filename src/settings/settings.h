#pragma once
// The eleven settings as a plain value, the two of how the desktop is set and the
// two of the gallery that live beside them, and the meaning of their values. The
// store that loads and saves them is TOptions (settings/options.h); the table of
// names, offered values and texts is OptionFields() (settings/option_fields.h).
//
// Fields stay plain integers: a hand-edited store may hold a value no list
// offers, and it is kept as it is. The enumerations name the values code tests.
#include <cstdint>

namespace settings {

namespace AutoChangeIcon {
enum : std::int32_t { NoIcon = 0, SmallIcon = 1, Clock = 2 };
}
namespace BackgroundType {
enum : std::int32_t { Original = 0, Shaded = 1, Embossed = 2, Smoothed = 3, Solid = 4 };
}
namespace PictureOrientation {
enum : std::int32_t { Centered = 0, BottomRight = 1, Collage = 2 };
}
namespace PictureSize {
enum : std::int32_t { Smaller = 0, Optimal = 1, Larger = 2, Maximum = 3 };
}
// A bit set.
namespace ColorInfluence {
enum : std::int32_t { Energetic = 1, Neutral = 2, Relaxing = 4, All = 7 };
}
namespace ColorLightness {
enum : std::int32_t { Darker = 0, Optimal = 1, Brighter = 2, Random = 3 };
}
namespace ColorSaturation {
enum : std::int32_t { Softer = 0, Optimal = 1, Deeper = 2, Random = 3 };
}
// Not chosen: the primary monitor's picture with one monitor, each its own with several.
namespace MonitorMode {
enum : std::int32_t { ByMonitorCount = -1, Primary = 0, EachOwn = 1, Same = 2 };
}

// The mode in force for that many monitors: what the user chose, else (and for a
// value no list offers) the default for the count.
constexpr std::int32_t EffectiveMonitorMode(std::int32_t chosen, int monitorCount)
{
    if (chosen >= MonitorMode::Primary && chosen <= MonitorMode::Same)
        return chosen;
    return monitorCount > 1 ? MonitorMode::EachOwn : MonitorMode::Primary;
}

} // namespace settings

struct TSettings {
    bool AutoChangeEnabled = true;
    std::int32_t AutoChangeInterval = 36; // hours
    std::int32_t AutoChangeIcon = settings::AutoChangeIcon::SmallIcon;
    std::int32_t BackgroundType = settings::BackgroundType::Original;
    std::int32_t PictureOrientation = settings::PictureOrientation::Centered;
    std::int32_t PictureSize = settings::PictureSize::Optimal;
    std::int32_t ColorInfluence = settings::ColorInfluence::All;
    std::int32_t ColorLightness = settings::ColorLightness::Optimal;
    std::int32_t ColorSaturation = settings::ColorSaturation::Optimal;
    std::int32_t DesktopsChanged = 0;
    double LastDesktopChangeTime = 0.0; // days since 30 December 1899 (core/datetime.h)

    // Stored under the product's key, beside the options (DesktopFields()).
    std::int32_t MonitorMode = settings::MonitorMode::ByMonitorCount;
    bool LockScreenToo = false; // the lock screen gets the exposition too, where the desktop allows
    bool FavouritesOnly = false;        // Random and the automatic change draw from the favourites
    bool NotifyAutomaticChange = false; // a desktop notification after each automatic change

    bool operator==(const TSettings&) const = default;
};
