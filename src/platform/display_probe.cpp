#include "platform/display_probe.h"

#include <QByteArray>
#include <QList>

#include <X11/Xlib.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <cstring>

namespace platform {
namespace {

bool X11Reachable()
{
    const QByteArray name = qgetenv("DISPLAY");
    if (name.isEmpty())
        return false;
    Display* display = XOpenDisplay(name.constData());
    if (!display)
        return false;
    XCloseDisplay(display);
    return true;
}

bool WaylandReachable()
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
    sockaddr_un address{};
    if (static_cast<std::size_t>(path.size()) >= sizeof address.sun_path)
        return false;
    address.sun_family = AF_UNIX;
    std::memcpy(address.sun_path, path.constData(), static_cast<std::size_t>(path.size()));
    const int fd = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd < 0)
        return false;
    const bool connected = ::connect(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address) == 0;
    close(fd);
    return connected;
}

} // namespace

bool DisplayReachable()
{
    // QT_QPA_PLATFORM is a list ("wayland;xcb"), each entry a plugin name with
    // optional ":arguments".
    bool wantX11 = true;
    bool wantWayland = true;
    const QByteArray chosen = qgetenv("QT_QPA_PLATFORM");
    if (!chosen.isEmpty()) {
        wantX11 = wantWayland = false;
        for (const QByteArray& entry : chosen.split(';')) {
            const QByteArray plugin = entry.split(':').first().trimmed();
            wantX11 = wantX11 || plugin == "xcb";
            wantWayland = wantWayland || plugin.startsWith("wayland");
        }
        if (!wantX11 && !wantWayland)
            return true;
    }
    return (wantWayland && WaylandReachable()) || (wantX11 && X11Reachable());
}

} // namespace platform
