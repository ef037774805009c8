#pragma once
// Making an art pack from pictures: each picture is prepared on a worker thread
// (decoded, turned upright, reduced, encoded; see prepare.h), named so that the
// pack reader gives back its title, year and author (entry_name.h), and the
// archive is written with libzip (archive_writer.h). Memory stays bounded by a few
// pictures at a time: prepared entries wait in files, not in memory.
#include "core/result.h"
#include "packmaker/entry_name.h"
#include "packmaker/sources.h"

#include <atomic>
#include <functional>
#include <map>
#include <string>
#include <vector>

namespace packmaker {

// Where a picture comes from (a museum's record), kept in the pack's source entry.
struct WorkSource {
    std::string Page;    // the museum's page of the work
    std::string Credit;  // its credit line
    std::string Licence;
    std::string Id;      // the museum's identifier, so a renewal knows what the pack holds
    std::string Added;   // when the work came into the pack (ISO 8601), so the oldest leave first
};

// The pack's entry that holds each picture's source and whole title: JSON, keyed
// by the picture's entry name. No picture extension, so the reader never takes it
// for a picture. Beside the pictures' entries it may hold kRetiredKey.
inline constexpr const char* kSourcesEntryName = "sources.json";
// In the source entry: the identifiers of works that left a fresh pack, oldest
// first, so its renewals do not take them back. No picture's entry name can be it.
inline constexpr const char* kRetiredKey = "retired";

// Entry names are kept to this many bytes, as file systems keep file names.
inline constexpr std::size_t kMaxEntryNameBytes = 255;

struct MakeRequest {
    std::vector<std::string> Sources; // picture files and folders
    std::string Name;                 // the pack's display name (required)
    std::string Author;
    std::string Label;
    int Icon = 0;
    std::string Output;   // the archive to write
    std::string Password; // empty: not encrypted
    int MaxSide = 4096;
    std::string CsvPath;  // optional records by file
    // Records by source path, for callers that know each picture's title, year and
    // author (a museum's record): taken as they are, before names, metadata and CSV.
    std::map<std::string, PictureRecord> Records;
    // Sources by source path, written to the pack's source entry.
    std::map<std::string, WorkSource> WorkSources;
    // Written to the source entry under kRetiredKey when not empty.
    std::vector<std::string> RetiredIds;
    // The works are public domain: the description says "Credit=plain", and
    // captions credit the artist without the copyright sign.
    bool PlainCredit = false;
    int Threads = 0;      // 0: one per core
};

struct TakenPicture {
    std::string Source;
    std::string EntryName;
    PictureRecord Record;
    bool AsIs = false;
    int Width = 0, Height = 0, OutWidth = 0, OutHeight = 0;
};

struct MakeProgress {
    int Done = 0;  // pictures in
    int Total = 0; // pictures to take
    const TakenPicture* Picture = nullptr; // the one just taken; null while writing
    double Writing = 0; // 0..1 while the archive is written
};

// A pack made: the archive written, the pictures taken and the files left out.
struct MadePack {
    std::string Archive;
    std::vector<TakenPicture> Taken;
    std::vector<SkippedFile> Skipped;
};

// An entry stem cut to fit kMaxEntryNameBytes with the extension and a folder
// prefix of `reserve` bytes, at a character boundary; unchanged when it fits.
std::string FitEntryStem(const std::string& stem, std::size_t reserve);

// The pack description, in the form the pack reader expects as the comment.
std::string PackDescription(const MakeRequest& request);

// A file name for a pack of that display name: characters file systems or the
// shell make trouble of replaced, ".zip" added.
std::string PackFileName(const std::string& name);

// Makes the pack. `progress` runs on the calling thread. `cancel` is read as the
// work goes; when it turns true the make stops with 1223 (cancelled) and leaves
// nothing behind. On any failure the output file is left as it was (absent or an
// older pack), the error names the file and the reason, and soFar (when given)
// receives the files left out until then.
core::Result<MadePack> MakePack(const MakeRequest& request, const std::function<void(const MakeProgress&)>& progress = {},
                                const std::atomic<bool>* cancel = nullptr, MadePack* soFar = nullptr);

} // namespace packmaker
