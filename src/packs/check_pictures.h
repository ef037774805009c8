#pragma once
// Decoding every picture of a pack, as a check that the pack is whole: one run
// over the archive, so the time grows with the pack's size, not its square.
#include <functional>
#include <string>

struct TPack;
namespace graphics { class Picture; }

namespace packs {

// Calls done once for each picture of pack.Pictures (by its index), in archive
// order, with 0 and the decoded picture, or an error code of archive/errors.h and
// a sentence naming the picture (as LoadPicture gives them). Only one picture's
// data is held at a time.
void DecodeAllPictures(const TPack& pack,
                       const std::function<void(int index, int code, const graphics::Picture& picture,
                                                const std::string& detail)>& done);

} // namespace packs
