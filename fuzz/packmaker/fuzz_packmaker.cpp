// The pack maker's readers of outside data: the EXIF orientation and frame size of
// a JPEG, and the CSV of picture records. Any bytes give a value in range or an
// error, never a crash or an endless loop. The same bytes also go through the
// entry-name writer, whose output the pack reader must read back unsplit.
#include "graphics/exif_orientation.h"
#include "packmaker/csv_records.h"
#include "packmaker/entry_name.h"
#include "packs/pic.h"

#include <cstdint>
#include <cstdlib>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const int orientation = graphics::JpegExifOrientation({data, size});
    if (orientation < 1 || orientation > 8)
        std::abort();
    int w = 0, h = 0;
    if (graphics::JpegFrameSize({data, size}, w, h) && (w <= 0 || h <= 0))
        std::abort();

    const std::string_view text(reinterpret_cast<const char*>(data), size);
    const packmaker::CsvRecords csv = packmaker::ParseCsvRecords(text);
    if (!csv.error.empty() && !csv.byFile.empty())
        std::abort();

    packmaker::PictureRecord record;
    record.Year = 1900;
    record.Title = std::string(text.substr(0, size / 2));
    record.Author = std::string(text.substr(size / 2));
    const TPic pic = ParsePictureName(packmaker::EntryStem(record) + ".jpg");
    if (pic.Year != 1900)
        std::abort();
    return 0;
}
