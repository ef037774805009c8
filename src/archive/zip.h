#pragma once
// One open ZIP archive: its comment and central directory, and the buffers used to
// decode its entries. Read-only; lives for one use (nothing stays open between calls).
#include "archive/entry.h"
#include "archive/file.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace archiva {

class task;
class decoder;

constexpr std::size_t BufferSize = 65535;

class zip : public file {
public:
    // Opens an existing archive read-only; an open failure stays in `Error`.
    explicit zip(const std::string& path);
    ~zip();

    // Fills `Comment` and `Entries`; returns the sum of the uncompressed sizes.
    // An archive without a valid end record or with a damaged directory reads as
    // empty (no entries, empty comment, 0) without setting `Error`; a failed read
    // of the file itself does set `Error`.
    std::uint64_t ReadDirectory();

    std::string Comment; // UTF-8, see entry::Name for the conversion
    std::vector<zip_entry> Entries;
    task* Task = nullptr; // the job running on this archive, if any

private:
    friend class task;
    friend class decoder;
    std::vector<unsigned char> input_;
    std::vector<unsigned char> output_;
    std::unique_ptr<decoder> decoder_; // zlib stream and decryption state, made on demand
};

} // namespace archiva
