#pragma once
// Where the program's files live.
#include <QString>

namespace platform {

// Folder codes understood by GetSpecialFolder.
constexpr int CSIDL_APPDATA = 26;
constexpr int ProgramFolderCode = 1024;
constexpr int UserPacksFolderCode = 1025;

// CSIDL_APPDATA: $XDG_DATA_HOME/Ambience/Ambience/ (XDG_DATA_HOME defaults to
// ~/.local/share), the program folder when no such folder can be named.
// ProgramFolderCode: the folder of the running program file, or AMBIENCE_PROGRAM_DIR
// when that is set (tests and relocated installs).
// UserPacksFolderCode: the user's own packs, $XDG_DATA_HOME/Ambience/Packs/.
// The result always ends with "/",
// or is empty when nothing could be determined. Nothing is created.
QString GetSpecialFolder(int code);

// The user's configuration folder: $XDG_CONFIG_HOME when it is an absolute path,
// else ~/.config; always ends with "/".
QString ConfigHome();

} // namespace platform
