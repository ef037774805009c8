#include "agent/agent.h"

#include "settings/settings.h"
#include "agent/clock_face.h"
#include "agent/picture_line.h"
#include "agent/startup_notice.h"
#include "agent/schedule.h"
#include "core/datetime.h"
#include "core/product.h"
#include "settings/options.h"

#include <QCoreApplication>
#include <QPixmap>
#include <QTimer>

#include <algorithm>
#include <cstdio>

bool TAgent::NotifyWanted() const
{
    return options_.NotifyAutomaticChange;
}

int TAgent::IconSetting() const
{
    return options_.AutoChangeIcon;
}

TAgent::TAgent(agent::AgentHost& host, const TOptions& options, const QStringList& arguments, AgentSeams seams)
    : host_(host), options_(options), clock_(seams.clock ? std::move(seams.clock) : agent::MakeSystemClock()),
      tray_(seams.tray ? std::move(seams.tray) : agent::MakeSystemTrayIcon(seams.area)), notifier_(std::move(seams.notifier))
{
    // The first pass comes at the first tick at least 20 seconds from now: with
    // 15-second ticks the second one, half a minute after start.
    LastTick = clock_->Now() - 2.0 * agent::kMinute / 3.0;
    iconShown_ = false;

    tray_->onClick = [this] { ToggleMainWindow(); };
    // A notification area that comes up later (a tray service slower than the
    // program at login) gets the icon at once, not at the next tick.
    tray_->onAvailabilityChanged = [this] { WatchTray(); };
    tray_->SetMenu(host_.AgentMenu());
    trayAvailable_ = tray_->IsAvailable();

    const bool startup = !arguments.isEmpty() && arguments.first() == QStringLiteral("/startup");
    if (!startup || IconSetting() != settings::AutoChangeIcon::NoIcon)
        NotifyIcon(IconAction::Add);

    // A log-off or shut-down ends the program without asking: the session manager's
    // "die" (or SIGTERM) quits the application's loop, whatever the close rule of
    // the window says; the icon goes first. Quitting on the session manager's
    // "commit data" would be wrong: it also comes at checkpoints in mid-session.
    if (QCoreApplication* app = QCoreApplication::instance())
        connect(app, &QCoreApplication::aboutToQuit, this, [this] { NotifyIcon(IconAction::Delete); });

    timer_ = new QTimer(this);
    timer_->setInterval(seams.timerIntervalMs > 0 ? seams.timerIntervalMs : agent::TimerIntervalMs(*clock_));
    connect(timer_, &QTimer::timeout, this, &TAgent::OnTimerTick);
    timer_->start();
}

TAgent::~TAgent()
{
    timer_->stop();
    NotifyIcon(IconAction::Delete);
}

void TAgent::NotifyIcon(IconAction action)
{
    // The flag follows what was asked, not what the notification area made of it.
    iconShown_ = action == IconAction::Add;
    if (action == IconAction::Add)
        tray_->Add(MakeIcon(), Tip());
    else
        tray_->Delete();
}

void TAgent::UpdateIcon()
{
    if (iconShown_)
        tray_->Modify(MakeIcon());
}

QString TAgent::Tip()
{
    return agent::TrayTip(ProductNames().ProductTitle, host_.PictureOnWall());
}

void TAgent::RefreshTip()
{
    tray_->SetTip(Tip());
}

QImage TAgent::MakeIconImage() const
{
    const QTime time = QDateTimeFromDateTime(clock_->Now()).time();
    return agent::MakeIconImage(IconSetting(), time.hour(), time.minute());
}

QIcon TAgent::MakeIcon() const
{
    return QIcon(QPixmap::fromImage(MakeIconImage()));
}

void TAgent::ToggleMainWindow()
{
    if (host_.IsMainWindowVisible())
        host_.MinimizeMainWindow();
    else
        host_.ShowMainWindow();
}

void TAgent::Quit()
{
    NotifyIcon(IconAction::Delete);
    host_.CloseMainWindow();
}

void TAgent::OnTimerTick()
{
    WatchTray();
    OnAgentTimer();
}

void TAgent::WatchTray()
{
    // A notification area that (re)appears has no icons: put ours back if it is meant to be shown.
    const bool available = tray_->IsAvailable();
    if (available && !trayAvailable_ && iconShown_) {
        tray_->Delete();
        NotifyIcon(IconAction::Add);
    }
    trayAvailable_ = available;
}

