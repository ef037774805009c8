#include "ui/window_agent.h"

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

change::ChangeResult TWindowAgentHost::ExpoRandomExecute()
{
    // The agent tells a failure once itself; a box at every attempt would pile up
    // while nobody is at the desk.
    return window_.ChangeDesktop(change::PictureStep::Random, std::nullopt, false);
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

change::ChangeResult RunRemoteAction(TAMMF& window, change::PictureStep action)
{
    // ambience-cli reports the outcome; a message box here would hold the answer
    // back until somebody at the desk closed it.
    return window.ChangeDesktop(action, std::nullopt, false);
}

} // namespace ui
