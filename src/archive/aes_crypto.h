#pragma once
// WinZip AES encryption (AE-1/AE-2): PBKDF2-HMAC-SHA1 with 1000 iterations gives the
// AES key, the HMAC key and a 2-byte password verifier, in that order. Data is AES in
// WinZip's counter mode: the counter block holds a little-endian count in its first
// 8 bytes, starting at 1, so a standard big-endian CTR mode does not fit; counter
// blocks are encrypted with AES-ECB and XORed. The HMAC-SHA1 covers the encrypted
// bytes; its first 10 bytes follow the data.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

typedef struct evp_cipher_ctx_st EVP_CIPHER_CTX;
typedef struct evp_mac_st EVP_MAC;
typedef struct evp_mac_ctx_st EVP_MAC_CTX;

namespace archiva {

struct crypto_functions; // crypto_library.h

class aes_crypto {
public:
    static constexpr std::size_t VerifierSize = 2;
    static constexpr std::size_t CodeSize = 10;
    static std::size_t SaltSize(int strength) { return std::size_t(4 * strength + 4); }
    static std::size_t KeySize(int strength) { return std::size_t(8 * strength + 8); }

    aes_crypto();
    ~aes_crypto();
    // False when the cryptography library cannot be had: nothing can be
    // decrypted or encrypted then.
    bool Available() const { return macCtx_ && cipher_; }
    aes_crypto(const aes_crypto&) = delete;
    aes_crypto& operator=(const aes_crypto&) = delete;

    // Derives the keys for `strength` (1..3) from the password and salt; false when
    // the derived verifier differs from `verifier` (a wrong password) or the
    // cryptography library failed. A null `verifier` is not checked (writers).
    bool Init(const std::string& password, int strength, const unsigned char* salt,
              const unsigned char* verifier);
    // Feeds encrypted bytes to the HMAC, then decrypts them in place.
    void Decrypt(unsigned char* data, std::size_t size);
    // Feeds encrypted bytes to the HMAC only (data past the end of a compressed stream).
    void Authenticate(const unsigned char* data, std::size_t size);
    // The reverse, for tests and benchmarks that build archives: encrypts in place
    // and feeds the result to the HMAC.
    void Encrypt(unsigned char* data, std::size_t size);
    // True when the first 10 bytes of the HMAC equal `code`.
    bool CheckCode(const unsigned char* code);
    // The first 10 bytes of the HMAC so far (for writers).
    void Code(unsigned char* out);
    // The verifier the last Init derived.
    const unsigned char* DerivedVerifier() const { return verifier_; }

private:
    void Xor(unsigned char* data, std::size_t size);
    void Refill();

    const crypto_functions* c_; // null: libcrypto could not be loaded
    EVP_CIPHER_CTX* cipher_ = nullptr;
    EVP_MAC* mac_ = nullptr;
    EVP_MAC_CTX* macCtx_ = nullptr;
    std::uint64_t counter_ = 0;
    std::vector<unsigned char> counterBlocks_;
    std::vector<unsigned char> keystream_;
    std::size_t keystreamPos_ = 0;
    unsigned char verifier_[VerifierSize] = {};
    bool ready_ = false;
};

} // namespace archiva
