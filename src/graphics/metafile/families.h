#pragma once
// One handler per record family and format. Each returns false when the record type
// is not its own; the cursor covers the whole record and stands after its type and
// size fields. A handler reads all it needs, checks the cursor once, then acts: a
// record too short for its fields is skipped.
#include "core/byte_cursor.h"

#include <cstdint>

namespace graphics::metafile {
using core::ByteCursor;

class Player;

bool EmfControl(Player& p, std::uint32_t type, ByteCursor& c);
bool EmfObjects(Player& p, std::uint32_t type, ByteCursor& c);
bool EmfState(Player& p, std::uint32_t type, ByteCursor& c);
bool EmfTransforms(Player& p, std::uint32_t type, ByteCursor& c);
bool EmfClipping(Player& p, std::uint32_t type, ByteCursor& c);
bool EmfPaths(Player& p, std::uint32_t type, ByteCursor& c);
bool EmfDrawing(Player& p, std::uint32_t type, ByteCursor& c);
bool EmfBitmaps(Player& p, std::uint32_t type, ByteCursor& c);
bool EmfText(Player& p, std::uint32_t type, ByteCursor& c);

bool WmfControl(Player& p, std::uint16_t function, ByteCursor& c);
bool WmfObjects(Player& p, std::uint16_t function, ByteCursor& c);
bool WmfState(Player& p, std::uint16_t function, ByteCursor& c);
bool WmfTransforms(Player& p, std::uint16_t function, ByteCursor& c);
bool WmfClipping(Player& p, std::uint16_t function, ByteCursor& c);
bool WmfDrawing(Player& p, std::uint16_t function, ByteCursor& c);
bool WmfBitmaps(Player& p, std::uint16_t function, ByteCursor& c);
bool WmfText(Player& p, std::uint16_t function, ByteCursor& c);

// Both formats: every family in turn; unknown records are skipped.
void PlayEmfRecord(Player& p, std::uint32_t type, ByteCursor& c);
void PlayWmfRecord(Player& p, std::uint16_t function, ByteCursor& c);

} // namespace graphics::metafile
