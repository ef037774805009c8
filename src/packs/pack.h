#pragma once
// One art pack: a ZIP archive whose comment describes the pack and whose ".jpg",
// ".wmf" and ".emf" entries are its pictures. Texts are UTF-8.
//
// A plain value. Constructing a TPack reads the archive's comment and directory (no
// picture data); the catalogue (TPackList) reads and stores `Current` through its
// store, so the picture a user last looked at survives rescans and restarts, and a
// copy going away writes nothing. No archive stays open: the file may be replaced
// or deleted while the record exists.
#include "packs/pic.h"

#include <cstdint>
#include <string>
#include <vector>

struct TPack {
    std::string Path;       // full path of the archive file
    std::string Name;       // empty: the file is no valid pack
    std::string Author;
    std::string Label;
    std::int32_t Icon = 0;
    std::int32_t PreviewPicture = 0;
    std::vector<TPic> Pictures; // in pack order
    std::int32_t Current = 0;   // index of the current picture (may lie outside Pictures)
    std::string PackPassword;   // for encrypted entries; empty unless supplied
    // Some picture entry is encrypted: the pictures show only with PackPassword.
    bool Encrypted = false;
    // The description's "Credit=plain": the works are public domain, and their
    // captions credit the artist without a copyright sign.
    bool PlainCredit = false;

    // The error of opening the archive (see archive/errors.h), 0 when it opened.
    // Lets callers tell "cannot be read" from "is no pack".
    int OpenError = 0;

    // Loads the pack at `path`. Never throws; an unreadable or invalid file gives
    // an empty Name.
    explicit TPack(const std::string& path);
    bool IsValid() const { return !Name.empty(); }
};

namespace platform { class Registry; }

namespace packs {

// Whether the pack's pictures need a password nobody has given yet.
inline bool IsLocked(const TPack& pack) { return pack.Encrypted && pack.PackPassword.empty(); }

// The key a pack's password is kept under in the secret store: the pack's file
// name, so the password survives a reinstall or a move between the packs folders.
std::string PackPasswordKey(const std::string& packPath);

// RegistryRoot + "\Packs\" + the file name of `packPath` (with its extension).
std::string PackRegistryKey(const std::string& packPath);

// The value "No" of that key in store, 0 when the key or value is missing or unreadable.
std::int32_t ReadStoredCurrent(platform::Registry& store, const std::string& packPath);

// Writes pack.Current as that value, unless it already holds it (an untouched
// pack costs no write and leaves no key behind). False when the store could not
// be written.
bool StoreCurrent(platform::Registry& store, const TPack& pack);

} // namespace packs
