#pragma once
// Termination requests from outside the toolkit (SIGTERM at log-out on many
// desktops, SIGHUP when the terminal goes, Ctrl+C): they end the program the
// orderly way, so the settings and each pack's current picture are saved.
#include <QObject>

#include <functional>

namespace ui {

// Calls quit on the GUI thread when SIGTERM, SIGINT or SIGHUP arrives. Call once,
// after the application object exists; the notifier is owned by parent.
void QuitOnTerminationSignals(QObject* parent, std::function<void()> quit);

} // namespace ui
