#include "archive/aes_crypto.h"

#include "archive/crypto_library.h"

#include <openssl/core_names.h>

#include <algorithm>
#include <cstring>

namespace archiva {

namespace {
constexpr std::size_t kBatchBlocks = 1024; // keystream made 16 KiB at a time
constexpr int kIterations = 1000;
} // namespace

aes_crypto::aes_crypto()
    : c_(crypto()), counterBlocks_(kBatchBlocks * 16), keystream_(kBatchBlocks * 16)
{
    if (!c_)
        return;
    cipher_ = c_->EVP_CIPHER_CTX_new();
    mac_ = c_->EVP_MAC_fetch(nullptr, "HMAC", nullptr);
    if (mac_)
        macCtx_ = c_->EVP_MAC_CTX_new(mac_);
}

aes_crypto::~aes_crypto()
{
    if (!c_)
        return;
    c_->EVP_MAC_CTX_free(macCtx_);
    c_->EVP_MAC_free(mac_);
    c_->EVP_CIPHER_CTX_free(cipher_);
}

bool aes_crypto::Init(const std::string& password, int strength, const unsigned char* salt,
                      const unsigned char* verifier)
{
    ready_ = false;
    if (strength < 1 || strength > 3 || !cipher_ || !macCtx_)
        return false;
    const std::size_t keySize = KeySize(strength);
    unsigned char derived[2 * 32 + VerifierSize];
    const std::size_t derivedSize = 2 * keySize + VerifierSize;
    if (c_->PKCS5_PBKDF2_HMAC_SHA1(password.data(), int(password.size()), salt, int(SaltSize(strength)),
                               kIterations, int(derivedSize), derived) != 1)
        return false;
    std::memcpy(verifier_, derived + 2 * keySize, VerifierSize);
    if (verifier && std::memcmp(verifier_, verifier, VerifierSize) != 0)
        return false; // wrong password

    const EVP_CIPHER* ecb = strength == 1 ? c_->EVP_aes_128_ecb()
                          : strength == 2 ? c_->EVP_aes_192_ecb()
                                          : c_->EVP_aes_256_ecb();
    if (c_->EVP_EncryptInit_ex(cipher_, ecb, nullptr, derived, nullptr) != 1)
        return false;
    c_->EVP_CIPHER_CTX_set_padding(cipher_, 0);

    char digest[] = "SHA1";
    OSSL_PARAM params[] = {
        c_->OSSL_PARAM_construct_utf8_string(OSSL_MAC_PARAM_DIGEST, digest, 0),
        c_->OSSL_PARAM_construct_end(),
    };
    if (c_->EVP_MAC_init(macCtx_, derived + keySize, keySize, params) != 1)
        return false;
    c_->OPENSSL_cleanse(derived, sizeof derived);

    counter_ = 0;
    keystreamPos_ = keystream_.size(); // empty: the first byte makes a batch
    ready_ = true;
    return true;
}

void aes_crypto::Refill()
{
    // Counter blocks 1, 2, 3, ... little-endian in bytes 0..7, bytes 8..15 zero.
    std::memset(counterBlocks_.data(), 0, counterBlocks_.size());
    for (std::size_t b = 0; b < kBatchBlocks; ++b) {
        std::uint64_t n = ++counter_;
        unsigned char* block = counterBlocks_.data() + 16 * b;
        for (int k = 0; k < 8; ++k)
            block[k] = static_cast<unsigned char>(n >> (8 * k));
    }
    int produced = 0;
    c_->EVP_EncryptUpdate(cipher_, keystream_.data(), &produced, counterBlocks_.data(),
                      int(counterBlocks_.size()));
    keystreamPos_ = 0;
}

void aes_crypto::Xor(unsigned char* data, std::size_t size)
{
    while (size > 0) {
        if (keystreamPos_ == keystream_.size())
            Refill();
        std::size_t n = std::min(size, keystream_.size() - keystreamPos_);
        const unsigned char* ks = keystream_.data() + keystreamPos_;
        for (std::size_t i = 0; i < n; ++i)
            data[i] ^= ks[i];
        data += n;
        size -= n;
        keystreamPos_ += n;
    }
}

void aes_crypto::Authenticate(const unsigned char* data, std::size_t size)
{
    if (ready_)
        c_->EVP_MAC_update(macCtx_, data, size);
}

void aes_crypto::Decrypt(unsigned char* data, std::size_t size)
{
    if (!ready_)
        return;
    Authenticate(data, size);
    Xor(data, size);
}

void aes_crypto::Encrypt(unsigned char* data, std::size_t size)
{
    if (!ready_)
        return;
    Xor(data, size);
    Authenticate(data, size);
}

void aes_crypto::Code(unsigned char* out)
{
    unsigned char full[EVP_MAX_MD_SIZE];
    std::size_t length = 0;
    std::memset(out, 0, CodeSize);
    if (ready_ && c_->EVP_MAC_final(macCtx_, full, &length, sizeof full) == 1 && length >= CodeSize)
        std::memcpy(out, full, CodeSize);
    ready_ = false; // the HMAC is finished; Init starts a new one
}

bool aes_crypto::CheckCode(const unsigned char* code)
{
    if (!ready_)
        return false;
    unsigned char computed[CodeSize];
    Code(computed);
    return c_->CRYPTO_memcmp(computed, code, CodeSize) == 0;
}

} // namespace archiva
