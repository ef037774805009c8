#pragma once
// Replacing a file so that readers and crashes only ever see the old or the new
// contents, never a part of them. The one writer of whole files in the program:
// the settings store, the autostart entry and the pictures all go through it.
#include "core/result.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

#include <functional>

namespace platform {

// newFileMode for a file that should get the permissions any program's new file
// gets: 0666 less the process's umask.
inline constexpr unsigned UmaskedFileMode = 0x10000;

// Writes bytes to a temporary file in the same folder, flushes it to disk, renames it
// over path and flushes the folder. A symbolic link at path is kept: its target is
// replaced. The file keeps the permissions of the one it replaces, or gets
// newFileMode (a mode such as 0600, or UmaskedFileMode). A folder at path is not
// replaced (EISDIR), nor anything else that is not a regular file (EINVAL: "... is
// not a regular file; nothing was written"). On failure the old file is untouched
// and no temporary file remains. A failure's code is the system's error number
// (errno), its text what failed for which file, as "cannot write
// /x/registry.reg: No space left on device".
core::Result<void> ReplaceFileContents(const QString& path, QByteArrayView bytes, unsigned newFileMode);

// Removes the temporary files that writers which died before their rename left in
// folder (core/temporary_file.h says which); every write does so in its own
// folder first. Returns how many were removed.
int RemoveStaleTemporaryFilesIn(const QString& folder);

namespace testing {
// Called after the temporary file is complete and before the rename; lets a test
// end the process at the most delicate moment. Empty to switch off.
void SetBeforeReplaceHook(std::function<void(const QString& temporaryPath)> hook);
} // namespace testing

} // namespace platform
