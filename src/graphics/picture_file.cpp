#include "graphics/picture_file.h"

#include "platform/atomic_file.h"

#include <cerrno>
#include <cstring>

namespace graphics {

core::Error WriteFailure(const QString& path, int error, const std::string& reason)
{
    return core::MakeError(error != 0 ? error : EIO, "Cannot write " + path.toStdString() + ": " + reason);
}

core::Result<void> WritePictureFile(const QString& path, QByteArrayView bytes)
{
    if (path.isEmpty())
        return WriteFailure(path, ENOENT, "No file name given");
    // Pictures are files like any other the user makes: 0666 less the umask when new.
    core::Result<void> written = platform::ReplaceFileContents(path, bytes, platform::UmaskedFileMode);
    if (written.ok())
        return written;
    // A target that is not a regular file is refused in the writer's own words.
    if (written.error().code == EINVAL)
        return written;
    // The message names the file as the caller gave it, with the system's reason.
    return WriteFailure(path, written.error().code, std::strerror(written.error().code));
}

} // namespace graphics
