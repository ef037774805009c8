#pragma once
// JPEG pictures through libjpeg: decoding from memory into a 24-bit bitmap, and
// encoding a bitmap into a file.
#include "graphics/picture_file.h"

#include <QImage>
#include <QString>

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace graphics {

enum class JpegError {
    None,
    NotJpeg,     // the data does not start like a JPEG file (or is empty)
    Truncated,   // the data ends before the picture does
    Damaged,     // the data breaks the format
    TooLarge,    // the picture would need more memory than allowed
    Unsupported, // a valid file this decoder cannot show (an unusual colour space)
};

// Bounds that keep a hostile file from exhausting the machine.
struct JpegLimits {
    std::size_t maxDecodedBytes = std::size_t{512} << 20; // the decoded bitmap
    long maxWorkingMemory = 1024L << 20;                  // libjpeg's own buffers
    int maxScans = 500;                                   // scans of a progressive file
    // Decode at 1/scaleDenominator of the size (1, 2, 4 or 8): libjpeg's scaled
    // inverse transform, far quicker for a picture that is shown small.
    int scaleDenominator = 1;
};

// The largest of 1, 2, 4 and 8 by which a picture of width x height may be reduced
// and still cover a canvas of the given size at full detail (1 for an unknown size).
int CoverScaleDenominator(int width, int height, int canvasWidth, int canvasHeight);

struct JpegImage {
    QImage image; // Format_RGB888; null on failure
    JpegError error = JpegError::None;
    std::string message; // empty on success
    bool ok() const { return error == JpegError::None; }
};

// True when data begins with the JPEG start-of-image marker.
bool LooksLikeJpeg(std::span<const std::uint8_t> data);

// Decodes baseline, progressive, greyscale, RGB, CMYK and YCCK pictures into RGB.
// Never ends the process: a damaged or truncated file gives an error and no image.
JpegImage DecodeJpeg(std::span<const std::uint8_t> data, const JpegLimits& limits = {});

// Encodes image (any format; alpha is dropped) as a baseline JPEG file with the
// given quality (1..100). Returns false and sets error on failure.
bool EncodeJpeg(const QImage& image, int quality, std::vector<std::uint8_t>& out, std::string& error);

// Encodes image and writes it to path atomically (see WritePictureFile).
core::Result<void> SaveJpeg(const QImage& image, const QString& path, int quality = 90);

} // namespace graphics
