#pragma once
// The eleven settings as a plain value, and the meaning of their values. The
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

    bool operator==(const TSettings&) const = default;
};