void TAgent::OnAgentTimer()
{
    // At most one pass a minute; a clock set back runs one at once.
    if (!agent::IsDue(clock_->Now(), LastTick, agent::kMinute))
        return;

    // A hand-edited interval below an hour would change the desktop at every pass.
    const int hours = std::max(1, options_.AutoChangeInterval);
    // Not while the user is being told something: the box runs its own event loop,
    // and ticks keep coming.
    // A change already running (the window's, a hand-over's) is not waited for:
    // the pass after it finds the interval passed again, or not.
    if (!telling_ && options_.AutoChangeEnabled
        && agent::IsDue(clock_->Now(), options_.LastDesktopChangeTime, hours * agent::kHour)
        && !host_.IsMainWindowVisible() && host_.IsPageControlEnabled())
        host_.ExpoRandomExecute([this](const core::Result<change::ChangeDone>& result) { AutomaticChangeEnded(result); });

    UpdateIcon();
    // ambience-cli changes the wallpaper without the window: the tip follows the
    // record within a pass.
    RefreshTip();
    // Taken at the end: a long composition pushes the next pass back.
    LastTick = clock_->Now();
}

void TAgent::AutomaticChangeEnded(const core::Result<change::ChangeDone>& result)
{
    RefreshTip();
    if (result.ok() && !result->unset)
        AnnounceAutomaticChange(*result);
    if (result.ok())
        failureTold_ = false;
    else
        ReportChangeFailure(result.error().text.empty() ? QStringLiteral("the exposition could not be composed.")
                                                        : QString::fromStdString(result.error().text));
    if (result.ok() && result->unset && !noticeTold_) {
        // Once a run: the same desktop will not take the next picture either.
        noticeTold_ = true;
        telling_ = true;
        QString text = QStringLiteral("The desktop wallpaper could not be set on this desktop. The picture was "
                                      "saved as %1; you can choose it as wallpaper in your desktop's settings.")
                           .arg(result->file);
        if (!result->unsetReason.isEmpty())
            text += QLatin1Char('\n') + result->unsetReason;
        host_.ShowNotice(text);
        telling_ = false;
    }
    UpdateIcon();
    // A long composition pushes the next pass back.
    LastTick = clock_->Now();
}

void TAgent::AnnounceAutomaticChange(const change::ChangeDone& result)
{
    if (!NotifyWanted())
        return;
    // The change's own row: another program may have changed the wall since.
    std::optional<gallery::WallEntry> entry;
    if (result.recorded > 0)
        entry = host_.PictureOfChange(result.recorded);
    if (!entry) {
        // No record to read: what the change itself says.
        entry.emplace();
        entry->title = result.description;
        entry->packName = result.packName;
    }
    if (!pictureNotice_)
        pictureNotice_ = std::make_unique<agent::PictureNotice>(
            notifier_ ? std::move(notifier_) : agent::MakeSessionNotifier(), [this] { host_.ExpoNextExecute(); },
            [this](const gallery::PictureKey& picture) { host_.SetFavourite(picture, true); });
    // A desktop without a notification service is no reason to bother anybody:
    // a line in the log, once.
    if (const core::Result<void> told = pictureNotice_->Tell(*entry); !told && !notifyFailureLogged_) {
        notifyFailureLogged_ = true;
        std::fprintf(stderr, "Ambience: %s\n", told.error().text.c_str());
    }
}

void TAgent::ReportChangeFailure(const QString& problem)
{
    // Once for a run of failures: the next due pass tries again quietly, and a
    // success makes the next failure worth telling.
    if (failureTold_)
        return;
    failureTold_ = true;
    telling_ = true;
    host_.ShowError(QStringLiteral("The desktop could not be changed automatically: %1").arg(problem));
    telling_ = false;
}

void TAgent::WindowHiddenByClose()
{
    if (IconSetting() == settings::AutoChangeIcon::NoIcon && iconShown_)
        NotifyIcon(IconAction::Delete);
    if (!tray_->IsAvailable() && !noTrayTold_) {
        noTrayTold_ = true;
        // After the close has run its course: a message box's own event loop
        // inside the window's close handling would hold that handling open.
        QTimer::singleShot(0, this, [this] {
            host_.ShowNotice(QStringLiteral(
            "%1 keeps running and changes the desktop by itself. There is no notification area on this "
            "desktop to show its icon in; start %1 again to bring this window back.")
                                 .arg(ProductNames().ProductName));
        });
    }
}

void TAgent::ShowInstance()
{
    NotifyIcon(IconAction::Add);
}
