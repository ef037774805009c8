// Plain X11 window managers show the root window's background. A root setter
// draws the picture into a pixmap, makes it the root background, and publishes it
// in _XROOTPMAP_ID / ESETROOT_PMAP_ID so that pseudo-transparent programs find it.
// The pixmap must outlive our connection (close-down mode RetainPermanent); the
// previous setter's retained resources are freed by killing its client, which the
// two properties name when they agree.
#include "platform/wallpaper_methods.h"

#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QScreen>

#include <cstdlib>
#include <vector>

// Xlib last: its macros (None, Bool, Status...) clash with Qt's names.
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>

namespace platform {
namespace {

// Xlib reports protocol errors through one process-wide handler whose default
// ends the process; while we talk to the server, errors are only counted.
int g_xErrors = 0;
unsigned char g_lastError = 0;

int CountError(Display*, XErrorEvent* event)
{
    ++g_xErrors;
    g_lastError = event->error_code;
    return 0;
}

class ErrorTrap {
public:
    ErrorTrap() : previous_(XSetErrorHandler(&CountError)) { g_xErrors = 0; }
    ~ErrorTrap() { XSetErrorHandler(previous_); }
    ErrorTrap(const ErrorTrap&) = delete;
    ErrorTrap& operator=(const ErrorTrap&) = delete;

