#pragma once
// The start-with-the-session entry: an XDG autostart file that runs the desktop
// program with "/startup" when the user logs in.
#include <QByteArray>
#include <QString>

namespace platform {

// $XDG_CONFIG_HOME/autostart/ambience.desktop
QString AutostartFilePath();

// The desktop program to start: "ambience" in the program folder (the folder of
// the running program file, or AMBIENCE_PROGRAM_DIR), so that ambience-cli, which
// lives beside it, names the same program.
QString DesktopProgramPath();

// One argument of an Exec line, quoted by the Desktop Entry rules: in double quotes,
// with ", `, $ and \ escaped by a backslash and % doubled, then the escapes of a
// string value applied (\ becomes \\, control characters \n \t \r).
QString QuoteExecArgument(const QString& argument);

// The whole file: a hidden-from-menus application entry whose Exec is the quoted
// program path followed by /startup.
QByteArray AutostartEntry(const QString& programPath, const QString& name);

// Writes the entry atomically (nothing is written when it is already so) or removes
// it (a missing file is no error). False with the reason in *error on failure.
bool SetAutostart(bool enabled, const QString& programPath, const QString& name, QString* error);

} // namespace platform
