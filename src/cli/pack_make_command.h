#pragma once
// ambience-cli pack make: see pack_make_command.cpp.
#include <QStringList>

namespace cli {

extern const char* const kPackMakeUsage;
int RunPackMake(const QStringList& args);

} // namespace cli
