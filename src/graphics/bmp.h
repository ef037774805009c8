#pragma once
// Writing Windows bitmap files: uncompressed, 24 bits per pixel, bottom-up rows
// padded to four bytes, as every program that reads BMP understands.
#include "graphics/picture_file.h"

#include <QImage>
#include <QString>

#include <cstdint>
#include <string>
#include <vector>

namespace graphics {

// Encodes image (any format; alpha is dropped) as a BMP file in memory. Returns
// false and sets error when there is no picture or it is too large for the format.
bool EncodeBmp(const QImage& image, std::vector<std::uint8_t>& out, std::string& error);

// Encodes image and writes it to path atomically (see WritePictureFile).
core::Result<void> SaveBmp(const QImage& image, const QString& path);

} // namespace graphics
