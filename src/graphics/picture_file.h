#pragma once
// Writing an encoded picture: the program's one atomic writer
// (platform/atomic_file.h) does the work, so readers only ever see the old file
// or the new one; a failure names the file as the caller gave it.
#include "core/result.h"

#include <QByteArrayView>
#include <QString>

#include <string>

namespace graphics {

// "Cannot write PATH: REASON", with the system's error number as its code.
core::Error WriteFailure(const QString& path, int error, const std::string& reason);

// Replaces the file at path by bytes. The folder must exist. A symbolic link is
// followed, so its target is replaced and the link stays. A new file gets the
// permissions 0666 less the umask; a replaced file keeps its permissions. On any
// failure the old file is left as it was and no temporary file remains.
core::Result<void> WritePictureFile(const QString& path, QByteArrayView bytes);

} // namespace graphics
