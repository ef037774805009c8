#pragma once
// Traditional PKWARE encryption (ZIP application note, section "Traditional PKWARE
// Decryption"): three 32-bit keys driven by the password and the plain bytes.
#include <cstddef>
#include <cstdint>
#include <string>

namespace archiva {

class traditional_crypto {
public:
    static constexpr std::size_t HeaderSize = 12;

    void Init(const std::string& password);
    void Decrypt(unsigned char* data, std::size_t size);
    // Encryption is kept for tests and benchmarks that build archives themselves.
    void Encrypt(unsigned char* data, std::size_t size);

    // Decrypts the 12-byte encryption header in place and checks it: bytes 10 and 11
    // equal the entry's DOS time (writers that stream with a data descriptor), or
    // byte 11 equals the high byte of the CRC (writers that know the CRC up front).
    bool DecryptHeader(unsigned char* header, std::uint16_t dosTime, std::uint32_t crc);

private:
    void Update(unsigned char plain);
    unsigned char StreamByte() const
    {
        std::uint32_t temp = (keys_[2] | 2) & 0xFFFF;
        return static_cast<unsigned char>((temp * (temp ^ 1)) >> 8);
    }
    std::uint32_t keys_[3] = {};
};

} // namespace archiva
