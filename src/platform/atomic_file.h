#pragma once
// Replacing a file so that readers and crashes only ever see the old or the new
// contents, never a part of them.
#include <QByteArray>
#include <QString>

#include <functional>

namespace platform {

// Writes bytes to a temporary file in the same folder, flushes it to disk, renames it
// over path and flushes the folder. A symbolic link at path is kept: its target is
// replaced. The file keeps the permissions of the one it replaces, or gets
// newFileMode. On failure returns false with the reason in *error (when given) and
// leaves the old file untouched.
bool WriteFileAtomically(const QString& path, const QByteArray& bytes, QString* error = nullptr,
                         unsigned newFileMode = 0600);

// Removes temporary files that a writer which died before its rename left beside
// path. Only call it while holding the lock that all writers of path take.
void RemoveStaleTemporaryFiles(const QString& path);

namespace testing {
// Called after the temporary file is complete and before the rename; lets a test
// end the process at the most delicate moment. Empty to switch off.
void SetBeforeReplaceHook(std::function<void(const QString& temporaryPath)> hook);
} // namespace testing

} // namespace platform
