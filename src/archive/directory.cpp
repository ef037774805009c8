#include "archive/directory.h"

#include "core/byte_cursor.h"
#include "archive/text.h"

namespace archiva {

namespace {
constexpr std::uint16_t kExtraZip64 = 0x0001;
constexpr std::uint16_t kExtraAes = 0x9901;
constexpr std::uint16_t kAesVendor = 0x4541; // "AE"
constexpr std::uint16_t kMethodAes = 99;
constexpr std::uint16_t kFlagEncrypted = 0x0001;
constexpr std::uint16_t kFlagStrongEncryption = 0x0040;
constexpr std::uint16_t kFlagUtf8 = 0x0800;

std::uint8_t MethodFlag(std::uint16_t method)
{
    switch (method) {
    case 0: return MethodStored;
    case 8: return MethodDeflated;
    case 9: return MethodDeflate64;
    default: return 0; // anything else is not decoded (1630)
    }
}
} // namespace

std::vector<end_record> FindEndRecords(const unsigned char* tail, std::size_t tailSize,
                                       std::uint64_t fileSize)
{
    std::vector<end_record> found;
    if (tailSize < EndRecordSize || tailSize > fileSize)
        return found;
    const std::uint64_t tailStart = fileSize - tailSize;
    for (std::size_t i = tailSize - EndRecordSize + 1; i-- > 0;) {
        const unsigned char* p = tail + i;
        if (core::Le32(p) != SignatureEndRecord)
            continue;
        core::ByteCursor c(p + 4, EndRecordSize - 4);
        std::uint16_t disk = c.U16();
        std::uint16_t directoryDisk = c.U16();
        c.U16(); // entries on this disk
        std::uint16_t count = c.U16();
        c.U32(); // directory size: not trusted, the entries are read one by one
        std::uint32_t offset = c.U32();
        std::uint16_t commentLength = c.U16();
        if (disk != 0 || directoryDisk != 0)
            continue;

        end_record r;
        r.Position = tailStart + i;
        r.DirectoryOffset = offset;
        r.Count = count;
        r.NeedsZip64 = offset == 0xFFFFFFFFu || count == 0xFFFF;
        if (!r.NeedsZip64 && (r.DirectoryOffset > r.Position ||
                              r.Count > (r.Position - r.DirectoryOffset) / CentralHeaderSize))
            continue;

        const std::size_t room = tailSize - i - EndRecordSize;
        if (commentLength <= room)
            r.CommentBytes.assign(reinterpret_cast<const char*>(p + EndRecordSize), commentLength);
        else if (fileSize < 0xFFFF)
            r.CommentBytes.assign(reinterpret_cast<const char*>(p + EndRecordSize), room);
        // A comment is text: it ends at its first NUL byte.
        if (auto nul = r.CommentBytes.find('\0'); nul != std::string::npos)
            r.CommentBytes.resize(nul);
        found.push_back(std::move(r));
    }
    return found;
}

std::optional<std::uint64_t> Zip64RecordPosition(const unsigned char* locator)
{
    core::ByteCursor c(locator, Zip64LocatorSize);
    std::uint32_t signature = c.U32();
    std::uint32_t disk = c.U32();
    std::uint64_t position = c.U64();
    std::uint32_t disks = c.U32();
    if (signature != SignatureZip64Locator || disk != 0 || disks != 1)
        return std::nullopt;
    return position;
}

bool ApplyZip64(end_record& record, const unsigned char* locator,
                const unsigned char* zip64Record, std::uint64_t zip64Position)
{
    auto position = Zip64RecordPosition(locator);
    if (!position || *position != zip64Position || zip64Position + Zip64EndRecordSize > record.Position)
        return false;
    core::ByteCursor c(zip64Record, Zip64EndRecordSize);
    std::uint32_t signature = c.U32();
    c.U64(); // size of the record
    c.U16(); // version made by
    c.U16(); // version needed
    std::uint32_t disk = c.U32();
    std::uint32_t directoryDisk = c.U32();
    std::uint64_t countHere = c.U64();
    std::uint64_t countTotal = c.U64();
    c.U64(); // directory size
    std::uint64_t offset = c.U64();
    if (signature != SignatureZip64EndRecord || disk != 0 || directoryDisk != 0 ||
        countHere != countTotal)
        return false;
    if (record.DirectoryOffset == 0xFFFFFFFFu)
        record.DirectoryOffset = offset;
    if (record.Count == 0xFFFF)
        record.Count = countTotal & 0xFFFFFFFFu;
    // The directory lies before the ZIP64 record and must hold the count.
    if (record.DirectoryOffset > zip64Position ||
        record.Count > (zip64Position - record.DirectoryOffset) / CentralHeaderSize)
        return false;
    record.NeedsZip64 = false;
    return true;
}

std::optional<zip_entry> ParseCentralHeader(const unsigned char* header,
                                            const unsigned char* variable, std::size_t variableSize)
{
    core::ByteCursor c(header, CentralHeaderSize);
    c.U32(); // signature, checked by the caller
    c.U16(); // version made by
    c.U16(); // version needed
    std::uint16_t flags = c.U16();
    std::uint16_t method = c.U16();
    zip_entry e;
    e.Time = c.U16();
    e.Date = c.U16();
    e.Crc = c.U32();
    std::uint32_t compressed = c.U32();
    std::uint32_t uncompressed = c.U32();
    std::uint16_t nameLength = c.U16();
    std::uint16_t extraLength = c.U16();
    std::uint16_t commentLength = c.U16();
    c.U16(); // disk of the entry
    c.U16(); // internal attributes
    e.Attributes = static_cast<std::uint8_t>(c.U32() & 0xFF);
    std::uint32_t offset = c.U32();
    if (std::size_t(nameLength) + extraLength + commentLength > variableSize)
        return std::nullopt;
    e.CompressedSize = compressed;
    e.UncompressedSize = uncompressed;
    e.Offset = offset;

    if (flags & kFlagStrongEncryption)
        e.Method = 0; // strong encryption is not supported: no method is decodable
    else
        e.Method = MethodFlag(method);
    if ((flags & kFlagEncrypted) && method != kMethodAes)
        e.Method |= EncryptedTraditional;
    e.Name = StoredTextToUtf8(variable, nameLength, flags & kFlagUtf8);

    const bool needUncompressed = uncompressed == 0xFFFFFFFFu;
    const bool needCompressed = compressed == 0xFFFFFFFFu;
    const bool needOffset = offset == 0xFFFFFFFFu;
    const std::size_t needed = 8 * (needUncompressed + needCompressed + needOffset);
    bool zip64Found = needed == 0;
    bool aesFound = method != kMethodAes;

    core::ByteCursor extra(variable + nameLength, extraLength);
    while (extra.Remaining() >= 4 && (!zip64Found || !aesFound)) {
        std::uint16_t id = extra.U16();
        std::uint16_t size = extra.U16();
        const unsigned char* data = extra.Bytes(size);
        if (!data)
            break; // a block running past the extra field ends the scan
        if (id == kExtraZip64 && !zip64Found && size >= needed) {
            core::ByteCursor z(data, size);
            if (needUncompressed) e.UncompressedSize = z.U64();
            if (needCompressed) e.CompressedSize = z.U64();
            if (needOffset) e.Offset = z.U64();
            zip64Found = true;
        } else if (id == kExtraAes && !aesFound && size > 6) {
            core::ByteCursor a(data, size);
            std::uint16_t version = a.U16();
            std::uint16_t vendor = a.U16();
            std::uint8_t strength = a.U8();
            std::uint16_t actual = a.U16();
            // AE-2 leaves the CRC out; AE-1 (which some writers still pick) keeps it.
            if ((version == 1 || version == 2) && vendor == kAesVendor && strength >= 1 &&
                strength <= 3) {
                e.Method = static_cast<std::uint8_t>(MethodFlag(actual) | (strength << AesStrengthShift));
                e.AesVersion = static_cast<std::uint8_t>(version);
                aesFound = true;
            }
        }
    }
    if (!zip64Found)
        return std::nullopt;
    return e;
}

} // namespace archiva
