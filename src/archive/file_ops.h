#pragma once
// Small file operations used by pack installation and removal. Paths are UTF-8.
#include <cstddef>
#include <string>

namespace archiva {

// The part of `name` from its last "." to the end, lower-cased (ASCII letters);
// empty when the name has no ".".
std::string LowerExtension(const std::string& name);

// Clears the read-only state of the file (owner write permission), then deletes it.
// Returns 0 or the error code of the deletion.
int DeleteFileForced(const std::string& path);

// Writes all size bytes to the descriptor, resuming after interruptions and
// partial writes. Returns 0 or the error code of the failed write.
int WriteAll(int fd, const unsigned char* data, std::size_t size);

// Copies `source` over `target`, replacing an existing target. The copy goes to a
// temporary file in the target's folder which is then renamed over the target, so a
// failed copy leaves an older target untouched. Returns 0 or an error code.
int CopyFileOver(const std::string& source, const std::string& target);

} // namespace archiva
