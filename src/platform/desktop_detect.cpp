#include "platform/desktop_detect.h"

#include <QStringList>

namespace platform {
namespace {

DesktopFamily FromToken(QString token)
{
    token = token.trimmed().toLower();
    if (token.isEmpty())
        return DesktopFamily::Unknown;
    if (token == u"gnome" || token == u"unity" || token == u"ubuntu" || token == u"pantheon"
        || token == u"gnome-flashback" || token == u"gnome-classic" || token == u"pop"
        || token == u"zorin")
        return DesktopFamily::Gnome;
    if (token == u"budgie" || token == u"budgie-desktop")
        return DesktopFamily::Budgie;
    if (token == u"x-cinnamon" || token == u"cinnamon")
        return DesktopFamily::Cinnamon;
    if (token == u"mate")
        return DesktopFamily::Mate;
    if (token == u"xfce" || token == u"xfce4" || token == u"xubuntu")
        return DesktopFamily::Xfce;
    if (token == u"kde" || token == u"plasma" || token == u"plasmawayland"
        || token == u"plasmax11" || token == u"kde-plasma")
        return DesktopFamily::Kde;
    if (token == u"lxqt")
        return DesktopFamily::Lxqt;
    if (token == u"lxde")
        return DesktopFamily::Lxde;
    if (token == u"sway" || token == u"hyprland" || token == u"river" || token == u"wayfire"
        || token == u"labwc" || token == u"niri" || token == u"wlroots" || token == u"dwl"
        || token == u"qtile-wayland")
        return DesktopFamily::Wlroots;
    return DesktopFamily::Unknown;
}

} // namespace

DesktopFamily DetectDesktop(const QString& currentDesktop, const QString& desktopSession)
{
    for (const QString& token : currentDesktop.split(QLatin1Char(':'), Qt::SkipEmptyParts)) {
        const DesktopFamily family = FromToken(token);
        if (family != DesktopFamily::Unknown)
            return family;
    }
    QString session = desktopSession.trimmed();
    session = session.section(QLatin1Char('/'), -1);
    if (session.endsWith(QLatin1String(".desktop")))
        session.chop(8);
    const DesktopFamily family = FromToken(session);
    if (family != DesktopFamily::Unknown)
        return family;
    // Session names that carry a suffix ("gnome-xorg", "plasma5", "xfce4-session").
    const QString lower = session.toLower();
    if (lower.startsWith(u"gnome") || lower.startsWith(u"ubuntu"))
        return DesktopFamily::Gnome;
    if (lower.startsWith(u"plasma") || lower.startsWith(u"kde"))
        return DesktopFamily::Kde;
    if (lower.startsWith(u"xfce"))
        return DesktopFamily::Xfce;
    if (lower.startsWith(u"cinnamon"))
        return DesktopFamily::Cinnamon;
    return DesktopFamily::Unknown;
}

DesktopFamily DetectDesktop()
{
    return DetectDesktop(qEnvironmentVariable("XDG_CURRENT_DESKTOP"),
                         qEnvironmentVariable("DESKTOP_SESSION"));
}

bool IsWaylandSession()
{
    if (!qEnvironmentVariable("WAYLAND_DISPLAY").isEmpty())
        return true;
    return qEnvironmentVariable("XDG_SESSION_TYPE").compare(u"wayland", Qt::CaseInsensitive) == 0;
}

QString DesktopName(DesktopFamily family)
{
    switch (family) {
    case DesktopFamily::Gnome: return QStringLiteral("GNOME");
    case DesktopFamily::Budgie: return QStringLiteral("Budgie");
    case DesktopFamily::Cinnamon: return QStringLiteral("Cinnamon");
    case DesktopFamily::Mate: return QStringLiteral("MATE");
    case DesktopFamily::Xfce: return QStringLiteral("Xfce");
    case DesktopFamily::Kde: return QStringLiteral("KDE Plasma");
    case DesktopFamily::Lxqt: return QStringLiteral("LXQt");
    case DesktopFamily::Lxde: return QStringLiteral("LXDE");
    case DesktopFamily::Wlroots: return QStringLiteral("a wlroots compositor");
    case DesktopFamily::Unknown: break;
    }
    return QStringLiteral("an unrecognised desktop");
}

} // namespace platform
