#include "archive/decoder.h"

#include "core/byte_cursor.h"
#include "archive/directory.h"
#include "archive/errors.h"
#include "archive/task.h"
#include "archive/zip.h"

#include <zlib.h>

#include <algorithm>

namespace archiva {

decoder::decoder() : stream_(std::make_unique<z_stream>())
{
    *stream_ = z_stream{};
    // Raw deflate: no zlib header, 32 KiB window.
    streamReady_ = inflateInit2(stream_.get(), -15) == Z_OK;
}

decoder::~decoder()
{
    if (streamReady_)
        inflateEnd(stream_.get());
}

bool decoder::Deliver(const unsigned char* data, std::size_t size)
{
    if (size == 0)
        return true;
    // More data than the directory declared means a damaged or hostile entry: stop
    // before handing it on, so no caller buffer sized from the directory overflows.
    if (size > source_->UncompressedSize - delivered_) {
        job_->Error = ErrorCrc;
        return false;
    }
    crc_ = crc32(crc_, data, uInt(size));
    delivered_ += size;
    job_->DoneSize += size;
    if (size == BufferSize && job_->OnEvent)
        job_->OnEvent(EventChunk, *job_, item_);
    if (job_->Error == 0 && output_) {
        if (int e = (*output_)(data, size))
            job_->Error = e;
    } else if (job_->Error == 0 && job_->OnData) {
        job_->OnData(*job_, *item_, data, size);
    }
    return job_->Error == 0;
}

std::size_t decoder::ReadInput(std::uint64_t remaining)
{
    std::size_t want = std::size_t(std::min<std::uint64_t>(remaining, BufferSize));
    unsigned char* in = archive_->input_.data();
    std::size_t got = archive_->Read(in, want);
    if (isTraditional_)
        traditional_.Decrypt(in, got);
    else if (isAes_)
        aes_->Decrypt(in, got);
    return got;
}

void decoder::DecodeStored(std::uint64_t remaining)
{
    while (remaining > 0) {
        std::size_t got = ReadInput(remaining);
        if (got == 0)
            return; // end of file or a read error: the size check or the caller sees it
        remaining -= got;
        if (!Deliver(archive_->input_.data(), got))
            return;
    }
}

void decoder::DecodeDeflated(std::uint64_t remaining)
{
    z_stream& z = *stream_;
    if (!streamReady_ || inflateReset(&z) != Z_OK) {
        job_->Error = ErrorNotEnoughMemory;
        return;
    }
    unsigned char* out = archive_->output_.data();
    z.next_in = nullptr;
    z.avail_in = 0;
    z.next_out = out;
    z.avail_out = uInt(BufferSize);
    int status = Z_OK;
    bool last = false;
    while (!last) {
        if (z.avail_in == 0 && remaining > 0) {
            std::size_t got = ReadInput(remaining);
            remaining -= got;
            if (got == 0)
                remaining = 0; // the input ended early; inflate reports the cut stream
            z.next_in = archive_->input_.data();
            z.avail_in = uInt(got);
        }
        status = inflate(&z, Z_NO_FLUSH);
        if (status != Z_OK)
            last = true;
        std::size_t produced = BufferSize - z.avail_out;
        if (z.avail_out == 0 || last) {
            if (!Deliver(out, produced))
                return;
            z.next_out = out;
            z.avail_out = uInt(BufferSize);
        }
    }
    if (status != Z_STREAM_END) {
        job_->Error = ErrorCrc; // corrupt or cut deflate data
        return;
    }
    // The HMAC covers every stored byte, including any behind the end of the stream
    // (bytes already read were authenticated as they were decrypted).
    if (isAes_) {
        while (remaining > 0) {
            std::size_t want = std::size_t(std::min<std::uint64_t>(remaining, BufferSize));
            std::size_t got = archive_->Read(archive_->input_.data(), want);
            if (got == 0)
                break;
            aes_->Authenticate(archive_->input_.data(), got);
            remaining -= got;
        }
    }
}

std::uint32_t decoder::Decode(zip& archive, const zip_entry& source, task& job, entry& item,
                              const sink* output)
{
    output_ = output;
    archive_ = &archive;
    job_ = &job;
    item_ = &item;
    source_ = &source;
    crc_ = 0;
    delivered_ = 0;
    const int strength = source.AesStrength();
    isAes_ = strength != 0;
    isTraditional_ = !isAes_ && (source.Method & EncryptedTraditional);
    const bool stored = source.Method & MethodStored;
    const bool deflated = source.Method & MethodDeflated;
    if (!stored && !deflated) {
        job.Error = ErrorUnsupportedMethod;
        return crc_;
    }

    // The local header only gives the length of its name and extra field; a wrong
    // signature means the directory points at something else.
    const std::uint64_t fileSize = archive.Size();
    unsigned char local[LocalHeaderSize];
    if (archive.Error)
        return crc_;
    if (source.Offset > fileSize || fileSize - source.Offset < LocalHeaderSize) {
        job.Error = ErrorCrc; // a damaged entry, not a failing file: the run goes on
        return crc_;
    }
    if (!archive.Seek(source.Offset))
        return crc_;
    if (archive.Read(local, LocalHeaderSize) != LocalHeaderSize || core::Le32(local) != SignatureLocalHeader) {
        if (!archive.Error)
            job.Error = ErrorCrc;
        return crc_;
    }
    const std::uint64_t dataStart = source.Offset + LocalHeaderSize + core::Le16(local + 26) + core::Le16(local + 28);
    if (dataStart > fileSize || source.CompressedSize > fileSize - dataStart) {
        job.Error = ErrorCrc; // the declared data cannot be in the file
        return crc_;
    }
    if (!archive.Seek(dataStart))
        return crc_;

    std::uint64_t remaining = source.CompressedSize;
    if (isTraditional_) {
        unsigned char header[traditional_crypto::HeaderSize];
        if (remaining < sizeof header || archive.Read(header, sizeof header) != sizeof header) {
            if (!archive.Error)
                job.Error = ErrorCrc;
            return crc_;
        }
        traditional_.Init(job.Password);
        if (!traditional_.DecryptHeader(header, source.Time, source.Crc)) {
            job.Error = ErrorWrongPassword;
            return crc_;
        }
        remaining -= sizeof header;
    } else if (isAes_) {
        const std::size_t saltSize = aes_crypto::SaltSize(strength);
        const std::size_t overhead = saltSize + aes_crypto::VerifierSize + aes_crypto::CodeSize;
        unsigned char head[16 + aes_crypto::VerifierSize];
        const std::size_t headSize = saltSize + aes_crypto::VerifierSize;
        if (remaining < overhead || archive.Read(head, headSize) != headSize) {
            if (!archive.Error)
                job.Error = ErrorCrc;
            return crc_;
        }
        if (!aes_)
            aes_ = std::make_unique<aes_crypto>();
        if (!aes_->Available()) {
            job.Error = ErrorNotSupported; // no cryptography library: not a wrong password
            return crc_;
        }
        if (!aes_->Init(job.Password, strength, head, head + saltSize)) {
            job.Error = ErrorWrongPassword;
            return crc_;
        }
        remaining -= overhead;
    }

    if (stored)
        DecodeStored(remaining);
    else if (remaining > 0 || source.UncompressedSize > 0)
        DecodeDeflated(remaining);
    // else: an empty entry some writers mark deflated without writing a stream
    if (job.Error || archive.Error)
        return crc_;

    if (isAes_) {
        // Stored data is read exactly; deflated data was read to its end above.
        if (!archive.Seek(dataStart + source.CompressedSize - aes_crypto::CodeSize))
            return crc_;
        unsigned char code[aes_crypto::CodeSize];
        if (archive.Read(code, sizeof code) != sizeof code || !aes_->CheckCode(code)) {
            if (!archive.Error)
                job.Error = ErrorCrc;
            return crc_;
        }
    }
    if (delivered_ != source.UncompressedSize)
        job.Error = ErrorCrc; // fewer bytes than declared: the entry is cut or damaged
    return crc_;
}

} // namespace archiva
