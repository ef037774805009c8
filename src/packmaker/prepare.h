#pragma once
// Turning one source picture into the bytes of a pack entry. Runs on worker
// threads: it touches nothing but its own source and its own output file.
#include "packmaker/sources.h"

#include <string>

namespace packmaker {

struct PreparedPicture {
    bool Ok = false;
    std::string Error;     // why the picture could not be taken
    std::string DataPath;  // the file whose bytes become the entry: the source itself or `outputPath`
    std::string Extension; // of the entry: ".jpg", ".emf" or ".wmf"
    bool AsIs = false;     // the source goes in byte for byte
    int Width = 0, Height = 0;       // of the source, as stored
    int OutWidth = 0, OutHeight = 0; // of the entry, upright
};

// A JPEG that is upright and no larger than maxSide on its longer side goes in as
// it is; any other raster picture is turned upright by its EXIF orientation,
// reduced by area averaging so that its longer side is at most maxSide, and
// written to outputPath as a JPEG of quality 92. A transparent picture is laid
// on white. Metafiles are checked and go in as they are.
PreparedPicture PreparePicture(const SourceFile& source, int maxSide, const std::string& outputPath);

// The size that fits width x height into maxSide on the longer side (unchanged
// when it fits already); each side at least 1.
void FitInto(int width, int height, int maxSide, int& outWidth, int& outHeight);

} // namespace packmaker
