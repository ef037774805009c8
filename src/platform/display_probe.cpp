#include "platform/display_probe.h"

#include <QDir>
#include <QFileInfo>
#include <QLibraryInfo>
#include <QString>

#include <X11/Xlib.h>

#include <cstring>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

namespace platform {
namespace {

bool PluginInstalled(const char* name)
{
    const QString folder = QLibraryInfo::path(QLibraryInfo::PluginsPath) + QStringLiteral("/platforms");
    return !QDir(folder).entryList({QStringLiteral("libq%1*.so").arg(QLatin1String(name))}, QDir::Files).isEmpty();
}

// XOpenDisplay prints nothing on failure but may wait for a TCP display; a local
// one answers or refuses at once.
bool XServerAnswers()
{
    if (qEnvironmentVariableIsEmpty("DISPLAY"))
        return false;
    Display* display = XOpenDisplay(nullptr);
    if (!display)
        return false;
    XCloseDisplay(display);
    return true;
}

bool WaylandSocketAnswers()
{
    const QByteArray name = qgetenv("WAYLAND_DISPLAY");
    if (name.isEmpty())
        return false;
    QByteArray path = name;
    if (!name.startsWith('/')) {
        const QByteArray runtime = qgetenv("XDG_RUNTIME_DIR");
        if (runtime.isEmpty())
            return false;
        path = runtime + '/' + name;
    }
    sockaddr_un address {};
    address.sun_family = AF_UNIX;
    if (static_cast<size_t>(path.size()) >= sizeof address.sun_path)
        return false;
    std::memcpy(address.sun_path, path.constData(), static_cast<size_t>(path.size()));
    const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd < 0)
        return false;
    const bool ok = ::connect(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address) == 0;
    ::close(fd);
    return ok;
}

} // namespace

bool X11DisplayReachable() { return PluginInstalled("xcb") && XServerAnswers(); }

bool WaylandDisplayReachable() { return PluginInstalled("wayland") && WaylandSocketAnswers(); }

QByteArray ChooseQtPlatform(const QByteArray& requested, bool needsScreen)
{
    if (!needsScreen || requested == "offscreen" || requested == "minimal")
        return "offscreen";
    const bool wayland = WaylandDisplayReachable();
    const bool x11 = X11DisplayReachable();
    if (requested.startsWith("wayland") && wayland)
        return requested;
    if (requested.startsWith("xcb") && x11)
        return requested;
    if (wayland)
        return "wayland";
    if (x11)
        return "xcb";
    return "offscreen";
}

} // namespace platform
