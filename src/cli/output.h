#pragma once
// How ambience-cli speaks: lines on stdout, problems on stderr after the program's
// name, and the few sentences several commands share.
#include <QString>

#include <cstdio>

namespace cli {

void PrintLine(std::FILE* out, const QString& line);
// A line on stdout.
void Say(const QString& line);
// "ambience-cli: " + message, on stderr; a message already said in this run is
// not said again.
void PrintError(const QString& message);

// "cannot save the settings (problem)"; the problem names the file.
QString CannotSaveSettings(const QString& problem);

} // namespace cli
