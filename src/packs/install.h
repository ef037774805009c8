#pragma once
// Installing a pack archive into the packs folder and removing an installed one.
// Both only touch files; the caller rebuilds the catalogue afterwards, whatever
// the outcome.
#include "core/result.h"

#include <string>

namespace packs {

// A pack installed: where it lies now, its display name, and whether an older file
// of the same name was replaced.
struct InstalledPack {
    std::string Target;
    std::string PackName;
    bool Replaced = false;
};

// Why a pack was not installed, beside the system's codes (archive/errors.h) of a
// file that cannot be read (2, 5, 23, ...), is no valid pack (114) or cannot be
// copied (3, 5, 112, ...). Neither of these two is worth a message in the window.
inline constexpr int kNotAPackArchive = core::kOwnCodes + 0x200 + 1;  // the name does not end in ".zip"
inline constexpr int kAlreadyInstalled = core::kOwnCodes + 0x200 + 2; // the file lies in the packs folder already

// Copies the pack at `source` into `packsFolder` under its own file name, when the
// name ends in ".zip" (any case), the file does not already lie in that folder and
// it is a valid pack. The copy goes to a temporary file that then replaces any
// older pack of the same name, so a failed copy loses nothing. Nothing is done on
// a failure; its text is one sentence for a command line that names the file and
// what became of it ("cannot read ...: ...", "cannot copy ... to ...: ... The
// installed packs are unchanged.").
core::Result<InstalledPack> InstallPack(const std::string& source, const std::string& packsFolder);

// Deletes the pack archive at `path` (clearing its read-only state first). The
// pack's stored current picture is kept, for a later reinstall under that name.
core::Result<void> RemovePack(const std::string& path);

// The failure of a copy into the packs folder, as InstallPack says it.
core::Error CopyFailure(int code, const std::string& source, const std::string& target, const std::string& why);

// ErrorText of the code followed by ".", as pack errors are shown to the user;
// empty for 0.
std::string PackErrorMessage(int code);

} // namespace packs
