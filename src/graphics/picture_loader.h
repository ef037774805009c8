#pragma once
#include <QSize>
// Turning the bytes of a pack entry into a picture, chosen by the entry's extension.
#include "graphics/picture.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace graphics {

// lowerExtension is the entry's extension in lower case with its dot: ".jpg"
// decodes a JPEG into a raster picture, ".wmf" and ".emf" load a metafile. Any
// other extension, empty data or a picture that cannot be read gives an empty
// picture and sets error to a sentence saying why.
// canvas, when given, is the largest canvas the picture will be drawn on: a JPEG
// picture much larger than it is decoded reduced (see CoverScaleDenominator).
Picture LoadPictureData(std::vector<std::uint8_t> data, std::string_view lowerExtension, std::string& error,
                        QSize canvas = {});

} // namespace graphics
