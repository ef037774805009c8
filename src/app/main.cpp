// The desktop program: one running instance per user; a second start hands over to
// the first (which shows or minimises its window) and ends with -1.
#include "core/program_info.h"
#include "agent/startup_notice.h"
#include "change/remote_request.h"
#include "change/selection_model.h"
#include "platform/display_probe.h"
#include "platform/leftovers.h"
#include "platform/notification_area.h"
#include "platform/single_instance.h"
#include "platform/wallpaper.h"
#include "platform/keychain_secret_store.h"
#include "platform/registry.h"
#include "ui/app_context.h"
#include "ui/dialogs.h"
#include "ui/main_window.h"
#include "ui/quit_signals.h"
#include "ui/window_agent.h"
#include "settings/options.h"

#include <QApplication>
#include <QDBusConnection>
#include <QMessageBox>
#include <QSessionManager>
#include <QTimer>

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

// How long a start at login waits for a tray service that comes up with the
// session before it takes the desktop for one without a notification area.
int NotificationAreaGraceMs()
{
    bool ok = false;
    const int given = qEnvironmentVariableIntValue("AMBIENCE_NOTIFICATION_AREA_GRACE_MS", &ok);
    return ok && given >= 0 ? given : 10000;
}

// Without a notification area a start at login shows nothing at all: a desktop
// notification says, once a login, that the program runs, and offers the window
// and a way to stop the automatic change (which ends the program, hidden and
// with nothing left to do).
void TellWhenNothingShows(ui::TAMMF& window, TOptions& options, platform::NotificationAreaWatch& area,
                          std::unique_ptr<agent::StartupNotice>& notice)
{
    auto decide = [&window, &options, &area, &notice] {
        if (area.IsPresent() || window.isVisible()
            || !agent::FirstTimeThisLogin(qEnvironmentVariable("XDG_RUNTIME_DIR"), QStringLiteral("ambience-told")))
            return;
        notice = std::make_unique<agent::StartupNotice>(
            agent::MakeSessionNotifier(), [&window] { window.ShowInstance(); },
            [&window, &options] {
                options.AutoChangeEnabled = false;
                try {
                    options.Save();
                } catch (const std::exception& e) {
                    std::fprintf(stderr, "%s\n", e.what());
                }
                window.Quit();
            });
        if (const core::Result<void> told = notice->Tell(options.AutoChangeInterval); !told)
            std::fprintf(stderr, "Ambience: %s\n", told.error().text.c_str());
    };
    // The tray service is asked without waiting: its answer may come after the
    // grace, and the decision waits for it.
    QTimer::singleShot(NotificationAreaGraceMs(), &window, [&window, &area, decide] {
        if (area.IsSettled())
            decide();
        else
            QObject::connect(&area, &platform::NotificationAreaWatch::Settled, &window, decide,
                             Qt::SingleShotConnection);
    });
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
        // Pack passwords live in the desktop's keyring, never in the settings file.
        platform::KeychainSecretStore secrets(ProductNames().ProductName);
        // One watch of the notification area for the tray icon, the Options page
        // and the login start below.
        const std::unique_ptr<platform::NotificationAreaWatch> area =
            platform::WatchNotificationArea(QDBusConnection::sessionBus(), qgetenv("DISPLAY"));
        ui::AppContext context(platform::Registry::CurrentUser(), wallpaper, &secrets, area.get());
        ui::TAMMF window(context, ui::MakeQtDialogs(), arguments);
        QObject::connect(&instance, &platform::SingleInstance::MessageReceived, &window,
                         [&](const QString& message, quintptr connection) {
                             // ambience-cli refresh, random, next and back: the window
                             // runs the action and answers with what it showed.
                             auto reply = [&instance, connection](const core::Result<change::ChangeDone>& result) {
                                 instance.Reply(connection, change::FormatRemoteAnswer(result));
                             };
                             if (const auto action = change::ParseRemoteActionRequest(message)) {
                                 // Outside the window the current picture is the one on
                                 // the wall, whichever program put it there.
                                 if (!window.IsBusy())
                                     window.Selection().SelectWallPicture();
                                 ui::RunRemoteAction(window, *action, reply);
                                 return;
                             }
                             // ambience-cli show-again: that picture, selected and composed
                             // (a busy window leaves its selection and answers so).
                             if (const auto picture = change::ParseRemoteShowRequest(message)) {
                                 if (!window.IsBusy() && !window.Selection().SelectPicture(*picture)) {
                                     reply(core::MakeError(2, QStringLiteral("The picture \"%1\" of the pack %2 is not installed.")
                                                                  .arg(picture->entry, picture->packFile)
                                                                  .toStdString()));
                                     return;
                                 }
                                 ui::RunRemoteAction(window, change::PictureStep::Current, reply);
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
        std::unique_ptr<agent::StartupNotice> notice;
        if (arguments.isEmpty() || arguments.first() != QStringLiteral("/startup"))
            window.show();
        else
            TellWhenNothingShows(window, context.Options(), *area, notice);
        status = app.exec();
    } catch (const std::exception& e) {
        QMessageBox::critical(nullptr, QStringLiteral("Ambience"), QString::fromUtf8(e.what()));
        status = 0;
    }
    return status;
}
