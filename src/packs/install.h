#pragma once
// Installing a pack archive into the packs folder and removing an installed one.
// Both only touch files; the caller rebuilds the catalogue afterwards, whatever
// the outcome.
#include <string>

namespace packs {

enum class InstallOutcome {
    Installed,       // copied into the packs folder
    NotZipFile,      // the name does not end in ".zip": nothing done, no message
    AlreadyInFolder, // the file lies in the packs folder already: nothing done
    Unreadable,      // the file cannot be opened (Code holds the reason)
    InvalidPack,     // no comment, no pictures or no name: Code 114
    CopyFailed,      // Code holds the reason; an older pack of that name is kept
};

struct InstallResult {
    InstallOutcome Outcome = InstallOutcome::NotZipFile;
    int Code = 0;           // 0 or an error code of archive/errors.h
    std::string Target;     // where the pack is (or would have been) installed
    std::string PackName;   // the pack's display name, when it is a valid pack
    bool Replaced = false;  // an older file of the same name was replaced
    std::string Message;    // one sentence on the outcome, for a command line (the window
                            // shows only nonzero codes); empty on success
};

// Copies the pack at `source` into `packsFolder` under its own file name, when the
// name ends in ".zip" (any case), the file does not already lie in that folder and
// it is a valid pack. The copy goes to a temporary file that then replaces any
// older pack of the same name, so a failed copy loses nothing.
InstallResult InstallPack(const std::string& source, const std::string& packsFolder);

struct RemoveResult {
    int Code = 0;
    std::string Message; // empty on success
};

// Deletes the pack archive at `path` (clearing its read-only state first). The
// pack's stored current picture is kept, for a later reinstall under that name.
RemoveResult RemovePack(const std::string& path);

// ErrorText of the code followed by ".", as pack errors are shown to the user;
// empty for 0.
std::string PackErrorMessage(int code);

} // namespace packs
