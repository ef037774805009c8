#pragma once
// What the pack commands of ambience-cli share: the packs folder, output, options
// and finding an installed pack by name or file. The application record comes
// from cli::Context (cli/context.h).
#include "cli/output.h"
#include "core/result.h"
#include "packs/pack_list.h"

#include <QString>
#include <QStringList>

#include <cstdio>
#include <optional>
#include <string>
#include <vector>

namespace cli {

// The packs folder (the program's folder), ending with "/"; empty when unknown.
std::string PacksFolder();
// The same for a command that cannot go on without it: when the folder is unknown
// it says so on stderr and returns an empty string.
std::string RequirePacksFolder();
// The folders whose packs form the catalogue: the program's, then the user's own.
std::vector<std::string> CatalogueFolders();
// Rescans list over CatalogueFolders(). A packs folder that is there but cannot be
// read is an error: it is named on stderr and false returned. With
// tellLeftOut, every ".zip" file left out is named on stderr with the reason.
bool ScanCatalogue(TPackList& list, bool tellLeftOut = false);

// Index into `list` of the installed pack named by `what`: its path, its file name
// (with or without ".zip") or its display name (exact, else ignoring case). When
// nothing or more than one pack matches, returns nullopt and sets `error`.
std::optional<int> FindInstalledPack(const TPackList& list, const QString& what, QString& error);

// Takes "--name VALUE" or "--name=VALUE" out of args; nullopt when absent, and
// `missing` set when the option is given without a value.
std::optional<QString> TakeOption(QStringList& args, const QString& name, bool& missing);
// Takes "--name" out of args; returns whether it was there.
bool TakeFlag(QStringList& args, const QString& name);

// A command-line argument as the bytes it was given in, found in /proc/self/cmdline:
// a file name that is not valid UTF-8 does not survive QString. Made absolute
// against the working folder. The argument's UTF-8 when it is not found there.
std::string RawPathArgument(const QString& argument);

// Whether a pack may be written to `path`: yes when nothing is there or an archive
// (an older pack) is; a file of any other kind (a person's picture or document)
// only with `force`. The error names the file and the option.
core::Result<void> CheckPackOutput(const QString& path, bool force);

// Tells where a made or fetched pack was written, its size, and whether it was installed.
void SayPackWritten(const QString& packName, const QString& archive, bool installed);

} // namespace cli
