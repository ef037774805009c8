#pragma once
// ambience-cli pack fetch: see pack_fetch_command.cpp.
#include <QStringList>

namespace cli {

extern const char* const kPackFetchUsage;
int RunPackFetch(const QStringList& args);

} // namespace cli
