#pragma once
// Decodes one entry of an open archive and hands its bytes to a job's callbacks:
// local header, decryption (traditional or AES), stored or raw-deflate data, with
// the CRC-32, the declared size and the AES authentication code checked here. One
// decoder serves a whole run; its inflate stream is reset for each entry.
#include "archive/aes_crypto.h"
#include "archive/traditional_crypto.h"

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>

typedef struct z_stream_s z_stream;

namespace archiva {

class zip;
class task;
struct entry;
struct zip_entry;

class decoder {
public:
    decoder();
    ~decoder();
    decoder(const decoder&) = delete;
    decoder& operator=(const decoder&) = delete;

    // Where decoded bytes go instead of task::OnData (extraction); returns 0 or an
    // error code that ends the decoding.
    using sink = std::function<int(const unsigned char* data, std::size_t size)>;

    // Decodes `source` from `archive`, delivering to `job` with `item` as the entry the
    // callbacks see. Errors go to job.Error (23, 1216, 1630) or the archive's file
    // error. Returns the CRC-32 of the delivered bytes.
    std::uint32_t Decode(zip& archive, const zip_entry& source, task& job, entry& item,
                         const sink* output = nullptr);

private:
    bool Deliver(const unsigned char* data, std::size_t size);
    void DecodeStored(std::uint64_t remaining);
    void DecodeDeflated(std::uint64_t remaining);
    std::size_t ReadInput(std::uint64_t remaining);

    std::unique_ptr<z_stream> stream_;
    bool streamReady_ = false;
    traditional_crypto traditional_;
    std::unique_ptr<aes_crypto> aes_; // made for the first AES entry: setting up is not free

    // State of the entry in hand.
    zip* archive_ = nullptr;
    task* job_ = nullptr;
    entry* item_ = nullptr;
    const zip_entry* source_ = nullptr;
    const sink* output_ = nullptr;
    bool isTraditional_ = false;
    bool isAes_ = false;
    std::uint32_t crc_ = 0;
    std::uint64_t delivered_ = 0;
};

} // namespace archiva
