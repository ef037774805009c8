#pragma once
// The registry-export text format, in memory and on disk, with no file access:
//
//   Windows Registry Editor Version 5.00
//
//   [HKEY_CURRENT_USER\Software\Ambience\Ambience\Options]
//   "AutoChangeInterval"=dword:00000024
//   "Name"="text with \\ and \" escaped"
//   "LastDesktopChangeTime"=hex:00,00,00,00,00,00,00,00
//   @="the key's default value"
//
// Also read: "REGEDIT4" as header, ';' comment lines, hex values continued over
// lines ending in '\', hex(N): values of any registry type, UTF-16 files with a
// byte-order mark. Written: UTF-8, strings that hold control characters as
// hex(1): (UTF-16LE) so every string survives a round trip.
#include "platform/registry.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <utility>
#include <vector>

namespace platform {

struct RegistryKeyEntry {
    QString path; // normalised: no empty parts, no leading or trailing backslash
    std::vector<std::pair<QString, RegistryValue>> values; // in file order
    bool operator==(const RegistryKeyEntry&) const = default;
};

// Key paths and value names compare without regard to letter case, as the
// registry does; the stored spelling is kept.
class RegistryDocument {
public:
    std::vector<RegistryKeyEntry> keys; // in file order

    const RegistryKeyEntry* FindKey(const QString& path) const;
    RegistryKeyEntry* FindKey(const QString& path);
    // The key, or one below it, is present.
    bool HasKey(const QString& path) const;
    RegistryKeyEntry& EnsureKey(const QString& path);
    const RegistryValue* FindValue(const QString& key, const QString& name) const;
    // Replaces a value of the same name in place, else appends.
    void SetValue(const QString& key, const QString& name, const RegistryValue& value);
    bool RemoveValue(const QString& key, const QString& name);

    bool operator==(const RegistryDocument&) const = default;
};

struct RegistryParseResult {
    RegistryDocument document;
    // One line per part that could not be read ("line 7: ..."), at most a few dozen.
    QStringList problems;
    bool Damaged() const { return !problems.isEmpty(); }
};

// Everything readable is kept; whatever is not is skipped and named in problems.
// Values under a key line that could not be read are skipped too, so that they
// never land in the wrong key.
RegistryParseResult ParseRegistryText(const QByteArray& bytes);
QByteArray SerializeRegistry(const RegistryDocument& document);

// "a\\b\" -> "a\b"; empty when nothing is left.
QString NormalizeKeyPath(const QString& path);
// Whether a key path or value name can be written to the file and read back the
// same: no control characters, no unpaired surrogates.
bool IsWritableName(const QString& name);

} // namespace platform
