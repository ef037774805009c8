#include "graphics/picture_loader.h"

#include "graphics/exif_orientation.h"
#include "graphics/jpeg.h"
#include "graphics/metafile/metafile.h"

namespace graphics {

Picture LoadPictureData(std::vector<std::uint8_t> data, std::string_view lowerExtension, std::string& error)
{
    error.clear();
    // An entry that vanished from its archive arrives as no data at all.
    if (data.empty()) {
        error = "The picture holds no data";
        return {};
    }
    if (lowerExtension == ".jpg") {
        JpegImage decoded = DecodeJpeg(data);
        if (!decoded.ok()) {
            error = decoded.message;
            return {};
        }
        // A camera's picture is shown as it was taken, not as the sensor lay.
        const int orientation = JpegExifOrientation(data);
        if (orientation != 1)
            return Picture::FromImage(ApplyOrientation(decoded.image, orientation));
        return Picture::FromImage(decoded.image);
    }
    if (lowerExtension == ".wmf" || lowerExtension == ".emf") {
        std::shared_ptr<const Metafile> metafile = Metafile::Load(std::move(data), error);
        if (!metafile) {
            if (error.empty())
                error = "The metafile cannot be read";
            return {};
        }
        return Picture::FromMetafile(std::move(metafile));
    }
    error = "Unknown picture type \"" + std::string(lowerExtension) + "\"";
    return {};
}

} // namespace graphics
