#pragma once
// The parts of reading an archive's directory that work on bytes alone, apart from
// the file, so they are tested and fuzzed directly.
#include "archive/entry.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace archiva {

constexpr std::uint32_t SignatureEndRecord = 0x06054b50;
constexpr std::uint32_t SignatureZip64Locator = 0x07064b50;
constexpr std::uint32_t SignatureZip64EndRecord = 0x06064b50;
constexpr std::uint32_t SignatureCentralHeader = 0x02014b50;
constexpr std::uint32_t SignatureLocalHeader = 0x04034b50;
constexpr std::size_t EndRecordSize = 22;
constexpr std::size_t Zip64LocatorSize = 20;
constexpr std::size_t Zip64EndRecordSize = 56;
constexpr std::size_t CentralHeaderSize = 46;
constexpr std::size_t LocalHeaderSize = 30;
// The tail searched for the end record: the record and the longest comment.
constexpr std::size_t EndSearchSize = EndRecordSize + 0xFFFF;

struct end_record {
    std::uint64_t Position = 0;        // file offset of the record
    std::uint64_t DirectoryOffset = 0;
    std::uint64_t Count = 0;
    bool NeedsZip64 = false;           // offset or count must come from the ZIP64 record
    std::string CommentBytes;          // raw, as stored (possibly cut, see FindEndRecords)
};

// Every plausible end record in `tail` (the last `tailSize` bytes of a file of
// `fileSize` bytes), the last one first: callers try them in turn, so a stray
// signature inside a comment cannot hide the real record. A candidate lies wholly in
// the file, names disk 0 for itself and its directory, and (unless ZIP64 values are
// still to come) has a directory that starts before it and can hold its count.
// A comment running past the end of the file is cut at the file's end when the file
// is shorter than 65535 bytes, and taken as empty otherwise.
std::vector<end_record> FindEndRecords(const unsigned char* tail, std::size_t tailSize,
                                       std::uint64_t fileSize);

// Completes a candidate from its ZIP64 locator (the 20 bytes before the record) and
// the 56-byte ZIP64 end record it points to. False when either is not valid.
bool ApplyZip64(end_record& record, const unsigned char* locator,
                const unsigned char* zip64Record, std::uint64_t zip64Position);
// Where the locator says the ZIP64 end record lies; nullopt when it is no locator.
std::optional<std::uint64_t> Zip64RecordPosition(const unsigned char* locator);

// Builds an entry from a 46-byte central header and the name, extra and comment
// bytes behind it. nullopt when needed ZIP64 values are missing.
std::optional<zip_entry> ParseCentralHeader(const unsigned char* header,
                                            const unsigned char* variable, std::size_t variableSize);

} // namespace archiva
