#pragma once
// The two folders whose packs form the one catalogue: the program's own folder
// (the bundled packs; on a system-wide install the user cannot write it) and the
// user's packs folder, where installing copies and removing deletes.
#include "packs/install.h"

#include <string>
#include <vector>

namespace packs {

struct PackFolders {
    std::string Program; // the folder of the program file, ending with "/"; may be empty
    std::string User;    // $XDG_DATA_HOME/Ambience/Packs/, ending with "/"; may be empty

    // Program, then User: a pack file of the same name in the user's folder takes
    // the place of the bundled one (see TPackList::Rescan).
    std::vector<std::string> ScanOrder() const;
};

// The folders of the running program and user.
PackFolders CurrentPackFolders();

// The pack archives of all folders (see PackFilesIn), a file name that occurs in
// several of them taken from the last folder only; sorted by file name.
std::vector<std::string> CatalogueFiles(const std::vector<std::string>& folders);

// True when `path` lies directly in the program folder and the running user cannot
// write that folder, so its packs can be neither replaced nor deleted by them.
bool IsFixedBundledPack(const std::string& path, const PackFolders& folders);

// Installs into the user's folder (made when missing). A file that lies in either
// folder already is not installed again (kAlreadyInstalled).
core::Result<InstalledPack> InstallUserPack(const std::string& source, const PackFolders& folders);

// Removes an installed pack, refusing a bundled pack of a folder the user cannot
// write (code 5, and a message naming the pack); `packName` is its display name.
core::Result<void> RemoveInstalledPack(const std::string& path, const std::string& packName, const PackFolders& folders);

// "<name>" belongs to the installation; it cannot be removed by you.
std::string BundledPackRefusal(const std::string& packName);

} // namespace packs
