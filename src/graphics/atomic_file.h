#pragma once
// Writing a whole picture file so that readers only ever see the old file or the
// new one: the program's one atomic writer (platform/atomic_file.h) does the work;
// this gives its outcome the form the encoders and their callers use.
#include <QString>

#include <cstdint>
#include <span>
#include <string>

namespace graphics {

// The outcome of writing a file. error is the system's error number (errno), 0
// when the file was written; message names the file and the reason, for example
// "Cannot write /x/ambience.bmp: No space left on device".
struct WriteResult {
    int error = 0;
    std::string message;
    bool ok() const { return error == 0; }
};

// The failure "Cannot write PATH: REASON" with the given error number.
WriteResult WriteFailure(const QString& path, int error, const std::string& reason);

// Replaces the file at path by data. The folder must exist. A symbolic link is
// followed, so its target is replaced and the link stays. A new file gets the
// permissions 0666 less the umask; a replaced file keeps its permissions. On any
// failure the old file is left as it was and no temporary file remains.
WriteResult WriteFileAtomically(const QString& path, std::span<const std::uint8_t> data);

} // namespace graphics
