#include "ui/window_agent.h"

#include "app/product.h"
#include "compose/captions.h"
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

agent::ChangeOutcome TWindowAgentHost::ExpoRandomExecute()
{
    // The agent tells a failure once itself; a box at every attempt would pile up
    // while nobody is at the desk.
    window_.SetQuietProblems(true);
    window_.ExpoRandomExecute();
    window_.SetQuietProblems(false);
    const TAMMF::ActionOutcome& outcome = window_.LastAction();
    if (outcome.done && !outcome.wallpaperSet)
        return {true, {}, QStringLiteral("The desktop wallpaper could not be set on this desktop (%1). You can "
                                         "choose the picture as wallpaper in your desktop's settings.")
                              .arg(outcome.wallpaperProblem)};
    if (outcome.done)
        return {};
    return {false, outcome.problem.isEmpty() ? QStringLiteral("the exposition could not be composed.") : outcome.problem, {}};
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
    window_.UserDialogs().Message(Owner(), text, Product ? Product->ProductName : QStringLiteral("Ambience"),
                                  MessageIcon::Information, MessageButtons::Ok);
}

agent::RemoteAnswer RunRemoteAction(TAMMF& window, agent::RemoteAction action)
{
    using Kind = agent::RemoteAnswer::Kind;
    if (window.IsBusy())
        return {Kind::Busy, {}};
    // ambience-cli reports the outcome; a message box here would hold the answer
    // back until somebody at the desk closed it.
    window.SetQuietProblems(true);
    switch (action) {
    case agent::RemoteAction::Refresh: window.ExpoRefreshExecute(); break;
    case agent::RemoteAction::Random: window.ExpoRandomExecute(); break;
    case agent::RemoteAction::Next: window.ExpoNextExecute(); break;
    case agent::RemoteAction::Back: window.ExpoBackExecute(); break;
    }
    window.SetQuietProblems(false);
    const TAMMF::ActionOutcome& outcome = window.LastAction();
    if (!outcome.done)
        return {Kind::Failed, outcome.problem};
    if (!outcome.wallpaperSet)
        return {Kind::Unset, outcome.wallpaperProblem};
    const TPic* record = window.PS->CurrentRecord();
    return {Kind::Done, record ? compose::ShortDescription(*record, 120) : QStringLiteral("no picture")};
}

} // namespace ui