    // Waits for the server to have handled everything sent so far.
    bool Clean(Display* dpy)
    {
        XSync(dpy, False);
        return g_xErrors == 0;
    }
    void Reset(Display* dpy)
    {
        XSync(dpy, False);
        g_xErrors = 0;
    }

private:
    XErrorHandler previous_;
};

struct DisplayCloser {
    Display* dpy;
    ~DisplayCloser() { if (dpy) XCloseDisplay(dpy); }
};

std::vector<unsigned long> ReadCardinals(Display* dpy, Window w, Atom property, Atom type)
{
    std::vector<unsigned long> values;
    Atom actualType = 0;
    int format = 0;
    unsigned long count = 0, after = 0;
    unsigned char* data = nullptr;
    if (XGetWindowProperty(dpy, w, property, 0, 1L << 16, False, type, &actualType, &format, &count, &after, &data)
            == Success
        && data) {
        if (actualType == type && format == 32) {
            const auto* longs = reinterpret_cast<const unsigned long*>(data);
            values.assign(longs, longs + count);
        }
        XFree(data);
    }
    return values;
}

Pixmap ReadPixmapProperty(Display* dpy, Window root, Atom property)
{
    const auto values = ReadCardinals(dpy, root, property, XA_PIXMAP);
    return values.empty() ? 0 : Pixmap(values.front());
}

// A desktop window (of a file manager or desktop shell) lies over the root window
// and hides its background. Its WM_CLASS is returned for the message, or an
// empty text when there is none.
QString FindDesktopWindow(Display* dpy, Window root, ErrorTrap& trap)
{
    const Atom clientList = XInternAtom(dpy, "_NET_CLIENT_LIST", False);
    const Atom windowType = XInternAtom(dpy, "_NET_WM_WINDOW_TYPE", False);
    const Atom desktopType = XInternAtom(dpy, "_NET_WM_WINDOW_TYPE_DESKTOP", False);

    std::vector<unsigned long> candidates = ReadCardinals(dpy, root, clientList, XA_WINDOW);
    // Without a window manager (or when it does not list it) the desktop window
    // is a direct child of the root.
    Window rootReturn = 0, parent = 0;
    Window* children = nullptr;
    unsigned int childCount = 0;
    if (XQueryTree(dpy, root, &rootReturn, &parent, &children, &childCount) && children) {
        candidates.insert(candidates.end(), children, children + childCount);
        XFree(children);
    }

    QString found;
    for (const unsigned long id : candidates) {
        const Window w = Window(id);
        const auto types = ReadCardinals(dpy, w, windowType, XA_ATOM);
        bool isDesktop = false;
        for (const unsigned long t : types)
            isDesktop = isDesktop || Atom(t) == desktopType;
        if (!isDesktop)
            continue;
        XWindowAttributes attributes {};
        if (!XGetWindowAttributes(dpy, w, &attributes) || attributes.map_state != IsViewable)
            continue;
        // Viewable means mapped along with every ancestor (a window manager's
        // frame included): only then does it hide the root.
        XClassHint hint {};
        if (XGetClassHint(dpy, w, &hint)) {
            found = QString::fromLocal8Bit(hint.res_class ? hint.res_class : hint.res_name);
            if (hint.res_name)
                XFree(hint.res_name);
            if (hint.res_class)
                XFree(hint.res_class);
        }
        if (found.isEmpty())
            found = QStringLiteral("0x%1").arg(qulonglong(w), 0, 16);
        break;
    }
    // Windows may vanish while we look at them; such errors mean nothing here.
    trap.Reset(dpy);
    return found;
}

// Where the monitors lie on the root window, when Qt knows (it runs on this
// display); otherwise the root window is taken as one screen.
std::vector<QRect> MonitorRects(const QSize& rootSize)
{
    std::vector<QRect> rects;
    const QRect rootRect(QPoint(0, 0), rootSize);
    if (qGuiApp && QGuiApplication::platformName() == u"xcb") {
        for (const QScreen* screen : QGuiApplication::screens()) {
            const qreal dpr = screen->devicePixelRatio();
            const QRect g = screen->geometry();
            const QRect physical(QPoint(qRound(g.x() * dpr), qRound(g.y() * dpr)),
                                 QSize(qRound(g.width() * dpr), qRound(g.height() * dpr)));
            const QRect clipped = physical & rootRect;
            if (!clipped.isEmpty())
                rects.push_back(clipped);
        }
    }
    if (rects.empty())
        rects.push_back(rootRect);
    return rects;
}

// The root-sized picture: the file 1:1 on every monitor of its size, zoomed to
// cover any other monitor, black where no monitor is.
QImage RootPicture(const QImage& picture, const QSize& rootSize)
{
    QImage canvas(rootSize, QImage::Format_RGB32);
    canvas.fill(Qt::black);
    QPainter painter(&canvas);
    for (const QRect& monitor : MonitorRects(rootSize)) {
        if (picture.size() == monitor.size()) {
            painter.drawImage(monitor.topLeft(), picture);
            continue;
        }
        const QImage scaled =
            picture.scaled(monitor.size(), Qt::KeepAspectRatioByExpanding, Qt::SmoothTransformation);
        const QPoint crop((scaled.width() - monitor.width()) / 2, (scaled.height() - monitor.height()) / 2);
        painter.drawImage(monitor.topLeft(), scaled, QRect(crop, monitor.size()));
    }
    painter.end();
    return canvas;
}

struct Channel {
    int shift = 0;
    int bits = 0;
};

Channel ChannelOf(unsigned long mask)
{
    Channel c;
    if (!mask)
        return c;
    while (!(mask & 1)) {
        mask >>= 1;
        ++c.shift;
    }
    while (mask & 1) {
        mask >>= 1;
        ++c.bits;
    }
    return c;
}

unsigned long Scale(int value8, const Channel& c)
{
    if (c.bits >= 8)
        return (unsigned long)value8 << (c.shift + c.bits - 8);
    return (unsigned long)(value8 >> (8 - c.bits)) << c.shift;
}

// With several monitors, the spanning picture has each one's exposition at its
// place already: it goes where the monitors lie, black elsewhere.
QImage SpannedRootPicture(const QImage& spanned, const std::vector<MonitorWallpaper>& monitors, const QSize& rootSize)
{
    QImage canvas(rootSize, QImage::Format_RGB32);
    canvas.fill(Qt::black);
    QPainter painter(&canvas);
    QRect bounds;
    for (const MonitorWallpaper& m : monitors)
        bounds |= m.geometry;
    painter.drawImage(bounds.topLeft(), spanned);
    return canvas;
}

// Why the root window's background would not be seen or cannot be drawn: a
// desktop window over it, or a display without true colour. Empty when neither.
QString RootUnusable(Display* dpy, int screen, Window root, ErrorTrap& trap)
{
    const QString desktopWindow = FindDesktopWindow(dpy, root, trap);
    if (!desktopWindow.isEmpty())
        return QStringLiteral("a desktop window, %1, covers the root window, so a root picture would not be seen")
            .arg(desktopWindow);
    const Visual* visual = DefaultVisual(dpy, screen);
    if (visual->c_class != TrueColor && visual->c_class != DirectColor)
        return QStringLiteral("the X display does not use a true-colour visual");
    return {};
}

// The canvas in the screen's visual, in an X image that owns its pixels.
MethodOutcome MakeXImage(Display* dpy, int screen, const QImage& canvas, XImage*& image)
{
    Visual* visual = DefaultVisual(dpy, screen);
    image = XCreateImage(dpy, visual, unsigned(DefaultDepth(dpy, screen)), ZPixmap, 0, nullptr, unsigned(canvas.width()),
                         unsigned(canvas.height()), 32, 0);
    if (!image)
        return MethodOutcome::Failure(
            QStringLiteral("no X image of %1 x %2 could be made").arg(canvas.width()).arg(canvas.height()));
    image->data = static_cast<char*>(std::malloc(size_t(image->bytes_per_line) * size_t(canvas.height())));
    if (!image->data) {
        XDestroyImage(image);
        image = nullptr;
        return MethodOutcome::Failure(QStringLiteral("out of memory for the root picture"));
    }
    const Channel red = ChannelOf(visual->red_mask), green = ChannelOf(visual->green_mask),
                  blue = ChannelOf(visual->blue_mask);
    for (int y = 0; y < canvas.height(); ++y) {
        const auto* line = reinterpret_cast<const QRgb*>(canvas.constScanLine(y));
        for (int x = 0; x < canvas.width(); ++x) {
            const QRgb p = line[x];
            XPutPixel(image, x, y, Scale(qRed(p), red) | Scale(qGreen(p), green) | Scale(qBlue(p), blue));
        }
    }
    return MethodOutcome::Worked();
}

// The canvas in a new pixmap of the root window's size, on the server.
MethodOutcome UploadPixmap(Display* dpy, int screen, Window root, const QImage& canvas, ErrorTrap& trap, Pixmap& pixmap)
{
    XImage* image = nullptr;
    if (MethodOutcome made = MakeXImage(dpy, screen, canvas, image); !made.ok)
        return made;
    const unsigned width = unsigned(canvas.width()), height = unsigned(canvas.height());
    pixmap = XCreatePixmap(dpy, root, width, height, unsigned(DefaultDepth(dpy, screen)));
    const GC gc = XCreateGC(dpy, pixmap, 0, nullptr);
    XPutImage(dpy, pixmap, gc, image, 0, 0, 0, 0, width, height);
    XFreeGC(dpy, gc);
    XDestroyImage(image); // frees the pixel data too
    if (!trap.Clean(dpy)) {
        XFreePixmap(dpy, pixmap);
        return MethodOutcome::Failure(
            QStringLiteral("the X server refused the root picture with error %1").arg(int(g_lastError)));
    }
    return MethodOutcome::Worked();
}

// Makes the pixmap the root's background and names it in both properties; the
// previous setter's pixmap goes.
MethodOutcome PublishPixmap(Display* dpy, Window root, Pixmap pixmap, ErrorTrap& trap)
{
    const Atom rootPmap = XInternAtom(dpy, "_XROOTPMAP_ID", False);
    const Atom esetroot = XInternAtom(dpy, "ESETROOT_PMAP_ID", False);
    const Pixmap oldRoot = ReadPixmapProperty(dpy, root, rootPmap);
    const Pixmap oldEsetroot = ReadPixmapProperty(dpy, root, esetroot);

    XChangeProperty(dpy, root, rootPmap, XA_PIXMAP, 32, PropModeReplace,
                    reinterpret_cast<const unsigned char*>(&pixmap), 1);
    XChangeProperty(dpy, root, esetroot, XA_PIXMAP, 32, PropModeReplace,
                    reinterpret_cast<const unsigned char*>(&pixmap), 1);
    XSetWindowBackgroundPixmap(dpy, root, pixmap);
    XClearWindow(dpy, root);
    if (!trap.Clean(dpy)) {
        XFreePixmap(dpy, pixmap);
        return MethodOutcome::Failure(
            QStringLiteral("the X server refused the root background with error %1").arg(int(g_lastError)));
    }

    // The previous setter's pixmap (and the retained client that holds it) is
    // freed only when both properties name it: then a root setter put it there,
    // not a running program whose connection we would otherwise cut.
    if (oldRoot && oldRoot == oldEsetroot && oldRoot != pixmap) {
        XKillClient(dpy, oldRoot);
        trap.Reset(dpy); // already gone is fine
    }
    return MethodOutcome::Worked();
}

} // namespace

MethodOutcome SetRootPixmapWallpaper(const WallpaperRequest& given)
{
    // With several monitors, each one's exposition is already at its place in
    // the spanning picture.
    const bool spanned = !given.spanned.isEmpty();
    const QString& file = spanned ? given.spanned : given.file;
    const QImage picture = QImage(file).convertToFormat(QImage::Format_RGB32);
    if (picture.isNull())
        return MethodOutcome::Failure(QStringLiteral("the picture %1 could not be read").arg(file));

    Display* dpy = XOpenDisplay(nullptr);
    if (!dpy)
        return MethodOutcome::Failure(QStringLiteral("no X display could be opened at DISPLAY \"%1\"")
                                          .arg(qEnvironmentVariable("DISPLAY")));
    DisplayCloser closer {dpy};
    ErrorTrap trap;

    const int screen = DefaultScreen(dpy);
    const Window root = RootWindow(dpy, screen);
    if (const QString unusable = RootUnusable(dpy, screen, root, trap); !unusable.isEmpty())
        return MethodOutcome::Failure(unusable);
    XWindowAttributes rootAttributes {};
    XGetWindowAttributes(dpy, root, &rootAttributes);
    const QSize rootSize(rootAttributes.width, rootAttributes.height);
    if (rootSize.isEmpty())
        return MethodOutcome::Failure(QStringLiteral("the X root window has no size"));
    const QImage canvas =
        spanned ? SpannedRootPicture(picture, given.monitors, rootSize) : RootPicture(picture, rootSize);

    Pixmap pixmap = 0;
    if (MethodOutcome uploaded = UploadPixmap(dpy, screen, root, canvas, trap, pixmap); !uploaded.ok)
        return uploaded;
    if (MethodOutcome published = PublishPixmap(dpy, root, pixmap, trap); !published.ok)
        return published;
    XSetCloseDownMode(dpy, RetainPermanent);
    XSync(dpy, False);
    return MethodOutcome::Worked();
}

} // namespace platform
