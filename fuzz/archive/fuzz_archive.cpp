// Reads the input as an archive: its directory, then every entry delivered with a
// password, so directory parsing, both decryptions and inflate all see hostile bytes.
// The reader works on paths, so the input goes into an in-memory file (memfd).
#include "archive/archiva.h"

#include <sys/mman.h>
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

namespace {
int MemoryFile()
{
    static int fd = memfd_create("fuzz_archive", MFD_CLOEXEC);
    return fd;
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const int fd = MemoryFile();
    if (fd < 0)
        std::abort();
    if (ftruncate(fd, 0) != 0 || pwrite(fd, data, size, 0) != ssize_t(size))
        std::abort();
    const std::string path = "/proc/self/fd/" + std::to_string(fd);

    {
        archiva::zip archive(path);
        archive.ReadDirectory();
    }

    archiva::task job;
    job.Password = "secret";
    std::uint64_t delivered = 0;
    std::uint64_t declared = 0;
    job.OnEvent = [&](int event, archiva::task&, archiva::entry* item) {
        if (event == archiva::EventEntryBegin) {
            item->Action = archiva::ActionDeliver;
            delivered = 0;
            declared = item->UncompressedSize;
        }
    };
    job.OnData = [&](archiva::task&, archiva::entry&, const unsigned char* bytes, std::size_t n) {
        volatile unsigned char sink = n ? bytes[n - 1] : 0;
        (void)sink;
        delivered += n;
        if (delivered > declared) // never more than the directory declared
            std::abort();
    };
    job.Run(path);
    return 0;
}
