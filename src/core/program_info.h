#pragma once
// What the two programs say about themselves on the command line: the version line,
// and the desktop program's arguments, which its --help and its manual page share.
#include <QString>

#include <optional>
#include <vector>

namespace core {

// "Ambience 3.00": the product's name and version, as both programs print them.
QString VersionLine();

struct ProgramArgument {
    const char* argument; // as typed
    const char* meaning;  // one sentence
};

// The desktop program's arguments. Only the first argument counts; anything not
// listed here is ignored.
const std::vector<ProgramArgument>& WindowProgramArguments();

// What "ambience --help" prints.
QString WindowProgramHelp();

// The text the desktop program prints and exits with when its first argument is
// --version or --help; nothing for any other argument.
std::optional<QString> InformationText(const char* firstArgument);

// The one sentence "ambience" says when it finds no display to show itself on.
QString NoDisplayMessage();

} // namespace core
