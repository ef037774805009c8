// The desktop program: one running instance per user; a second start hands over to
// the first (which shows or minimises its window) and ends with -1.
#include "core/program_info.h"
#include "change/remote_request.h"
#include "platform/display_probe.h"
#include "platform/leftovers.h"
#include "platform/single_instance.h"
#include "platform/wallpaper.h"
#include "platform/registry.h"
#include "ui/app_context.h"
#include "ui/dialogs.h"
#include "ui/main_window.h"
#include "ui/quit_signals.h"
#include "ui/window_agent.h"

#include <QApplication>
#include <QMessageBox>
#include <QSessionManager>

#include <cstdio>
#include <exception>
#include <memory>

namespace {

// Qt's screen platforms need a display that answers (Qt would end the process with
// a note about reinstalling); offscreen and the like need none. A list such as
// "wayland;xcb" is served by either.
bool NoDisplay()
{
    const QByteArray requested = qgetenv("QT_QPA_PLATFORM");
    const bool x11 = platform::X11DisplayReachable();
    const bool wayland = platform::WaylandDisplayReachable();
    if (requested.isEmpty() || requested.contains(';'))
        return !x11 && !wayland;
    if (requested.startsWith("xcb"))
        return !x11;
    if (requested.startsWith("wayland"))
        return !wayland;
    return false;
}

} // namespace

int main(int argc, char** argv)
{
    // --version and --help need no display; without one there is nothing to show.
    if (argc > 1)
        if (const auto text = core::InformationText(argv[1])) {
            std::fputs(text->toUtf8().constData(), stdout);
            return 0;
        }
    if (NoDisplay()) {
        std::fprintf(stderr, "%s\n", core::NoDisplayMessage().toUtf8().constData());
        return 1;
    }
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Ambience"));
    QApplication::setOrganizationName(QStringLiteral("Ambience"));

    platform::SingleInstance instance(QStringLiteral("Ambience"));
    if (!instance.Claim(QStringLiteral("show")))
        return -1;

    platform::DesktopWallpaperSetter wallpaper;
    platform::RemoveStaleTemporaryFilesAtStart();

    // Closing the window may only hide it; the program ends when the window says so.
    QApplication::setQuitOnLastWindowClosed(false);

    QStringList arguments = QApplication::arguments();
    arguments.removeFirst();

    int status = 0;
    try {
        // Made once here and passed down: the settings, the catalogue, the setter.
        ui::AppContext context(platform::Registry::CurrentUser(), wallpaper);
        ui::TAMMF window(context, ui::MakeQtDialogs(), arguments);
        QObject::connect(&instance, &platform::SingleInstance::MessageReceived, &window,
                         [&](const QString& message, quintptr connection) {
                             // ambience-cli refresh, random, next and back: the window
                             // runs the action and answers with what it showed.
                             if (const auto action = change::ParseRemoteActionRequest(message)) {
                                 ui::RunRemoteAction(window, *action,
                                                     [&instance, connection](const change::ChangeResult& result) {
                                                         instance.Reply(connection, change::FormatRemoteAnswer(result));
                                                     });
                                 return;
                             }
                             if (message == QStringLiteral("show"))
                                 window.ShowInstance();
                             instance.Reply(connection, QStringLiteral("ok"));
                         });
        // A log-off or shut-down ends the program without asking: the session
        // manager quits the loop (the agent takes its icon away); the settings are
        // saved on every way out.
        QObject::connect(&app, &QCoreApplication::aboutToQuit, &window, [&window] { window.SaveSettings(); });
        ui::QuitOnTerminationSignals(&window, [&window] { window.Quit(); });
        // "/startup" keeps the window hidden: the program waits in the notification area.
        if (arguments.isEmpty() || arguments.first() != QStringLiteral("/startup"))
            window.show();
        status = app.exec();
    } catch (const std::exception& e) {
        QMessageBox::critical(nullptr, QStringLiteral("Ambience"), QString::fromUtf8(e.what()));
        status = 0;
    }
    return status;
}
