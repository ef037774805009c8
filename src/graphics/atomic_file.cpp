#include "graphics/atomic_file.h"

#include "platform/atomic_file.h"

#include <QByteArrayView>

#include <cerrno>
#include <cstring>

namespace graphics {

WriteResult WriteFailure(const QString& path, int error, const std::string& reason)
{
    WriteResult r;
    r.error = error != 0 ? error : EIO;
    r.message = "Cannot write " + path.toStdString() + ": " + reason;
    return r;
}

WriteResult WriteFileAtomically(const QString& path, std::span<const std::uint8_t> data)
{
    if (path.isEmpty())
        return WriteFailure(path, ENOENT, "No file name given");
    // Pictures are files like any other the user makes: 0666 less the umask when new.
    const QByteArrayView bytes(reinterpret_cast<const char*>(data.data()), static_cast<qsizetype>(data.size()));
    const platform::AtomicWriteResult written = platform::ReplaceFileContents(path, bytes, platform::UmaskedFileMode);
    if (written.ok())
        return {};
    // A target that is not a regular file is refused in the writer's own words.
    if (written.error == EINVAL)
        return {written.error, written.message.toStdString()};
    // The message names the file as the caller gave it, with the system's reason.
    return WriteFailure(path, written.error, std::strerror(written.error));
}

} // namespace graphics
