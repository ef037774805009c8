#pragma once
// Handing a desktop change to the running desktop program over its
// single-instance socket (change/remote_request.h), and reporting its answer.
#include <QString>

#include <optional>

namespace cli {

// When the desktop program runs, the change is its to carry out: the wallpaper, its
// window and its count stay in step, and a key binding drives what the user sees.
// Sends request and reports the answer; returns the exit code. Nothing when no
// program answers: then the work is to be done in this process.
std::optional<int> HandOver(const QString& request);

} // namespace cli
