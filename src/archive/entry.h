#pragma once
// One entry of an archive's central directory.
#include <cstdint>
#include <string>

namespace archiva {

// What an extraction job does with an entry.
constexpr std::uint8_t ActionSkip = 4;
constexpr std::uint8_t ActionDeliver = 5; // decode and hand the bytes to task::OnData
constexpr std::uint8_t ActionExtract = 6; // decode into a file under the destination folder

// Method flags of entry::Method.
constexpr std::uint8_t MethodStored = 0x01;         // method 0
constexpr std::uint8_t MethodDeflated = 0x02;       // method 8
constexpr std::uint8_t MethodDeflate64 = 0x04;      // method 9 (not decoded)
constexpr std::uint8_t EncryptedTraditional = 0x08; // general-purpose bit 0, method not 99
constexpr std::uint8_t AesStrengthMask = 0x30;      // bits 4-5: 1, 2, 3 = AES-128/192/256
constexpr int AesStrengthShift = 4;

constexpr std::uint8_t AttributeReadOnly = 0x01;
constexpr std::uint8_t AttributeDirectory = 0x10;

struct entry {
    // The stored name as UTF-8: taken as UTF-8 when general-purpose bit 11 is set or
    // the bytes are valid UTF-8, else as code page 437. "/" separates folders.
    std::string Name;
    std::uint64_t UncompressedSize = 0;
    std::uint16_t Date = 0;       // DOS modification date
    std::uint16_t Time = 0;       // DOS modification time
    std::uint8_t Attributes = 0;  // low byte of the external attributes
    std::uint8_t Spare = 0;
    std::uint8_t Action = ActionSkip;
    std::uint8_t Method = 0;      // flags above

    // Directory attribute set, or a name ending in "/".
    bool IsDirectory() const;
    // 0 = not AES encrypted, else 1..3.
    int AesStrength() const { return (Method & AesStrengthMask) >> AesStrengthShift; }
    bool IsEncrypted() const { return (Method & EncryptedTraditional) || AesStrength() != 0; }
};

struct zip_entry : entry {
    std::uint32_t Crc = 0;
    std::uint64_t CompressedSize = 0;
    std::uint64_t Offset = 0;     // of the local header
    std::uint8_t AesVersion = 0;  // 1 (AE-1, CRC kept) or 2 (AE-2, no CRC); 0 when not AES
};

} // namespace archiva
