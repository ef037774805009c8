#pragma once
#include <QSize>
// Decoding one picture of a pack into a picture object.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

struct TPack;
namespace graphics {
class Picture;
}

namespace packs {

// The largest picture entry we read into memory. Real pictures are a few
// megabytes; a damaged or hostile archive may declare (or inflate to) gigabytes.
constexpr std::uint64_t MaxPictureBytes = 256ull << 20;

// Decodes picture `index` of pack.Pictures into `target`: a raster bitmap for
// ".jpg", a metafile for ".wmf" and ".emf". `target` is cleared first and stays
// empty on failure. Returns 0 or an error code of archive/errors.h:
//   the archive reader's code (2 file gone, 23 damaged data, 1216 wrong password,
//   1630 unsupported method, ...);
//   2 when the entry is no longer in the archive;
//   23 when the data is no picture of its kind or the entry is empty;
//   223 when the entry is larger than MaxPictureBytes;
//   87 when `index` is outside Pictures.
// `detail`, when given, receives a sentence for the user naming the picture and
// what went wrong (empty on success).
// The pack record is not touched after the call has started, so a copy of it may
// be read on any thread.
// canvas, when given, is the largest canvas the picture is for: a JPEG picture
// much larger than that is decoded reduced.
int LoadPicture(const TPack& pack, graphics::Picture& target, int index, std::string* detail = nullptr,
                QSize canvas = {});

// The decoding step of LoadPicture for bytes already read from the entry
// entryName of the archive at archivePath: 0 and the picture, or 23 with detail
// (when given) naming the picture and the reason.
int DecodePackEntry(std::vector<std::uint8_t> bytes, const std::string& entryName, const std::string& archivePath,
                    graphics::Picture& target, std::string* detail = nullptr, QSize canvas = {});

// The bytes of one entry, matched by name byte for byte; same codes as above.
int ReadPackEntry(const std::string& archivePath, const std::string& entryName, const std::string& password,
                  std::vector<std::uint8_t>& bytes, std::string* detail = nullptr);

// Whether password opens picture `index` of the pack (the first picture when index
// is outside Pictures): 0 when it does, 1216 when it is wrong, another code of
// archive/errors.h when the entry cannot be read for another reason.
int CheckPackPassword(const TPack& pack, const std::string& password, int index = 0);

} // namespace packs

// The name used throughout the program.
using packs::LoadPicture;
