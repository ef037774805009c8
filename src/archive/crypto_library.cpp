#include "archive/crypto_library.h"

#include <openssl/opensslv.h>

#include <string>

#include <dlfcn.h>

namespace archiva {
namespace {

// The library of the major version the program was built against, as the
// dynamic linker would have found it.
const crypto_functions* Load()
{
    const std::string soname = "libcrypto.so." + std::to_string(OPENSSL_VERSION_MAJOR);
    void* library = ::dlopen(soname.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (!library)
        return nullptr;
    static crypto_functions f;
    bool complete = true;
    auto take = [&](auto& function, const char* name) {
        function = reinterpret_cast<std::remove_reference_t<decltype(function)>>(::dlsym(library, name));
        complete = complete && function;
    };
    take(f.EVP_CIPHER_CTX_new, "EVP_CIPHER_CTX_new");
    take(f.EVP_CIPHER_CTX_free, "EVP_CIPHER_CTX_free");
    take(f.EVP_CIPHER_CTX_set_padding, "EVP_CIPHER_CTX_set_padding");
    take(f.EVP_EncryptInit_ex, "EVP_EncryptInit_ex");
    take(f.EVP_EncryptUpdate, "EVP_EncryptUpdate");
    take(f.EVP_aes_128_ecb, "EVP_aes_128_ecb");
    take(f.EVP_aes_192_ecb, "EVP_aes_192_ecb");
    take(f.EVP_aes_256_ecb, "EVP_aes_256_ecb");
    take(f.EVP_MAC_fetch, "EVP_MAC_fetch");
    take(f.EVP_MAC_free, "EVP_MAC_free");
    take(f.EVP_MAC_CTX_new, "EVP_MAC_CTX_new");
    take(f.EVP_MAC_CTX_free, "EVP_MAC_CTX_free");
    take(f.EVP_MAC_init, "EVP_MAC_init");
    take(f.EVP_MAC_update, "EVP_MAC_update");
    take(f.EVP_MAC_final, "EVP_MAC_final");
    take(f.OSSL_PARAM_construct_utf8_string, "OSSL_PARAM_construct_utf8_string");
    take(f.OSSL_PARAM_construct_end, "OSSL_PARAM_construct_end");
    take(f.PKCS5_PBKDF2_HMAC_SHA1, "PKCS5_PBKDF2_HMAC_SHA1");
    take(f.OPENSSL_cleanse, "OPENSSL_cleanse");
    take(f.CRYPTO_memcmp, "CRYPTO_memcmp");
    return complete ? &f : nullptr;
}

} // namespace

const crypto_functions* crypto()
{
    static const crypto_functions* const loaded = Load();
    return loaded;
}

} // namespace archiva
