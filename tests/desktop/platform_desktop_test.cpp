// Screen, work area and the X11 root-window wallpaper on a real X display. Run by
// tests/desktop/with_desktop.sh (Xvfb, openbox, and trayer for a strut).
#include "platform/env_guard.h"
#include "platform/notification_area.h"
#include "platform/screen.h"
#include "platform/tool_run.h"
#include "platform/wallpaper.h"
#include "support/temp_env.h"

#include <QDBusConnection>
#include <QDir>
#include <QGuiApplication>
#include <QFile>
#include <QImage>
#include <QProcess>
#include <QThread>
#include <QRandomGenerator>
#include <QSignalSpy>

#include <gtest/gtest.h>

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <csignal>
#include <vector>

namespace {

int g_errors = 0;
int CountError(Display*, XErrorEvent*)
{
    ++g_errors;
    return 0;
}

// A connection of the test's own, to look at what the program left behind.
class X {
public:
    X() : dpy(XOpenDisplay(nullptr)) { previous_ = XSetErrorHandler(&CountError); }
    ~X()
    {
        if (dpy)
            XCloseDisplay(dpy);
        XSetErrorHandler(previous_);
    }
    Window Root() const { return DefaultRootWindow(dpy); }
    QSize RootSize() const
    {
        XWindowAttributes a {};
        XGetWindowAttributes(dpy, Root(), &a);
        return QSize(a.width, a.height);
    }
    std::vector<unsigned long> Property(Window w, const char* name, Atom type) const
    {
        std::vector<unsigned long> values;
        Atom actual = 0;
        int format = 0;
        unsigned long count = 0, after = 0;
        unsigned char* data = nullptr;
        if (XGetWindowProperty(dpy, w, XInternAtom(dpy, name, False), 0, 1024, False, type, &actual, &format, &count,
                               &after, &data) == Success && data) {
            if (format == 32) {
                const auto* longs = reinterpret_cast<const unsigned long*>(data);
                values.assign(longs, longs + count);
            }
            XFree(data);
        }
        return values;
    }
    // What the screen shows on the root window, as RGB.
    QImage Grab(Drawable d, const QSize& size) const
    {
        XImage* image = XGetImage(dpy, d, 0, 0, unsigned(size.width()), unsigned(size.height()), AllPlanes, ZPixmap);
        if (!image)
            return {};
        QImage out(size, QImage::Format_RGB888);
        for (int y = 0; y < size.height(); ++y)
            for (int x = 0; x < size.width(); ++x) {
                const unsigned long p = XGetPixel(image, x, y);
                out.setPixel(x, y, qRgb(int((p >> 16) & 0xff), int((p >> 8) & 0xff), int(p & 0xff)));
            }
        XDestroyImage(image);
        return out;
    }
    bool PixmapExists(Pixmap p) const
    {
        XSync(dpy, False);
        g_errors = 0;
        Window root = 0;
        int x = 0, y = 0;
        unsigned w = 0, h = 0, border = 0, depth = 0;
        XGetGeometry(dpy, p, &root, &x, &y, &w, &h, &border, &depth);
        XSync(dpy, False);
        return g_errors == 0;
    }

    Display* dpy;

private:
    XErrorHandler previous_ = nullptr;
};

TEST(WorkArea, IsTheScreenLessTheTraysStrut)
{
    ASSERT_EQ(QGuiApplication::platformName(), "xcb");
    X x;
    ASSERT_TRUE(x.dpy);
    const auto info = platform::PrimaryScreen(QSize(1, 1));
    EXPECT_EQ(info.size, x.RootSize());

    // What the window manager published, read independently of Qt.
    const auto published = x.Property(x.Root(), "_NET_WORKAREA", XA_CARDINAL);
    ASSERT_GE(published.size(), 4u);
    const QRect expected {int(published[0]), int(published[1]), int(published[2]), int(published[3])};
    EXPECT_EQ(info.workArea, expected);
    EXPECT_NE(info.workArea, QRect(QPoint(0, 0), info.size)); // the tray reserves its strut
    EXPECT_TRUE(QRect(QPoint(0, 0), info.size).contains(info.workArea));
}

class RootPixmap : public ::testing::Test {
protected:
    // A noisy picture of the root's size: any misplaced or scaled pixel shows.
    QString Picture(const QString& name, quint32 seed)
    {
        const QSize size = x.RootSize();
        QImage image(size, QImage::Format_RGB888);
        QRandomGenerator random(seed);
        for (int y = 0; y < size.height(); ++y)
            for (int col = 0; col < size.width(); ++col)
                image.setPixel(col, y, qRgb(col * 255 / size.width(), int(random.bounded(256)), y * 255 / size.height()));
        const QString path = home.DataHome() + QLatin1Char('/') + name;
        EXPECT_TRUE(image.save(path, "BMP"));
        return path;
    }

