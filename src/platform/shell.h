#pragma once
#include <QString>

namespace platform {

// Opens a web, mailto: or file:// address with the user's default program without
// blocking the caller. A file:// address of a folder opens its index.html.
// Returns false when no program could be started.
bool OpenWithShell(const QString& address);

} // namespace platform
