#pragma once
// A view of 24-bit pixels (R, G, B bytes) that the kernels work on, and the few
// geometric types they share. The view does not own the pixels.
#include "core/pixel_view.h"

#include <QImage>

#include <cstddef>
#include <cstdint>
#include <functional>

namespace compose {

using core::PixelView;

// The pixels of a QImage::Format_RGB888 image (detaches it if it is shared).
PixelView ViewOf(QImage& image);

// A rectangle with exclusive right and bottom, the way the composer reasons.
struct TRect {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;
    int Width() const { return right - left; }
    int Height() const { return bottom - top; }
    bool operator==(const TRect&) const = default;
};

// Receives progress reports: -100 resets, other values are percentages of the
// current pass and may fall back to 0 (or below) when a new pass starts.
using Progress = std::function<void(int value)>;

} // namespace compose
