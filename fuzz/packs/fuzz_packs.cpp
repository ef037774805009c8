// Reads the input as a pack: the description and picture names go through their
// parsers and the ordering, then a few pictures are decoded. The same bytes are
// also parsed directly as a description text and as an entry name.
#include "graphics/picture.h"
#include "packs/description.h"
#include "packs/load_picture.h"
#include "packs/pack.h"

#include <QDir>

#include <sys/mman.h>
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

namespace {

int MemoryFile()
{
    static int fd = [] {
        // The pack's current picture lives in the registry file: keep it out of
        // the user's folders.
        const QString home = QDir::tempPath() + QStringLiteral("/fuzz_packs_home");
        QDir().mkpath(home);
        qputenv("XDG_CONFIG_HOME", home.toUtf8());
        return memfd_create("fuzz_packs", MFD_CLOEXEC);
    }();
    return fd;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    const auto description = packs::PackDescription::Parse(text);
    (void)description.Integer("Pack", "Icon");
    (void)ParsePictureName(text);

    const int fd = MemoryFile();
    if (fd < 0)
        std::abort();
    if (ftruncate(fd, 0) != 0 || pwrite(fd, data, size, 0) != ssize_t(size))
        std::abort();
    TPack pack("/proc/self/fd/" + std::to_string(fd));
    pack.PackPassword = "secret";
    for (std::size_t i = 0; i < pack.Pictures.size() && i < 3; ++i) {
        graphics::Picture picture;
        std::string detail;
        (void)LoadPicture(pack, picture, static_cast<int>(i), &detail);
    }
    return 0;
}
