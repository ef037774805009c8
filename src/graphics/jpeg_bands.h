#pragma once
// A large picture is encoded as bands of whole rows of blocks on several cores,
// each band a baseline JPEG of its own, then joined into one file: the bands'
// entropy-coded data one after the other, a restart marker between them (so a
// decoder starts each band afresh, as its encoder did) and the whole picture's
// height in the frame header. Every block is coded as the one-piece encoder codes
// it, so the file decodes to the same pixels.
#include <cstddef>
#include <cstdint>
#include <span>

namespace graphics {

// Side of one block of the encoder's default 2 x 2 subsampled colour layout.
inline constexpr int kJpegMcuSide = 16;

struct JpegBands {
    int count = 1;    // 1: encode in one piece
    int rows = 0;     // pixel rows of each band but the last (a multiple of kJpegMcuSide)
    int interval = 0; // blocks between restart markers: one band's worth
};

// How to split a width x height picture for workers cores; one band for a picture
// too small to gain, or when a band would pass the 65535 blocks a restart
// interval can count.
JpegBands PlanJpegBands(int width, int height, int workers);

// Bytes enough for the joined file of these encoded bands.
std::size_t JoinedJpegRoom(std::span<const std::span<const std::uint8_t>> bands);

// Joins the encoded bands (in order, as PlanJpegBands laid them out) of a picture
// height pixels tall into out, of JoinedJpegRoom bytes, and returns the bytes
// written: 0 when a band is not a baseline JPEG file as the encoder writes them.
std::size_t JoinJpegBands(std::span<const std::span<const std::uint8_t>> bands, int height, int interval,
                          std::span<std::uint8_t> out);

} // namespace graphics
