#include "archive/zip.h"

#include "core/byte_cursor.h"
#include "archive/decoder.h"
#include "archive/directory.h"
#include "archive/text.h"

#include <algorithm>
#include <cstring>
#include <limits>

namespace archiva {

bool entry::IsDirectory() const
{
    return (Attributes & AttributeDirectory) || (!Name.empty() && Name.back() == '/');
}

zip::zip(const std::string& path) : file(path), input_(BufferSize), output_(BufferSize) {}

zip::~zip() = default;

namespace {

// At most this many end-record candidates get a directory read: a tail crowded
// with stray signatures must not cost a directory read for each.
constexpr int kMaxCandidates = 16;

// Sequential reading of the directory region [position, end) in large chunks, handing
// out each record as one contiguous piece.
class region_reader {
public:
    region_reader(file& f, std::uint64_t position, std::uint64_t end)
        : file_(f), position_(position), end_(end) {}

    // The next n bytes, or nullptr when they are not all there (the region ends, or a
    // read failed, which leaves the error in the file).
    const unsigned char* Take(std::size_t n)
    {
        if (have_ - used_ < n && !Fill(n))
            return nullptr;
        used_ += n;
        return buffer_.data() + used_ - n;
    }

private:
    bool Fill(std::size_t n)
    {
        std::size_t keep = have_ - used_;
        std::uint64_t left = end_ - position_;
        if (n - keep > left)
            return false;
        std::size_t want = std::max<std::size_t>(n, kChunk);
        if (buffer_.size() < want)
            buffer_.resize(want);
        std::memmove(buffer_.data(), buffer_.data() + used_, keep);
        used_ = 0;
        have_ = keep;
        std::size_t read = std::size_t(std::min<std::uint64_t>(want - keep, left));
        if (!file_.Seek(position_))
            return false;
        std::size_t got = file_.Read(buffer_.data() + keep, read);
        position_ += got;
        have_ += got;
        return have_ >= n;
    }

    static constexpr std::size_t kChunk = 1 << 16;
    file& file_;
    std::uint64_t position_;
    std::uint64_t end_;
    std::vector<unsigned char> buffer_;
    std::size_t have_ = 0;
    std::size_t used_ = 0;
};

} // namespace

std::uint64_t zip::ReadDirectory()
{
    Comment.clear();
    Entries.clear();
    if (!IsOpen())
        return 0;
    const std::uint64_t size = Size();
    if (Error || size < EndRecordSize)
        return 0;

    const std::size_t tailSize = std::size_t(std::min<std::uint64_t>(size, EndSearchSize));
    std::vector<unsigned char> tail(tailSize);
    if (!Seek(size - tailSize) || Read(tail.data(), tailSize) != tailSize)
        return 0;

    int tried = 0;
    for (end_record& record : FindEndRecords(tail.data(), tailSize, size)) {
        if (++tried > kMaxCandidates)
            break;
        std::uint64_t directoryEnd = record.Position;
        if (record.NeedsZip64) {
            if (record.Position < Zip64LocatorSize)
                continue;
            unsigned char locator[Zip64LocatorSize];
            if (!Seek(record.Position - Zip64LocatorSize) || Read(locator, sizeof locator) != sizeof locator) {
                if (Error) return 0;
                continue;
            }
            auto position = Zip64RecordPosition(locator);
            if (!position || *position > record.Position)
                continue;
            unsigned char zip64[Zip64EndRecordSize];
            if (!Seek(*position) || Read(zip64, sizeof zip64) != sizeof zip64) {
                if (Error) return 0;
                continue;
            }
            if (!ApplyZip64(record, locator, zip64, *position))
                continue;
            directoryEnd = *position;
        }

        // The count is bounded by the region's size, so a lying count cannot make
        // this reserve more than the file could hold.
        std::vector<zip_entry> entries;
        entries.reserve(std::size_t(record.Count));
        region_reader reader(*this, record.DirectoryOffset, directoryEnd);
        std::uint64_t total = 0;
        bool complete = true;
        for (std::uint64_t i = 0; i < record.Count; ++i) {
            const unsigned char* header = reader.Take(CentralHeaderSize);
            if (!header || core::Le32(header) != SignatureCentralHeader) {
                complete = false;
                break;
            }
            std::size_t variable = std::size_t(core::Le16(header + 28)) + core::Le16(header + 30) + core::Le16(header + 32);
            // The record is copied: taking the variable part may move the buffer.
            unsigned char fixed[CentralHeaderSize];
            std::memcpy(fixed, header, CentralHeaderSize);
            const unsigned char* rest = reader.Take(variable);
            if (!rest) {
                complete = false;
                break;
            }
            auto parsed = ParseCentralHeader(fixed, rest, variable);
            if (!parsed) {
                complete = false;
                break;
            }
            const std::uint64_t max = std::numeric_limits<std::uint64_t>::max();
            total = parsed->UncompressedSize > max - total ? max : total + parsed->UncompressedSize;
            entries.push_back(std::move(*parsed));
        }
        if (Error)
            return 0; // the file itself failed: no fallback can help
        if (!complete)
            continue;
        Entries = std::move(entries);
        Comment = StoredTextToUtf8(reinterpret_cast<const unsigned char*>(record.CommentBytes.data()),
                                   record.CommentBytes.size(), false);
        return total;
    }
    return 0;
}

} // namespace archiva
