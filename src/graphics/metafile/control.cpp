// Control records: header, end of file, comments and escapes (inert), and the
// dispatch of a record to its family.
#include "graphics/metafile/families.h"
#include "graphics/metafile/player.h"
#include "graphics/metafile/records.h"

namespace graphics::metafile {

bool EmfControl(Player& p, std::uint32_t type, ByteCursor&)
{
    switch (type) {
    case emr::kHeader:      // read at load time
    case emr::kGdiComment:  // private data, including EMF+; the plain records follow anyway
        return true;
    case emr::kEof:
        p.Stop();
        return true;
    default: return false;
    }
}

bool WmfControl(Player& p, std::uint16_t function, ByteCursor&)
{
    switch (function) {
    case meta::kEscape: return true; // printer escapes and comments draw nothing
    case meta::kEof:
        p.Stop();
        return true;
    default: return false;
    }
}

void PlayEmfRecord(Player& p, std::uint32_t type, ByteCursor& c)
{
    EmfControl(p, type, c) || EmfObjects(p, type, c) || EmfState(p, type, c)
        || EmfTransforms(p, type, c) || EmfClipping(p, type, c) || EmfPaths(p, type, c)
        || EmfDrawing(p, type, c) || EmfBitmaps(p, type, c) || EmfText(p, type, c);
}

void PlayWmfRecord(Player& p, std::uint16_t function, ByteCursor& c)
{
    WmfControl(p, function, c) || WmfObjects(p, function, c) || WmfState(p, function, c)
        || WmfTransforms(p, function, c) || WmfClipping(p, function, c)
        || WmfDrawing(p, function, c) || WmfBitmaps(p, function, c) || WmfText(p, function, c);
}

} // namespace graphics::metafile
