// A notification area that comes up after the program: a StatusNotifierWatcher
// registered later on a private session bus, and a host registering with it.
#include "platform/notification_area.h"

#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QProcess>
#include <QSignalSpy>
#include <QStandardPaths>
#include <QTest>

#include <gtest/gtest.h>

#include <atomic>

namespace {

// The watcher's side of the StatusNotifierItem protocol, as far as presence goes.
class FakeWatcher : public QObject {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.kde.StatusNotifierWatcher")
    Q_PROPERTY(bool IsStatusNotifierHostRegistered READ hostRegistered)
public:
    bool hostRegistered() const { return host; }
    std::atomic<bool> host = false;
signals:
    void StatusNotifierHostRegistered();
    void StatusNotifierHostUnregistered();
};

TEST(NotificationArea, AWatcherThatComesLaterIsSeenOnceAHostRegisters)
{
    if (QStandardPaths::findExecutable(QStringLiteral("dbus-daemon")).isEmpty())
        GTEST_SKIP() << "dbus-daemon is not installed";
    QProcess daemon;
    daemon.start(QStringLiteral("dbus-daemon"), {QStringLiteral("--session"), QStringLiteral("--nofork"),
                                                 QStringLiteral("--print-address=1")});
    ASSERT_TRUE(daemon.waitForStarted(5000));
    ASSERT_TRUE(daemon.waitForReadyRead(10000));
    const QByteArray address = daemon.readLine().trimmed();
    ASSERT_FALSE(address.isEmpty());
    auto stopDaemon = qScopeGuard([&] {
        daemon.kill();
        daemon.waitForFinished(5000);
    });
    QDBusConnection session = QDBusConnection::connectToBus(QString::fromUtf8(address), QStringLiteral("session"));
    ASSERT_TRUE(session.isConnected());

    const std::unique_ptr<platform::NotificationAreaWatch> watch = platform::WatchNotificationArea(session, {});
    QSignalSpy changes(watch.get(), &platform::NotificationAreaWatch::PresenceChanged);
    // The first answer comes without waiting for it: no watcher, no area.
    EXPECT_FALSE(watch->IsSettled());
    ASSERT_TRUE(QTest::qWaitFor([&] { return watch->IsSettled(); }, 10000));
    EXPECT_FALSE(watch->IsPresent());
    EXPECT_TRUE(changes.isEmpty());

    // The tray service comes up: its watcher first, with no host yet.
    QDBusConnection tray = QDBusConnection::connectToBus(QString::fromUtf8(address), QStringLiteral("tray"));
    ASSERT_TRUE(tray.isConnected());
    // Served on this thread: the watch asks without blocking it.
    FakeWatcher watcher;
    ASSERT_TRUE(tray.registerObject(QStringLiteral("/StatusNotifierWatcher"), &watcher,
                                    QDBusConnection::ExportAllProperties | QDBusConnection::ExportAllSignals));
    ASSERT_TRUE(tray.registerService(QStringLiteral("org.kde.StatusNotifierWatcher")));
    // The panel's host registers: now icons show.
    watcher.host = true;
    emit watcher.StatusNotifierHostRegistered();
    ASSERT_TRUE(changes.wait(10000));
    EXPECT_TRUE(changes.takeFirst().at(0).toBool());
    EXPECT_TRUE(watch->IsPresent());

    // The panel's host leaves; it comes back.
    watcher.host = false;
    emit watcher.StatusNotifierHostUnregistered();
    ASSERT_TRUE(changes.wait(10000));
    EXPECT_FALSE(changes.takeFirst().at(0).toBool());
    watcher.host = true;
    emit watcher.StatusNotifierHostRegistered();
    ASSERT_TRUE(changes.wait(10000));
    EXPECT_TRUE(changes.takeFirst().at(0).toBool());

    // The tray service goes.
    tray.unregisterService(QStringLiteral("org.kde.StatusNotifierWatcher"));
    ASSERT_TRUE(changes.wait(10000));
    EXPECT_FALSE(changes.takeFirst().at(0).toBool());
    EXPECT_FALSE(watch->IsPresent());
    QDBusConnection::disconnectFromBus(QStringLiteral("tray"));
    QDBusConnection::disconnectFromBus(QStringLiteral("session"));
}

} // namespace

#include "notification_area_test.moc"
