#pragma once
// Writing a pack archive with libzip: JPEG entries stored (they do not shrink),
// metafiles deflated, names in UTF-8 with the UTF-8 flag, every entry optionally
// encrypted with WinZip AES-256, the description as the archive comment.
//
// libzip writes nothing until Close, and then writes to a temporary file beside
// the target that it renames over it only once everything is in; a failed or
// cancelled Close leaves the target as it was and no temporary file behind.
#include <functional>
#include <string>

struct zip;

namespace packmaker {

class ArchiveWriter {
public:
    ArchiveWriter() = default;
    ~ArchiveWriter(); // discards what was not closed
    ArchiveWriter(const ArchiveWriter&) = delete;
    ArchiveWriter& operator=(const ArchiveWriter&) = delete;

    // Starts a new archive for `path` (an existing file there is replaced at Close).
    bool Open(const std::string& path, std::string& error);
    // The entry's bytes are read from `dataPath` at Close, so the file must stay
    // until then.
    bool Add(const std::string& entryName, const std::string& dataPath, bool deflate, const std::string& password,
             std::string& error);
    bool SetComment(const std::string& comment, std::string& error);

    // Writes the archive. `progress` gets 0..1; `cancelled` is asked as it goes and
    // stops the write when it returns true.
    bool Close(const std::function<void(double)>& progress, const std::function<bool()>& cancelled,
               std::string& error);
    void Discard();

    // False when this libzip cannot encrypt with AES-256.
    static bool CanEncrypt();

private:
    struct zip* archive_ = nullptr;
    std::function<void(double)> progress_;
    std::function<bool()> cancelled_;
};

} // namespace packmaker
