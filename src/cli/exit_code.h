#pragma once
// The exit status of ambience-cli: one table for every command. The manual page's
// EXIT STATUS section is made from it.
#include <iterator>

namespace cli {

enum ExitCode : int {
    ExitDone = 0,
    ExitFailed = 1,        // the work failed; the message says why
    ExitUsage = 2,         // the command line was wrong; nothing was done
    ExitWallpaperUnset = 3, // the wallpaper file was written, but no desktop took it
};

struct ExitCodeMeaning {
    ExitCode code;
    const char* meaning;
};

inline constexpr ExitCodeMeaning ExitCodes[] = {
    {ExitDone, "Done."},
    {ExitFailed, "The work failed; the message says why."},
    {ExitUsage, "The command line was wrong (an unknown command, option or value, or a pack that is not "
                  "installed); nothing was done."},
    {ExitWallpaperUnset, "The wallpaper file was written, but no desktop interface took it."},
};

} // namespace cli