    TempEnv home;
    X x;
};

TEST_F(RootPixmap, RootShowsTheBmpAndThePreviousPixmapIsFreed)
{
    ASSERT_TRUE(x.dpy);
    const QString firstPath = Picture(QStringLiteral("first.bmp"), 1);
    const auto first = platform::SetDesktopWallpaper(firstPath);
    ASSERT_TRUE(first.ok()) << first.error().text;
    EXPECT_EQ(first->method, "x11-root");

    const QSize size = x.RootSize();
    const QImage expectedFirst = QImage(firstPath).convertToFormat(QImage::Format_RGB888);
    EXPECT_TRUE(x.Grab(x.Root(), size) == expectedFirst) << "root window pixels differ from the BMP";

    const auto rootIds = x.Property(x.Root(), "_XROOTPMAP_ID", XA_PIXMAP);
    const auto esetrootIds = x.Property(x.Root(), "ESETROOT_PMAP_ID", XA_PIXMAP);
    ASSERT_EQ(rootIds.size(), 1u);
    EXPECT_EQ(rootIds, esetrootIds);
    const Pixmap firstPixmap = Pixmap(rootIds[0]);
    // The pixmap outlives the connection that made it.
    EXPECT_TRUE(x.PixmapExists(firstPixmap));

    const QString secondPath = Picture(QStringLiteral("second.bmp"), 2);
    const auto second = platform::SetDesktopWallpaper(secondPath);
    ASSERT_TRUE(second.ok()) << second.error().text;
    EXPECT_TRUE(x.Grab(x.Root(), size) == QImage(secondPath).convertToFormat(QImage::Format_RGB888));
    const auto newIds = x.Property(x.Root(), "_XROOTPMAP_ID", XA_PIXMAP);
    ASSERT_EQ(newIds.size(), 1u);
    EXPECT_NE(Pixmap(newIds[0]), firstPixmap);
    EXPECT_FALSE(x.PixmapExists(firstPixmap)) << "the previous retained pixmap was not freed";
}

TEST_F(RootPixmap, TheUserIsToldWhatWasDoneAndWhyTheRootWasUsed)
{
    ASSERT_TRUE(x.dpy);
    const QString path = Picture(QStringLiteral("told.bmp"), 3);
    struct Case {
        const char* desktop;
        const char* told;
    };
    for (const Case& c : {
             Case {"", "Set as the X root window's background"},
             // xfconf would keep the picture, but nothing draws it: the root
             // window does, and the user learns why.
             Case {"XFCE", "Xfce's desktop program, xfdesktop, is not running, so the picture was put on the X root "
                           "window instead"},
         }) {
        EnvGuard env;
        env.Set("XDG_CURRENT_DESKTOP", c.desktop);
        env.Set("DBUS_SESSION_BUS_ADDRESS", "unix:path=/nonexistent/bus");
        const auto result = platform::SetDesktopWallpaper(path);
        ASSERT_TRUE(result.ok()) << c.desktop << ": " << result.error().text;
        EXPECT_EQ(result->method, "x11-root") << c.desktop;
        EXPECT_EQ(result->description, QString::fromUtf8(c.told)) << c.desktop;
    }
}

TEST_F(RootPixmap, SmallerPictureStillCoversTheWholeRoot)
{
    ASSERT_TRUE(x.dpy);
    QImage small(64, 40, QImage::Format_RGB888);
    small.fill(QColor(250, 200, 20));
    const QString path = home.DataHome() + QStringLiteral("/small.bmp");
    ASSERT_TRUE(small.save(path, "BMP"));
    const auto result = platform::SetDesktopWallpaper(path);
    ASSERT_TRUE(result.ok()) << result.error().text;
    const QSize size = x.RootSize();
    const QImage shown = x.Grab(x.Root(), size);
    for (const QPoint p : {QPoint(0, 0), QPoint(size.width() - 1, size.height() - 1), QPoint(size.width() / 2, 3)})
        EXPECT_EQ(shown.pixelColor(p), QColor(250, 200, 20)) << p.x() << "," << p.y();
}

TEST_F(RootPixmap, DesktopWindowOverTheRootMakesTheMethodFail)
{
    ASSERT_TRUE(x.dpy);
    const QSize size = x.RootSize();
    const Window desktop = XCreateSimpleWindow(x.dpy, x.Root(), 0, 0, unsigned(size.width()),
                                               unsigned(size.height()), 0, 0, 0);
    const Atom type = XInternAtom(x.dpy, "_NET_WM_WINDOW_TYPE", False);
    const Atom desktopType = XInternAtom(x.dpy, "_NET_WM_WINDOW_TYPE_DESKTOP", False);
    XChangeProperty(x.dpy, desktop, type, XA_ATOM, 32, PropModeReplace,
                    reinterpret_cast<const unsigned char*>(&desktopType), 1);
    XClassHint hint {const_cast<char*>("test-desktop"), const_cast<char*>("TestDesktop")};
    XSetClassHint(x.dpy, desktop, &hint);
    XSelectInput(x.dpy, desktop, StructureNotifyMask);
    XMapWindow(x.dpy, desktop);
    // Wait until the window manager has mapped it.
    for (XEvent event; XWindowEvent(x.dpy, desktop, StructureNotifyMask, &event), event.type != MapNotify;) {
    }

    const QString path = Picture(QStringLiteral("hidden.bmp"), 3);
    const auto result = platform::SetDesktopWallpaper(path);
    EXPECT_FALSE(result.ok());
    EXPECT_TRUE(QString::fromStdString(result.error().text).contains(QStringLiteral("TestDesktop"))) << result.error().text;

    XDestroyWindow(x.dpy, desktop);
    XSync(x.dpy, False);
}

// pcmanfm-qt's desktop on the private X display, with a session bus of its own
// (tests/desktop/with_desktop.sh under dbus-run-session).
TEST_F(RootPixmap, LxqtFreshProfileShowsThePicture)
{
    ASSERT_TRUE(x.dpy);
    const QByteArray bus = qgetenv("AMBIENCE_TEST_BUS");
    if (bus.isEmpty())
        GTEST_SKIP() << "needs a session bus (AMBIENCE_TEST_BUS)";
    EnvGuard env;
    env.Set("DBUS_SESSION_BUS_ADDRESS", bus);
    env.Set("XDG_CURRENT_DESKTOP", "LXQt");
    env.Set("HOME", QFile::encodeName(home.Root()));
    QProcess desktop;
    desktop.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    desktop.start(QStringLiteral("pcmanfm-qt"), {QStringLiteral("--desktop"), QStringLiteral("--profile=lxqt")});
    ASSERT_TRUE(desktop.waitForStarted(5000));
    auto stop = qScopeGuard([&] {
        desktop.terminate();
        if (!desktop.waitForFinished(5000))
            desktop.kill();
    });
    // Ready once its D-Bus name is taken: a second pcmanfm-qt then hands over.
    bool ready = false;
    for (int i = 0; i < 100 && !ready; ++i, QThread::msleep(50)) {
        QProcess ask;
        ask.start(QStringLiteral("dbus-send"), {QStringLiteral("--session"), QStringLiteral("--print-reply"),
                                                QStringLiteral("--dest=org.freedesktop.DBus"), QStringLiteral("/"),
                                                QStringLiteral("org.freedesktop.DBus.NameHasOwner"),
                                                QStringLiteral("string:org.pcmanfm.PCManFM")});
        ready = ask.waitForFinished(5000) && ask.readAllStandardOutput().contains("true");
    }
    ASSERT_TRUE(ready) << "pcmanfm-qt's desktop did not start";

    QImage picture(x.RootSize(), QImage::Format_RGB888);
    picture.fill(QColor(30, 160, 90));
    const QString path = home.DataHome() + QStringLiteral("/lxqt.bmp");
    ASSERT_TRUE(picture.save(path, "BMP"));
    const auto result = platform::SetDesktopWallpaper(path);
    ASSERT_TRUE(result.ok()) << result.error().text;
    EXPECT_EQ(result->method, "lxqt");
    // What the screen shows: the picture, not the black of a fresh profile's
    // mode "none".
    const QSize size = x.RootSize();
    const QImage expected = QImage(path).convertToFormat(QImage::Format_RGB888);
    QImage shown;
    for (int i = 0; i < 40; ++i, QThread::msleep(50)) {
        shown = x.Grab(x.Root(), size);
        if (shown.pixelColor(size.width() / 2, size.height() / 2) == expected.pixelColor(size.width() / 2, size.height() / 2))
            break;
    }
    for (const QPoint p : {QPoint(size.width() / 2, size.height() / 2), QPoint(size.width() / 3, size.height() / 4)})
        EXPECT_EQ(shown.pixelColor(p), expected.pixelColor(p)) << p.x() << "," << p.y();
}

// On a headless sway (tests/desktop/with_sway.sh), looked at with grim.
class Sway : public ::testing::Test {
protected:
    void SetUp() override
    {
        const QByteArray runtime = qgetenv("AMBIENCE_TEST_RUNTIME_DIR");
        if (runtime.isEmpty())
            GTEST_SKIP() << "needs tests/desktop/with_sway.sh";
        env.Set("XDG_RUNTIME_DIR", runtime);
        env.Set("WAYLAND_DISPLAY", qgetenv("AMBIENCE_TEST_WAYLAND_DISPLAY"));
        env.Set("SWAYSOCK", qgetenv("AMBIENCE_TEST_SWAYSOCK"));
        env.Set("XDG_CURRENT_DESKTOP", "sway");
        env.Unset("DISPLAY");
    }
    void TearDown() override
    {
        for (const auto& p : platform::FindProcesses(QStringLiteral("swaybg"))) {
            if (p.args.join(' ').contains(home.Root()))
                ::kill(pid_t(p.pid), SIGTERM);
        }
    }
    QString Solid(const QString& name, const QColor& colour)
    {
        QImage image(64, 36, QImage::Format_RGB888);
        image.fill(colour);
        const QString path = home.Root() + QLatin1Char('/') + name;
        EXPECT_TRUE(image.save(path, "BMP"));
        return path;
    }
    // The colour in the middle of the screen, once it is the one expected (or
    // after a few seconds, whatever it is then).
    QColor ShownWhenSettled(const QColor& expected)
    {
        QColor shown;
        const QString shot = home.Root() + QStringLiteral("/shot.png");
        for (int i = 0; i < 30; ++i) {
            QProcess grim;
            grim.start(QStringLiteral("grim"), {shot});
            if (grim.waitForFinished(5000) && grim.exitCode() == 0) {
                const QImage image(shot);
                shown = image.pixelColor(image.width() / 2, image.height() / 2);
                if (shown == expected)
                    break;
            }
            QThread::msleep(100);
        }
        return shown;
    }

