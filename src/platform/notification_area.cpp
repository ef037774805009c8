#include "platform/notification_area.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QDBusServiceWatcher>
#include <QDBusVariant>
#include <QSocketNotifier>
#include <QTimer>

#include <X11/Xlib.h>
#include <X11/extensions/Xfixes.h>

namespace platform {
namespace {

const QString kWatcherService = QStringLiteral("org.kde.StatusNotifierWatcher");
const QString kWatcherPath = QStringLiteral("/StatusNotifierWatcher");
// A tray service that does not answer within this long counts as no host.
constexpr int kAskTimeoutMs = 2000;

// The XEmbed tray manager of the default screen, on an X connection of our own so
// that no toolkit state is involved. With the XFixes extension the server tells
// of every change of the selection's owner, read when the connection's socket has
// data; without it the owner is asked once a second.
class XEmbedWatch : public QObject {
    Q_OBJECT
public:
    XEmbedWatch(const QByteArray& display, QObject* parent) : QObject(parent)
    {
        if (!display.isEmpty())
            dpy_ = XOpenDisplay(display.constData());
        if (!dpy_)
            return;
        const QByteArray name = "_NET_SYSTEM_TRAY_S" + QByteArray::number(DefaultScreen(dpy_));
        selection_ = XInternAtom(dpy_, name.constData(), False);
        int error = 0;
        if (XFixesQueryExtension(dpy_, &fixesEvent_, &error)) {
            // Selected before the owner is first asked: no change falls between.
            XFixesSelectSelectionInput(dpy_, DefaultRootWindow(dpy_), selection_,
                                       XFixesSetSelectionOwnerNotifyMask | XFixesSelectionWindowDestroyNotifyMask
                                           | XFixesSelectionClientCloseNotifyMask);
            auto* socket = new QSocketNotifier(ConnectionNumber(dpy_), QSocketNotifier::Read, this);
            connect(socket, &QSocketNotifier::activated, this, &XEmbedWatch::ReadEvents);
        } else {
            fixesEvent_ = -1;
            auto* poll = new QTimer(this);
            poll->setInterval(1000);
            connect(poll, &QTimer::timeout, this, &XEmbedWatch::AskOwner);
            poll->start();
        }
        owned_ = XGetSelectionOwner(dpy_, selection_) != None;
        // The owner's reply may have brought events along into Xlib's queue,
        // where the socket no longer shows them.
        QTimer::singleShot(0, this, &XEmbedWatch::ReadEvents);
    }
    ~XEmbedWatch() override
    {
        if (dpy_)
            XCloseDisplay(dpy_);
    }
    XEmbedWatch(const XEmbedWatch&) = delete;
    XEmbedWatch& operator=(const XEmbedWatch&) = delete;

    bool Owned() const { return owned_; }

signals:
    void OwnedChanged();

private:
    void ReadEvents()
    {
        if (fixesEvent_ < 0)
            return;
        bool changed = false;
        // XPending also reads what the socket holds; asking the owner may queue
        // more events, so the queue is emptied again after it.
        do {
            while (XPending(dpy_) > 0) {
                XEvent event;
                XNextEvent(dpy_, &event);
                if (event.type == fixesEvent_ + XFixesSelectionNotify)
                    changed = true;
            }
            if (changed) {
                changed = false;
                AskOwner();
            }
        } while (XEventsQueued(dpy_, QueuedAlready) > 0);
    }
    void AskOwner()
    {
        const bool owned = XGetSelectionOwner(dpy_, selection_) != None;
        if (owned != owned_) {
            owned_ = owned;
            emit OwnedChanged();
        }
    }

    Display* dpy_ = nullptr;
    Atom selection_ = None;
    int fixesEvent_ = -1;
    bool owned_ = false;
};

class SessionWatch final : public NotificationAreaWatch {
    Q_OBJECT
public:
    SessionWatch(const QDBusConnection& bus, const QByteArray& display)
        : bus_(bus), xembed_(new XEmbedWatch(display, this))
    {
        connect(xembed_, &XEmbedWatch::OwnedChanged, this, &SessionWatch::Update);
        if (!bus_.isConnected()) {
            settled_ = true;
            present_ = xembed_->Owned();
            return;
        }
        auto* names = new QDBusServiceWatcher(kWatcherService, bus_, QDBusServiceWatcher::WatchForOwnerChange, this);
        // A watcher that comes or goes: asked again (one that went answers with
        // an error, which is no host).
        connect(names, &QDBusServiceWatcher::serviceOwnerChanged, this, &SessionWatch::AskHost);
        // Hosts that register with, or leave, a watcher already there.
        for (const char* signal : {"StatusNotifierHostRegistered", "StatusNotifierHostUnregistered"})
            bus_.connect(kWatcherService, kWatcherPath, kWatcherService, QLatin1String(signal), this, SLOT(AskHost()));
        present_ = xembed_->Owned();
        AskHost();
    }

    bool IsPresent() const override { return present_; }
    bool IsSettled() const override { return settled_; }

private slots:
    // A registered watcher is not enough: the icons show only once a host (the
    // panel's tray) has registered with it. Asked without waiting; only the
    // answer to the latest question counts.
    void AskHost()
    {
        QDBusMessage get = QDBusMessage::createMethodCall(kWatcherService, kWatcherPath,
                                                          QStringLiteral("org.freedesktop.DBus.Properties"),
                                                          QStringLiteral("Get"));
        get << kWatcherService << QStringLiteral("IsStatusNotifierHostRegistered");
        // Asking must not start a tray service that the bus could activate.
        get.setAutoStartService(false);
        const quint64 question = ++asked_;
        auto* pending = new QDBusPendingCallWatcher(bus_.asyncCall(get, kAskTimeoutMs), this);
        connect(pending, &QDBusPendingCallWatcher::finished, this, [this, question](QDBusPendingCallWatcher* call) {
            call->deleteLater();
            if (question != asked_)
                return;
            const QDBusPendingReply<QDBusVariant> reply = *call;
            host_ = reply.isValid() && reply.value().variant().toBool();
            Update();
            if (!settled_) {
                settled_ = true;
                emit Settled();
            }
        });
    }

private:
    void Update()
    {
        const bool present = host_ || xembed_->Owned();
        if (present != present_) {
            present_ = present;
            emit PresenceChanged(present_);
        }
    }

    QDBusConnection bus_;
    XEmbedWatch* xembed_;
    quint64 asked_ = 0;
    bool host_ = false;
    bool present_ = false;
    bool settled_ = false;
};

} // namespace

std::unique_ptr<NotificationAreaWatch> WatchNotificationArea(const QDBusConnection& bus, const QByteArray& display)
{
    return std::make_unique<SessionWatch>(bus, display);
}

} // namespace platform

#include "notification_area.moc"
