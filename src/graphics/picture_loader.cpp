#include "graphics/picture_loader.h"

#include "graphics/exif_orientation.h"
#include "graphics/jpeg.h"
#include "graphics/metafile/metafile.h"

#include <utility>

namespace graphics {

Picture LoadPictureData(std::vector<std::uint8_t> data, std::string_view lowerExtension, std::string& error,
                        QSize canvas)
{
    error.clear();
    // An entry that vanished from its archive arrives as no data at all.
    if (data.empty()) {
        error = "The picture holds no data";
        return {};
    }
    if (lowerExtension == ".jpg") {
        // A camera's picture is shown as it was taken, not as the sensor lay.
        const int orientation = JpegExifOrientation(data);
        JpegLimits limits;
        int width = 0, height = 0;
        if (canvas.isValid() && JpegFrameSize(data, width, height)) {
            if (OrientationSwapsSides(orientation))
                std::swap(width, height);
            limits.scaleDenominator = CoverScaleDenominator(width, height, canvas.width(), canvas.height());
        }
        JpegImage decoded = DecodeJpeg(data, limits);
        if (!decoded.ok()) {
            error = decoded.message;
            return {};
        }
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
