#include "desktop/desktop_programs.h"

#include "platform/tool_run.h"
#include "support/temp_env.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QThread>

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <algorithm>
#include <cstdlib>
#include <vector>

PrivateSession::PrivateSession(const QString& root)
{
    struct Folder {
        const char* variable;
        const char* name;
    };
    for (const Folder& f : {Folder {"XDG_CONFIG_HOME", "config"}, Folder {"XDG_DATA_HOME", "data"},
                            Folder {"XDG_CACHE_HOME", "cache"}, Folder {"XDG_RUNTIME_DIR", "run"}}) {
        const QString path = root + QLatin1Char('/') + QLatin1String(f.name);
        QDir().mkpath(path);
        env_.Set(f.variable, QFile::encodeName(path));
    }
    QFile::setPermissions(root + QStringLiteral("/run"), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    env_.Set("HOME", QFile::encodeName(root));
    // No accessibility bus, no GVfs daemons: fewer services that could outlive the test.
    env_.Set("NO_AT_BRIDGE", "1");
    env_.Set("GTK_A11Y", "none");
    env_.Set("GIO_USE_VFS", "local");
    env_.Set("GIO_USE_VOLUME_MONITOR", "unix");
    env_.Set("GSETTINGS_BACKEND", "dconf");

    // The test suites may run with a gsettings on PATH that only notes its calls
    // (scripts/test.sh does, to catch a test reaching the real desktop); on this
    // private bus the system's own is wanted.
    const QString bin = root + QStringLiteral("/bin");
    QDir().mkpath(bin);
    for (const char* folder : {"/usr/local/bin", "/usr/bin", "/bin"}) {
        const QString real = QLatin1String(folder) + QStringLiteral("/gsettings");
        if (QFileInfo(real).isExecutable()) {
            QFile::link(real, bin + QStringLiteral("/gsettings"));
            break;
        }
    }
    env_.Set("PATH", QFile::encodeName(bin) + ':' + qgetenv("PATH"));

    if (platform::FindTool(QStringLiteral("dbus-daemon")).isEmpty()) {
        problem_ = QStringLiteral("dbus-daemon is not installed");
        return;
    }
    bus_.setProcessChannelMode(QProcess::SeparateChannels);
    bus_.setStandardErrorFile(root + QStringLiteral("/dbus-daemon.log"));
    bus_.start(QStringLiteral("dbus-daemon"),
               {QStringLiteral("--session"), QStringLiteral("--nofork"), QStringLiteral("--nopidfile"),
                QStringLiteral("--address=unix:path=") + root + QStringLiteral("/run/bus"),
                QStringLiteral("--print-address=1")});
    if (!bus_.waitForStarted(5000)) {
        problem_ = QStringLiteral("dbus-daemon did not start");
        return;
    }
    while (!bus_.canReadLine() && bus_.waitForReadyRead(5000)) {
    }
    address_ = QString::fromUtf8(bus_.readLine()).trimmed();
    if (address_.isEmpty()) {
        problem_ = QStringLiteral("dbus-daemon gave no address");
        return;
    }
    env_.Set("DBUS_SESSION_BUS_ADDRESS", address_.toUtf8());
}

PrivateSession::~PrivateSession()
{
    if (bus_.state() != QProcess::NotRunning) {
        bus_.terminate();
        if (!bus_.waitForFinished(3000))
            bus_.kill();
        bus_.waitForFinished(1000);
    }
}

QString MissingPrograms(const QStringList& programs)
{
    QStringList missing;
    for (const QString& p : programs) {
        if (platform::FindTool(p).isEmpty())
            missing << p;
    }
    return missing.isEmpty() ? QString() : QStringLiteral("not installed: ") + missing.join(QStringLiteral(", "));
}

DesktopProgram::DesktopProgram(const QString& program, const QStringList& args, const QString& logFolder)
    : log_(logFolder + QLatin1Char('/') + QFileInfo(program).fileName() + QStringLiteral(".log"))
{
    process_.setProcessChannelMode(QProcess::MergedChannels);
    process_.setStandardOutputFile(log_, QIODevice::Append);
    process_.start(program, args);
    process_.waitForStarted(5000);
}

DesktopProgram::~DesktopProgram()
{
    if (process_.state() == QProcess::NotRunning)
        return;
    process_.terminate();
    if (!process_.waitForFinished(5000)) {
        process_.kill();
        process_.waitForFinished(2000);
    }
}

QString DesktopProgram::Log() const
{
    QFile file(log_);
    return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll().right(4000)) : QString();
}

bool WaitUntil(const std::function<bool()>& ready, int timeoutMs)
{
    const int step = 50;
    for (int waited = 0;; waited += step) {
        if (ready())
            return true;
        if (waited >= timeoutMs)
            return false;
        QThread::msleep(step);
    }
}

namespace {

struct Connection {
    Connection() : dpy(XOpenDisplay(nullptr)) {}
    ~Connection()
    {
        if (dpy)
            XCloseDisplay(dpy);
    }
    Display* dpy;
};

} // namespace

