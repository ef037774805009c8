#pragma once
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
Picture LoadPictureData(std::vector<std::uint8_t> data, std::string_view lowerExtension, std::string& error);

} // namespace graphics
