#pragma once
// The pictures a pack is made from: files named on the command line or found in
// folders (recursively, in name order), sorted into the kinds the maker takes.
#include <string>
#include <vector>

namespace packmaker {

enum class SourceKind {
    Jpeg,     // decoded by libjpeg; may go in byte for byte
    Raster,   // PNG, WebP, TIFF, BMP, GIF: through Qt's image plugins
    Metafile, // EMF, WMF: go in as they are
};

struct SourceFile {
    std::string Path;     // absolute
    std::string Relative; // to the folder it was found in (the file name for a named file)
    SourceKind Kind = SourceKind::Jpeg;
};

struct SkippedFile {
    std::string Path;
    std::string Reason;
};

struct CollectedSources {
    std::vector<SourceFile> Pictures;
    std::vector<SkippedFile> Skipped;
};

// The kind for a file name's extension (any case); false for other files.
bool KindForName(const std::string& fileName, SourceKind& kind);

CollectedSources CollectSources(const std::vector<std::string>& sources);

} // namespace packmaker