QSize ScreenSize()
{
    Connection x;
    if (!x.dpy)
        return {};
    XWindowAttributes a {};
    XGetWindowAttributes(x.dpy, DefaultRootWindow(x.dpy), &a);
    return QSize(a.width, a.height);
}

QImage GrabScreen(const QRect& region)
{
    Connection x;
    if (!x.dpy || region.isEmpty())
        return {};
    XImage* image = XGetImage(x.dpy, DefaultRootWindow(x.dpy), region.x(), region.y(), unsigned(region.width()),
                              unsigned(region.height()), AllPlanes, ZPixmap);
    if (!image)
        return {};
    QImage out(region.size(), QImage::Format_RGB888);
    for (int y = 0; y < region.height(); ++y)
        for (int col = 0; col < region.width(); ++col) {
            const unsigned long p = XGetPixel(image, col, y);
            out.setPixel(col, y, qRgb(int((p >> 16) & 0xff), int((p >> 8) & 0xff), int(p & 0xff)));
        }
    XDestroyImage(image);
    return out;
}

namespace {

std::vector<unsigned long> Longs(Display* dpy, Window w, const char* name, Atom type)
{
    std::vector<unsigned long> values;
    Atom actual = 0;
    int format = 0;
    unsigned long count = 0, after = 0;
    unsigned char* data = nullptr;
    if (XGetWindowProperty(dpy, w, XInternAtom(dpy, name, False), 0, 4096, False, type, &actual, &format, &count,
                           &after, &data) == Success && data) {
        if (format == 32) {
            const auto* longs = reinterpret_cast<const unsigned long*>(data);
            values.assign(longs, longs + count);
        }
        XFree(data);
    }
    return values;
}

} // namespace

bool DesktopWindowShown()
{
    Connection x;
    if (!x.dpy)
        return false;
    const Atom desktop = XInternAtom(x.dpy, "_NET_WM_WINDOW_TYPE_DESKTOP", False);
    for (const unsigned long client : Longs(x.dpy, DefaultRootWindow(x.dpy), "_NET_CLIENT_LIST", XA_WINDOW)) {
        for (const unsigned long type : Longs(x.dpy, Window(client), "_NET_WM_WINDOW_TYPE", XA_ATOM)) {
            if (type == desktop)
                return true;
        }
    }
    return false;
}

void SaveScreenshot(const QString& name)
{
    QString folder = qEnvironmentVariable("AMBIENCE_SCREENSHOTS");
    if (folder.isEmpty())
        folder = BuildBinDir() + QStringLiteral("/../screenshots");
    QDir().mkpath(folder);
    GrabScreen(QRect(QPoint(0, 0), ScreenSize())).save(folder + QLatin1Char('/') + name + QStringLiteral(".png"));
}

QString ScreenMatch::Describe() const
{
    return QStringLiteral("%1 of %2 pixels differ (largest channel difference %3, first at %4,%5)")
        .arg(differing)
        .arg(compared)
        .arg(worst)
        .arg(firstDiffering.x())
        .arg(firstDiffering.y());
}

ScreenMatch CompareWithPicture(const QImage& shown, const QRect& region, const QImage& picture, QPoint pictureAt,
                               int tolerance)
{
    ScreenMatch m;
    if (shown.size() != region.size())
        return m;
    const QImage pic = picture.convertToFormat(QImage::Format_RGB888);
    const QRect placed(pictureAt, pic.size());
    for (int y = 0; y < region.height(); ++y)
        for (int col = 0; col < region.width(); ++col) {
            const QPoint at = region.topLeft() + QPoint(col, y);
            ++m.compared;
            int diff = 255;
            if (placed.contains(at)) {
                const QRgb a = shown.pixel(col, y), b = pic.pixel(at - pictureAt);
                diff = std::max({std::abs(qRed(a) - qRed(b)), std::abs(qGreen(a) - qGreen(b)),
                                 std::abs(qBlue(a) - qBlue(b))});
            }
            m.worst = std::max(m.worst, diff);
            if (diff > tolerance) {
                if (m.differing++ == 0)
                    m.firstDiffering = at;
            }
        }
    return m;
}

ScreenMatch WaitForScreen(const QRect& region, const QImage& picture, QPoint pictureAt, int timeoutMs, int tolerance)
{
    ScreenMatch last;
    WaitUntil(
        [&] {
            last = CompareWithPicture(GrabScreen(region), region, picture, pictureAt, tolerance);
            return last.Matches();
        },
        timeoutMs);
    return last;
}

QImage CoarsePattern(const QSize& size, int seed)
{
    QImage image(size, QImage::Format_RGB888);
    const int columns = 8, rows = 5;
    for (int y = 0; y < size.height(); ++y)
        for (int col = 0; col < size.width(); ++col) {
            const int block = (y * rows / size.height()) * columns + col * columns / size.width();
            const int n = block * 7 + seed * 13;
            image.setPixel(col, y, qRgb(40 + (n * 53) % 200, 40 + (n * 97) % 200, 40 + (n * 31) % 200));
        }
    return image;
}
