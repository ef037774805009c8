#pragma once
// Whether the desktop has a notification area to show the program's icon: a
// StatusNotifierItem host (org.kde.StatusNotifierWatcher on the session bus with
// a host registered, as Plasma and many panels offer) or an XEmbed system tray
// (an owner of the X selection _NET_SYSTEM_TRAY_S<screen>). GNOME Shell offers
// neither without an extension.
#include <QByteArray>
#include <QObject>

#include <memory>

class QDBusConnection;

namespace platform {

// Tells when a notification area appears or goes: a tray service that comes up
// after the program at login, a panel restarted, an extension turned on.
class NotificationAreaWatch : public QObject {
    Q_OBJECT
public:
    using QObject::QObject;
    virtual bool IsPresent() const = 0;
    // False until the first answers are in (a bus service asked without waiting);
    // Settled() tells when. Until then IsPresent() says no.
    virtual bool IsSettled() const { return true; }

signals:
    void PresenceChanged(bool present);
    void Settled();
};

// A desktop that never shows a notification area: no display, tests.
class NoNotificationArea final : public NotificationAreaWatch {
    Q_OBJECT
public:
    using NotificationAreaWatch::NotificationAreaWatch;
    bool IsPresent() const override { return false; }
};

// The watch of a session: the bus name and the host signals of the
// StatusNotifierWatcher on bus, and the XEmbed selection on the X display named
// display (none when empty). Nothing in it waits for the bus or the tray: it
// follows their signals and asks without blocking.
std::unique_ptr<NotificationAreaWatch> WatchNotificationArea(const QDBusConnection& bus, const QByteArray& display);

} // namespace platform
