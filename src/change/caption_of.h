#pragma once
// A pack picture's record in the form the composer writes captions from.
#include "compose/captions.h"
#include "packs/pic.h"

namespace change {

// The longest description a change reports and the window's Export proposes as a name.
inline constexpr int kDescriptionLength = 120;

inline compose::PictureCaption CaptionOf(const TPic& record, bool plainCredit = false)
{
    compose::PictureCaption caption{QString::fromStdString(record.Title), QString::fromStdString(record.Author),
                                    record.Year};
    caption.PlainCredit = plainCredit;
    return caption;
}

// compose::ShortDescription of a pack picture.
inline QString ShortDescriptionOf(const TPic& record, int maximum)
{
    return compose::ShortDescription(CaptionOf(record), maximum);
}

} // namespace change
