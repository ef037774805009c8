#include "agent/tray_icon.h"

#include "platform/notification_area.h"

#include <QGuiApplication>
#include <QMenu>
#include <QSystemTrayIcon>

namespace agent {

namespace {

class SystemTrayIcon final : public TrayIcon {
public:
    explicit SystemTrayIcon(platform::NotificationAreaWatch& area) : area_(area)
    {
        // The watch outlives the icon: the connection is taken down with the icon.
        presence_ = QObject::connect(&area_, &platform::NotificationAreaWatch::PresenceChanged, &area_, [this] {
            if (onAvailabilityChanged)
                onAvailabilityChanged();
            else if (wanted_ && area_.IsPresent())
                Show();
        });
    }
    ~SystemTrayIcon() override { QObject::disconnect(presence_); }
    SystemTrayIcon(const SystemTrayIcon&) = delete;
    SystemTrayIcon& operator=(const SystemTrayIcon&) = delete;

    void Add(const QIcon& icon, const QString& tip) override
    {
        icon_ = icon;
        tip_ = tip;
        wanted_ = true;
        if (area_.IsPresent())
            Show();
    }
    void Modify(const QIcon& icon) override
    {
        icon_ = icon;
        if (tray_)
            tray_->setIcon(icon);
    }
    void SetTip(const QString& tip) override
    {
        tip_ = tip;
        if (tray_)
            tray_->setToolTip(tip);
    }
    void Delete() override
    {
        wanted_ = false;
        if (tray_)
            tray_->hide();
    }
    bool IsAvailable() const override { return area_.IsPresent(); }
    void SetMenu(QMenu* menu) override
    {
        menu_ = menu;
        if (tray_)
            tray_->setContextMenu(menu);
    }

private:
    void Show()
    {
        // Qt chooses between a StatusNotifierItem and an XEmbed icon once a
        // process, when it is first asked: asked only once a notification area
        // is there, it takes the kind that is, even when the tray service came up
        // after the program.
        if (!tray_) {
            tray_ = std::make_unique<QSystemTrayIcon>();
            tray_->setContextMenu(menu_);
            QObject::connect(tray_.get(), &QSystemTrayIcon::activated, [this](QSystemTrayIcon::ActivationReason reason) {
                // A double click arrives as a click and then a double click: two
                // toggles, as two clicks would give.
                if ((reason == QSystemTrayIcon::Trigger || reason == QSystemTrayIcon::DoubleClick) && onClick)
                    onClick();
            });
        }
        tray_->setIcon(icon_);
        tray_->setToolTip(tip_);
        // Adding an icon that is there already changes nothing.
        if (!tray_->isVisible())
            tray_->show();
    }

    platform::NotificationAreaWatch& area_;
    QMetaObject::Connection presence_;
    std::unique_ptr<QSystemTrayIcon> tray_;
    QMenu* menu_ = nullptr;
    QIcon icon_;
    QString tip_;
    bool wanted_ = false;
};

// Where no display is (the offscreen platform of tests, headless runs) there is no
// notification area to ask; QSystemTrayIcon would only warn there.
class NoTrayIcon final : public TrayIcon {
public:
    void Add(const QIcon&, const QString&) override {}
    void Modify(const QIcon&) override {}
    void SetTip(const QString&) override {}
    void Delete() override {}
    bool IsAvailable() const override { return false; }
    void SetMenu(QMenu*) override {}
};

} // namespace

std::unique_ptr<TrayIcon> MakeSystemTrayIcon(platform::NotificationAreaWatch* area)
{
    const QString platform = QGuiApplication::platformName();
    if (!area || platform == QLatin1String("offscreen") || platform == QLatin1String("minimal"))
        return std::make_unique<NoTrayIcon>();
    return std::make_unique<SystemTrayIcon>(*area);
}

} // namespace agent
