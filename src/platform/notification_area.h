#pragma once
// Whether the desktop has a notification area to show the program's icon: a
// StatusNotifierItem host (org.kde.StatusNotifierWatcher on the session bus with
// a host registered, as Plasma and many panels offer) or an XEmbed system tray
// (an owner of the X selection _NET_SYSTEM_TRAY_S<screen>). GNOME Shell offers
// neither without an extension.
#include <QObject>

#include <memory>

namespace platform {

struct NotificationArea {
    bool statusNotifierHost = false;
    bool xembedTray = false;
    bool Present() const { return statusNotifierHost || xembedTray; }
};

// Asked now, of the session bus and the X display of the environment.
NotificationArea CurrentNotificationArea();

// Tells when a notification area appears or goes: a tray service that comes up
// after the program at login, a panel restarted, an extension turned on.
class NotificationAreaWatch : public QObject {
    Q_OBJECT
public:
    using QObject::QObject;
    virtual bool IsPresent() const = 0;

signals:
    void PresenceChanged(bool present);
};

// The watch of this session: the bus name and the host signal of the
// StatusNotifierWatcher, and the XEmbed selection.
std::unique_ptr<NotificationAreaWatch> WatchNotificationArea();

} // namespace platform
