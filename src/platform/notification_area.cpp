#include "platform/notification_area.h"

#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusInterface>
#include <QDBusServiceWatcher>
#include <QTimer>

#include <X11/Xlib.h>

#include <cstdlib>

namespace platform {
namespace {

const QString kWatcherService = QStringLiteral("org.kde.StatusNotifierWatcher");
const QString kWatcherPath = QStringLiteral("/StatusNotifierWatcher");

// A registered watcher is not enough: the icons show only once a host (the
// panel's tray) has registered with it.
bool StatusNotifierHostPresent(const QDBusConnection& bus)
{
    if (!bus.isConnected() || !bus.interface())
        return false;
    if (!bus.interface()->isServiceRegistered(kWatcherService).value())
        return false;
    QDBusInterface watcher(kWatcherService, kWatcherPath, kWatcherService, bus);
    watcher.setTimeout(2000);
    return watcher.isValid() && watcher.property("IsStatusNotifierHostRegistered").toBool();
}

// The XEmbed tray manager of the default screen, looked up on a connection of
// our own so that no toolkit state is involved.
class XEmbedProbe {
public:
    XEmbedProbe()
    {
        if (std::getenv("DISPLAY"))
            dpy_ = XOpenDisplay(nullptr);
        if (dpy_) {
            const QByteArray name = "_NET_SYSTEM_TRAY_S" + QByteArray::number(DefaultScreen(dpy_));
            selection_ = XInternAtom(dpy_, name.constData(), False);
        }
    }
    ~XEmbedProbe()
    {
        if (dpy_)
            XCloseDisplay(dpy_);
    }
    XEmbedProbe(const XEmbedProbe&) = delete;
    XEmbedProbe& operator=(const XEmbedProbe&) = delete;

    bool Owned() const { return dpy_ && XGetSelectionOwner(dpy_, selection_) != None; }

private:
    Display* dpy_ = nullptr;
    Atom selection_ = None;
};

class SessionWatch final : public NotificationAreaWatch {
    Q_OBJECT
public:
    SessionWatch() : bus_(QDBusConnection::sessionBus())
    {
        if (bus_.isConnected()) {
            auto* names = new QDBusServiceWatcher(kWatcherService, bus_,
                                                  QDBusServiceWatcher::WatchForOwnerChange, this);
            connect(names, &QDBusServiceWatcher::serviceOwnerChanged, this, [this] { Recheck(); });
            // A host that registers with a watcher already there.
            bus_.connect(kWatcherService, kWatcherPath, kWatcherService, QStringLiteral("StatusNotifierHostRegistered"),
                         this, SLOT(Recheck()));
        }
        // X has no cheap event for another client's selection without an
        // extension; asking the server for the owner now and then costs a round trip.
        auto* poll = new QTimer(this);
        poll->setInterval(1000);
        connect(poll, &QTimer::timeout, this, [this] { Recheck(); });
        poll->start();
        state_ = Ask();
    }

    bool IsPresent() const override { return state_.Present(); }

private slots:
    void Recheck()
    {
        const bool was = state_.Present();
        state_ = Ask();
        if (state_.Present() != was)
            emit PresenceChanged(state_.Present());
    }
private:
    NotificationArea Ask() const
    {
        NotificationArea area;
        area.statusNotifierHost = StatusNotifierHostPresent(bus_);
        area.xembedTray = xembed_.Owned();
        return area;
    }

    QDBusConnection bus_;
    XEmbedProbe xembed_;
    NotificationArea state_;
};

} // namespace

NotificationArea CurrentNotificationArea()
{
    NotificationArea area;
    area.statusNotifierHost = StatusNotifierHostPresent(QDBusConnection::sessionBus());
    area.xembedTray = XEmbedProbe().Owned();
    return area;
}

std::unique_ptr<NotificationAreaWatch> WatchNotificationArea()
{
    return std::make_unique<SessionWatch>();
}

} // namespace platform

#include "notification_area.moc"
