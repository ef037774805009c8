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

// Paths are the file system's bytes as they are: a name that is not valid UTF-8
// is taken like any other (NameText gives it as text).
CollectedSources CollectSources(const std::vector<std::string>& sources);

// A file name's bytes as UTF-8 text: as they are when valid UTF-8, else read as
// Latin-1 (names written by older systems), so "caf\xE9.jpg" reads "café.jpg".
std::string NameText(const std::string& name);

} // namespace packmaker
