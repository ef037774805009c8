#pragma once
// The make's work folder beside the pack it writes: ".ambience-make-PID-XXXXXX",
// holding the prepared pictures and the archive while libzip writes it (libzip's
// own temporary file then lies inside too). The pack is renamed out of it when
// complete. A make killed with signal 9 leaves the folder; the next make in that
// folder removes it once its process is gone (or after a day, when the process id
// may have been taken again). Folders of earlier versions without a process
// id (".ambience-make-XXXXXX") and libzip's "NAME.zip.XXXXXX" files are removed
// once an hour old.
#include <chrono>
#include <string>
#include <string_view>

namespace packmaker {

inline constexpr std::chrono::hours kLegacyLeftoverAge{1};

// The process id in a work folder's name; -1 for another name, 0 for the form of
// earlier versions without one.
long WorkFolderOwner(std::string_view name);

// Makes a new work folder in `folder`; its path, or empty with `error` (errno) set.
std::string CreateWorkFolder(const std::string& folder, int& error);

// Removes what killed makes left in `folder`; returns how many.
int RemoveStaleMakeLeftovers(const std::string& folder);

// Removes a work folder and what it holds (the make's own, when it ends).
void RemoveWorkFolder(const std::string& path);

} // namespace packmaker
