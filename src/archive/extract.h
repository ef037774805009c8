#pragma once
// Extraction of one entry into a file under the job's destination folder.
#include <cstdint>
#include <string>

namespace archiva {

class decoder;
class task;
class zip;
struct entry;
struct zip_entry;

// True for a stored name that stays inside the destination: relative, without ".."
// or empty components, without NUL.
bool IsSafeEntryName(const std::string& name);

// Writes `source` to `item.Name` (destination + stored name): folders are created,
// a file is decoded into a temporary file beside the target and renamed over it only
// when complete and checked, then given the entry's DOS time (as local time) and its
// read-only state. Errors go to job.Error; an unsafe name gives 123. Returns the CRC
// to compare with the directory's (the directory's own when nothing was decoded).
std::uint32_t ExtractEntry(decoder& decoding, zip& archive, const zip_entry& source, task& job,
                           entry& item);

// The DOS date and time (local time) as seconds since the epoch.
std::int64_t DosTimeToUnix(std::uint16_t date, std::uint16_t time);

} // namespace archiva
