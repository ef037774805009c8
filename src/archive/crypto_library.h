#pragma once
// The functions of libcrypto that AES-encrypted entries need, loaded when the
// first such entry is opened. Most runs open none, and loading and relocating
// the library at every start cost more than a tenth of a short command's time.
#include <openssl/crypto.h>
#include <openssl/evp.h>
#include <openssl/params.h>

namespace archiva {

struct crypto_functions {
    decltype(&::EVP_CIPHER_CTX_new) EVP_CIPHER_CTX_new;
    decltype(&::EVP_CIPHER_CTX_free) EVP_CIPHER_CTX_free;
    decltype(&::EVP_CIPHER_CTX_set_padding) EVP_CIPHER_CTX_set_padding;
    decltype(&::EVP_EncryptInit_ex) EVP_EncryptInit_ex;
    decltype(&::EVP_EncryptUpdate) EVP_EncryptUpdate;
    decltype(&::EVP_aes_128_ecb) EVP_aes_128_ecb;
    decltype(&::EVP_aes_192_ecb) EVP_aes_192_ecb;
    decltype(&::EVP_aes_256_ecb) EVP_aes_256_ecb;
    decltype(&::EVP_MAC_fetch) EVP_MAC_fetch;
    decltype(&::EVP_MAC_free) EVP_MAC_free;
    decltype(&::EVP_MAC_CTX_new) EVP_MAC_CTX_new;
    decltype(&::EVP_MAC_CTX_free) EVP_MAC_CTX_free;
    decltype(&::EVP_MAC_init) EVP_MAC_init;
    decltype(&::EVP_MAC_update) EVP_MAC_update;
    decltype(&::EVP_MAC_final) EVP_MAC_final;
    decltype(&::OSSL_PARAM_construct_utf8_string) OSSL_PARAM_construct_utf8_string;
    decltype(&::OSSL_PARAM_construct_end) OSSL_PARAM_construct_end;
    decltype(&::PKCS5_PBKDF2_HMAC_SHA1) PKCS5_PBKDF2_HMAC_SHA1;
    decltype(&::OPENSSL_cleanse) OPENSSL_cleanse;
    decltype(&::CRYPTO_memcmp) CRYPTO_memcmp;
};

// The functions, loaded on the first call (from any thread); null when the
// library, or one of them, cannot be had. The library stays loaded.
const crypto_functions* crypto();

} // namespace archiva
