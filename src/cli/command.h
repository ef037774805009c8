#pragma once
// ambience-cli commands register themselves here; each lives in a file of its own.
#include <QStringList>

#include <functional>
#include <vector>

namespace cli {

struct Command {
    const char* name;    // first word on the command line
    const char* usage;   // one line: arguments
    const char* summary; // one line: what it does
    // Gets the arguments after the command name; returns the process exit code.
    std::function<int(const QStringList& args)> run;
};

std::vector<Command>& Commands();

// Commands whose names begin with "__" serve the build and the shell completion
// scripts: the help and the manual page leave them out.
inline bool Listed(const Command& command)
{
    return command.name[0] != '_';
}

struct Registrar {
    explicit Registrar(Command command) { Commands().push_back(std::move(command)); }
};

} // namespace cli
