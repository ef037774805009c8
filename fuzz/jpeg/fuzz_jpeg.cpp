// Feeds arbitrary bytes to the JPEG decoder: it must return an error or a picture
// of the declared size, never crash, hang or end the process.
#include "graphics/jpeg.h"

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    // Smaller limits than the program's keep each run quick; the checks are the same.
    graphics::JpegLimits limits;
    limits.maxDecodedBytes = std::size_t{16} << 20;
    limits.maxWorkingMemory = 64L << 20;
    limits.maxScans = 100;
    const graphics::JpegImage r = graphics::DecodeJpeg({data, size}, limits);
    if (r.ok() == r.image.isNull())
        std::abort();
    if (r.ok() && (r.image.format() != QImage::Format_RGB888 || !r.message.empty()))
        std::abort();
    if (!r.ok() && r.message.empty())
        std::abort();
    return 0;
}
