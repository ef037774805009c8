#include "ui/window_agent.h"

#include "change/selection_model.h"
#include "core/product.h"
#include "ui/main_window.h"
#include "ui/packs_page.h"

#include <QTabWidget>

namespace ui {

bool TWindowAgentHost::IsMainWindowVisible() const
{
    return window_.isVisible() && !window_.isMinimized();
}

bool TWindowAgentHost::IsPageControlEnabled() const
{
    return window_.PC->isEnabled();
}

bool TWindowAgentHost::ExpoRandomExecute(std::function<void(const core::Result<change::ChangeDone>&)> done)
{
    // The agent tells a failure once itself; a box at every attempt would pile up
    // while nobody is at the desk.
    // Nobody may be at the desk: packs whose password is not known are passed
    // over, never asked for.
    change::SelectionModel& selection = window_.Selection();
    selection.PassOverLocked(true);
    const bool started = window_.StartChange(change::PictureStep::Random, std::nullopt, false,
                                             [&selection, done = std::move(done)](const core::Result<change::ChangeDone>& result) {
                                                 selection.PassOverLocked(false);
                                                 if (done)
                                                     done(result);
                                             });
    if (!started)
        selection.PassOverLocked(false);
    return started;
}

bool TWindowAgentHost::ExpoNextExecute()
{
    // Asked for from a notification, mostly while the window is hidden: a failure
    // is told in a box of its own, as the agent's are.
    return window_.StartChange(change::PictureStep::Next, std::nullopt, false, [this](const core::Result<change::ChangeDone>& result) {
        if (!result.ok())
            ShowError(QString::fromStdString(result.error().text));
    });
}

std::optional<gallery::WallEntry> TWindowAgentHost::PictureOnWall()
{
    return window_.PictureOnWall();
}

std::optional<gallery::WallEntry> TWindowAgentHost::PictureOfChange(qint64 change)
{
    return window_.PictureOfChange(change);
}

void TWindowAgentHost::SetFavourite(const gallery::PictureKey& picture, bool on)
{
    if (const core::Result<void> marked = window_.SetFavourite(picture, on); !marked)
        ShowError(QString::fromStdString(marked.error().text));
}

void TWindowAgentHost::ShowMainWindow()
{
    window_.showNormal();
    window_.raise();
    window_.activateWindow();
}

void TWindowAgentHost::MinimizeMainWindow()
{
    window_.showMinimized();
}

void TWindowAgentHost::CloseMainWindow()
{
    window_.Quit();
}

QMenu* TWindowAgentHost::AgentMenu()
{
    return window_.AM;
}

// The agent speaks mostly while the window is hidden: a box owned by a hidden
// window would stand in for it (and some window managers keep such a box unmapped),
// so it stands on its own then.
QWidget* TWindowAgentHost::Owner() const
{
    return IsMainWindowVisible() ? &window_ : nullptr;
}

void TWindowAgentHost::ShowError(const QString& text)
{
    window_.UserDialogs().Message(Owner(), text, QStringLiteral("Problem"), MessageIcon::Warning, MessageButtons::Ok);
}

void TWindowAgentHost::ShowNotice(const QString& text)
{
    window_.UserDialogs().Message(Owner(), text, window_.ProductRecord().ProductName,
                                  MessageIcon::Information, MessageButtons::Ok);
}

void RunRemoteAction(TAMMF& window, change::PictureStep action,
                     std::function<void(const core::Result<change::ChangeDone>&)> answer)
{
    // ambience-cli reports the outcome; a message box here would hold the answer
    // back until somebody at the desk closed it.
    if (window.StartChange(action, std::nullopt, false, answer))
        return;
    answer(change::ChangeBusyError());
}

} // namespace ui
