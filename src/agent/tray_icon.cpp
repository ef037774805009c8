#include "agent/tray_icon.h"

#include <QGuiApplication>
#include <QMenu>
#include <QSystemTrayIcon>

namespace agent {

namespace {

class SystemTrayIcon final : public TrayIcon {
public:
    SystemTrayIcon()
    {
        QObject::connect(&icon_, &QSystemTrayIcon::activated, [this](QSystemTrayIcon::ActivationReason reason) {
            // A double click arrives as a click and then a double click: two
            // toggles, as two clicks would give.
            if ((reason == QSystemTrayIcon::Trigger || reason == QSystemTrayIcon::DoubleClick) && onClick)
                onClick();
        });
    }

    void Add(const QIcon& icon, const QString& tip) override
    {
        icon_.setIcon(icon);
        icon_.setToolTip(tip);
        // Adding an icon that is there already changes nothing.
        if (!icon_.isVisible())
            icon_.show();
    }
    void Modify(const QIcon& icon) override { icon_.setIcon(icon); }
    void Delete() override { icon_.hide(); }
    bool IsAvailable() const override { return QSystemTrayIcon::isSystemTrayAvailable(); }
    void SetMenu(QMenu* menu) override { icon_.setContextMenu(menu); }

private:
    QSystemTrayIcon icon_;
};

// Where no display is (the offscreen platform of tests, headless runs) there is no
// notification area to ask; QSystemTrayIcon would only warn there.
class NoTrayIcon final : public TrayIcon {
public:
    void Add(const QIcon&, const QString&) override {}
    void Modify(const QIcon&) override {}
    void Delete() override {}
    bool IsAvailable() const override { return false; }
    void SetMenu(QMenu*) override {}
};

} // namespace

std::unique_ptr<TrayIcon> MakeSystemTrayIcon()
{
    const QString platform = QGuiApplication::platformName();
    if (platform == QLatin1String("offscreen") || platform == QLatin1String("minimal"))
        return std::make_unique<NoTrayIcon>();
    return std::make_unique<SystemTrayIcon>();
}

} // namespace agent
