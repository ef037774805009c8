#pragma once
// The EXIF orientation of a JPEG file (TIFF tag 0x0112 in the APP1 "Exif" segment)
// and turning a decoded picture upright by it. Cameras store pictures as the
// sensor saw them and record in this tag how they must be turned to be seen.
#include <QImage>

#include <cstdint>
#include <span>

namespace graphics {

// 1 (upright) to 8, as in EXIF 2.3, 4.6.4 A "Orientation"; 1 when the data holds
// no such tag or the segment is damaged. Reads only the markers before the image.
int JpegExifOrientation(std::span<const std::uint8_t> data);

// The frame size from the JPEG's start-of-frame marker, without decoding; false
// when no such marker comes before the first scan.
bool JpegFrameSize(std::span<const std::uint8_t> data, int& width, int& height);

// True for orientations 5 to 8, which swap width and height.
constexpr bool OrientationSwapsSides(int orientation) { return orientation >= 5 && orientation <= 8; }

// The picture turned upright by `orientation` (1 or an unknown value: unchanged).
QImage ApplyOrientation(const QImage& image, int orientation);

} // namespace graphics
