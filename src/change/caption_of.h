#pragma once
// A pack picture's record in the form the composer writes captions from.
#include "compose/captions.h"
#include "packs/pic.h"

namespace change {

// The longest description a change reports and the window's Export proposes as a name.
inline constexpr int kDescriptionLength = 120;

inline compose::PictureCaption CaptionOf(const TPic& record)
{
    return {QString::fromStdString(record.Title), QString::fromStdString(record.Author), record.Year};
}

// compose::ShortDescription of a pack picture.
inline QString ShortDescriptionOf(const TPic& record, int maximum)
{
    return compose::ShortDescription(CaptionOf(record), maximum);
}

} // namespace change
