#include "archive/traditional_crypto.h"

#include <array>

namespace archiva {

namespace {

// The reflected CRC-32 table (polynomial 0xEDB88320). The key update takes one raw
// table step per byte, without the pre- and post-inversion of a whole CRC.
constexpr std::array<std::uint32_t, 256> MakeCrcTable()
{
    std::array<std::uint32_t, 256> table{};
    for (std::uint32_t n = 0; n < 256; ++n) {
        std::uint32_t c = n;
        for (int k = 0; k < 8; ++k)
            c = (c & 1) ? 0xEDB88320u ^ (c >> 1) : c >> 1;
        table[n] = c;
    }
    return table;
}
constexpr auto kCrcTable = MakeCrcTable();

inline std::uint32_t CrcStep(std::uint32_t crc, unsigned char b)
{
    return kCrcTable[(crc ^ b) & 0xFF] ^ (crc >> 8);
}

} // namespace

void traditional_crypto::Update(unsigned char plain)
{
    keys_[0] = CrcStep(keys_[0], plain);
    keys_[1] = (keys_[1] + (keys_[0] & 0xFF)) * 134775813u + 1;
    keys_[2] = CrcStep(keys_[2], static_cast<unsigned char>(keys_[1] >> 24));
}

void traditional_crypto::Init(const std::string& password)
{
    keys_[0] = 0x12345678u;
    keys_[1] = 0x23456789u;
    keys_[2] = 0x34567890u;
    for (char c : password)
        Update(static_cast<unsigned char>(c));
}

void traditional_crypto::Decrypt(unsigned char* data, std::size_t size)
{
    for (std::size_t i = 0; i < size; ++i) {
        unsigned char plain = data[i] ^ StreamByte();
        Update(plain);
        data[i] = plain;
    }
}

void traditional_crypto::Encrypt(unsigned char* data, std::size_t size)
{
    for (std::size_t i = 0; i < size; ++i) {
        unsigned char plain = data[i];
        data[i] = plain ^ StreamByte();
        Update(plain);
    }
}

bool traditional_crypto::DecryptHeader(unsigned char* header, std::uint16_t dosTime,
                                       std::uint32_t crc)
{
    Decrypt(header, HeaderSize);
    bool timeMatches = header[10] == (dosTime & 0xFF) && header[11] == (dosTime >> 8);
    bool crcMatches = header[11] == (crc >> 24);
    return timeMatches || crcMatches;
}

} // namespace archiva