    TempEnv home;
    EnvGuard env;
};

TEST_F(Sway, TheUsersSwaybgIsReplacedAndAnUnreachableCompositorIsNoSuccess)
{
    // The user started a swaybg of their own: sway's output background would
    // stay under it.
    QProcess users;
    users.start(QStringLiteral("swaybg"), {QStringLiteral("-i"), Solid(QStringLiteral("user.bmp"), QColor(255, 0, 0)),
                                           QStringLiteral("-m"), QStringLiteral("fill")});
    ASSERT_TRUE(users.waitForStarted(5000));
    ASSERT_EQ(ShownWhenSettled(QColor(255, 0, 0)), QColor(255, 0, 0));

    auto result = platform::SetDesktopWallpaper(Solid(QStringLiteral("blue.bmp"), QColor(0, 0, 255)));
    ASSERT_TRUE(result.ok()) << result.error().text;
    EXPECT_EQ(result->method, "swaybg");
    EXPECT_EQ(ShownWhenSettled(QColor(0, 0, 255)), QColor(0, 0, 255));
    EXPECT_TRUE(users.waitForFinished(3000)) << "the user's swaybg still runs";

    // The next change replaces ours the same way.
    result = platform::SetDesktopWallpaper(Solid(QStringLiteral("green.bmp"), QColor(0, 255, 0)));
    ASSERT_TRUE(result.ok()) << result.error().text;
    EXPECT_EQ(ShownWhenSettled(QColor(0, 255, 0)), QColor(0, 255, 0));

    // A session whose compositor is gone: nothing can show the picture.
    for (const char* desktop : {"sway", "Hyprland"}) {
        EnvGuard gone;
        gone.Set("XDG_CURRENT_DESKTOP", desktop);
        gone.Set("WAYLAND_DISPLAY", "wayland-77");
        gone.Unset("SWAYSOCK");
        result = platform::SetDesktopWallpaper(Solid(QStringLiteral("lost.bmp"), QColor(255, 255, 255)));
        EXPECT_FALSE(result.ok()) << desktop;
        EXPECT_TRUE(QString::fromStdString(result.error().text).contains(QStringLiteral("no Wayland compositor can be reached")))
            << result.error().text;
    }
}

// A swaybg the user started from the shell that started sway shares sway's
// process group and session but is not sway's (tests/desktop/with_sway.sh
// --swaybg-beside): it is replaced, not left above sway's own background. sway's
// own background, once there, is sway's to change, and grim confirms each change.
TEST_F(Sway, ASwaybgStartedBesideSwayIsReplacedAndSwaysOwnIsKept)
{
    const qint64 beside = qgetenv("AMBIENCE_TEST_BESIDE_SWAYBG").toLongLong();
    if (beside <= 0)
        GTEST_SKIP() << "needs tests/desktop/with_sway.sh --swaybg-beside";
    // sway runs as another user, and sway's own background reads the pictures.
    QFile::setPermissions(home.Root(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner | QFile::ReadOther
                                           | QFile::ExeOther | QFile::ReadGroup | QFile::ExeGroup);
    ASSERT_EQ(ShownWhenSettled(QColor(255, 0, 0)), QColor(255, 0, 0));

    auto result = platform::SetDesktopWallpaper(Solid(QStringLiteral("blue.bmp"), QColor(0, 0, 255)));
    ASSERT_TRUE(result.ok()) << result.error().text;
    EXPECT_EQ(result->method, "swaybg");
    EXPECT_EQ(ShownWhenSettled(QColor(0, 0, 255)), QColor(0, 0, 255));
    bool besideGone = false;
    for (int i = 0; i < 50 && !besideGone; ++i, QThread::msleep(50))
        besideGone = ::kill(pid_t(beside), 0) != 0;
    EXPECT_TRUE(besideGone) << "the swaybg started beside sway still runs";

    // Without our swaybg, sway's own background takes the next change, and the one after.
    TearDown();
    for (const QColor colour : {QColor(0, 255, 0), QColor(255, 255, 255)}) {
        SCOPED_TRACE(colour.name().toStdString());
        result = platform::SetDesktopWallpaper(Solid(colour.name().mid(1) + QStringLiteral(".bmp"), colour));
        ASSERT_TRUE(result.ok()) << result.error().text;
        EXPECT_EQ(result->method, "sway");
        EXPECT_EQ(ShownWhenSettled(colour), colour);
    }
}

// Two outputs, the second upright (tests/desktop/with_sway.sh --outputs 2): the
// program composes one exposition per output and each output shows its own, even
// over a swaybg the user started.
TEST_F(Sway, EachOutputShowsItsOwnExposition)
{
    if (qgetenv("AMBIENCE_TEST_OUTPUTS") != "2")
        GTEST_SKIP() << "needs tests/desktop/with_sway.sh --outputs 2";
    QProcess users;
    users.start(QStringLiteral("swaybg"), {QStringLiteral("-i"), Solid(QStringLiteral("user.bmp"), QColor(255, 0, 0)),
                                           QStringLiteral("-m"), QStringLiteral("fill")});
    ASSERT_TRUE(users.waitForStarted(5000));
    ASSERT_EQ(ShownWhenSettled(QColor(255, 0, 0)), QColor(255, 0, 0));

    const QString packs = home.ProgramDir();
    QDir().mkpath(packs);
    for (const char* pack : {"ambience-gallery.zip", "ambience-lines.zip"})
        QFile::copy(BuildBinDir() + QLatin1Char('/') + QLatin1String(pack), packs + QLatin1Char('/') + QLatin1String(pack));
    QProcess cli;
    cli.start(BuildBinDir() + QStringLiteral("/ambience-cli"),
              {QStringLiteral("next"), QStringLiteral("--local"), QStringLiteral("--monitors"),
               QStringLiteral("HEADLESS-1=1920x1080+0+0,HEADLESS-2=1080x1920+1920+0")});
    ASSERT_TRUE(cli.waitForFinished(120000));
    const QString out = QString::fromUtf8(cli.readAllStandardOutput() + cli.readAllStandardError());
    ASSERT_EQ(cli.exitCode(), 0) << out.toStdString();
    EXPECT_TRUE(out.contains(QStringLiteral("Monitor HEADLESS-2: 1080 x 1920, picture"))) << out.toStdString();
    EXPECT_TRUE(users.waitForFinished(5000)) << "the user's swaybg still runs";

    const QString data = home.DataHome() + QStringLiteral("/Ambience/Ambience/");
    const struct {
        const char* output;
        QString file;
    } outputs[] = {{"HEADLESS-1", data + QStringLiteral("ambience.bmp")},
                   {"HEADLESS-2", data + QStringLiteral("ambience-monitor2.bmp")}};
    QImage shots[2];
    for (int i = 0; i < 2; ++i) {
        SCOPED_TRACE(outputs[i].output);
        const QImage expected = QImage(outputs[i].file).convertToFormat(QImage::Format_RGB32);
        ASSERT_FALSE(expected.isNull());
        const QString shot = home.Root() + QStringLiteral("/%1.png").arg(QLatin1String(outputs[i].output));
        // swaybg draws a moment after it started: wait for the picture.
        double difference = 255;
        for (int attempt = 0; attempt < 30 && difference > 1.0; ++attempt) {
            QProcess grim;
            grim.start(QStringLiteral("grim"), {QStringLiteral("-o"), QLatin1String(outputs[i].output), shot});
            if (grim.waitForFinished(5000) && grim.exitCode() == 0) {
                shots[i] = QImage(shot).convertToFormat(QImage::Format_RGB32);
                if (shots[i].size() == expected.size()) {
                    qint64 sum = 0;
                    for (int y = 0; y < expected.height(); y += 2)
                        for (int x = 0; x < expected.width(); x += 2) {
                            const QRgb a = shots[i].pixel(x, y), b = expected.pixel(x, y);
                            sum += std::abs(qRed(a) - qRed(b)) + std::abs(qGreen(a) - qGreen(b)) + std::abs(qBlue(a) - qBlue(b));
                        }
                    difference = double(sum) / (3.0 * (expected.width() / 2) * (expected.height() / 2));
                }
            }
            if (difference > 1.0)
                QThread::msleep(150);
        }
        EXPECT_EQ(shots[i].size(), expected.size());
        EXPECT_LE(difference, 1.0) << "the output does not show its exposition";
        shots[i].save(BuildBinDir() + QStringLiteral("/../screenshots/sway_%1.png").arg(QLatin1String(outputs[i].output)));
    }
}

// An XEmbed tray that comes and goes is seen from the server's selection events,
// its owner's window made and destroyed on a connection of the test's own.
// Run without a tray (with_desktop.sh --no-tray).
TEST(XEmbedTray, AnOwnerThatComesAndGoesIsSeen)
{
    X x;
    ASSERT_NE(x.dpy, nullptr);
    const QByteArray name = "_NET_SYSTEM_TRAY_S" + QByteArray::number(DefaultScreen(x.dpy));
    const Atom selection = XInternAtom(x.dpy, name.constData(), False);
    ASSERT_EQ(XGetSelectionOwner(x.dpy, selection), None) << "a tray runs already";

    const std::unique_ptr<platform::NotificationAreaWatch> watch =
        platform::WatchNotificationArea(QDBusConnection(QStringLiteral("none")), qgetenv("DISPLAY"));
    EXPECT_TRUE(watch->IsSettled());
    EXPECT_FALSE(watch->IsPresent());
    QSignalSpy changes(watch.get(), &platform::NotificationAreaWatch::PresenceChanged);

    const Window tray = XCreateSimpleWindow(x.dpy, x.Root(), 0, 0, 1, 1, 0, 0, 0);
    XSetSelectionOwner(x.dpy, selection, tray, CurrentTime);
    XFlush(x.dpy);
    ASSERT_TRUE(changes.wait(5000));
    EXPECT_TRUE(changes.takeFirst().at(0).toBool());

    XDestroyWindow(x.dpy, tray);
    XFlush(x.dpy);
    ASSERT_TRUE(changes.wait(5000));
    EXPECT_FALSE(changes.takeFirst().at(0).toBool());
    EXPECT_FALSE(watch->IsPresent());
}

} // namespace
