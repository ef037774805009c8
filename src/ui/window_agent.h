#pragma once
// The window's side of the notification-area agent: the narrow interface through
// which the agent sees and drives the window, and the exposition actions that
// ambience-cli hands to the running program.
#include "agent/agent_host.h"
#include "change/remote_request.h"

class QWidget;

namespace ui {

class TAMMF;

class TWindowAgentHost final : public agent::AgentHost {
public:
    explicit TWindowAgentHost(TAMMF& window) : window_(window) {}

    bool IsMainWindowVisible() const override;
    bool IsPageControlEnabled() const override;
    bool ExpoRandomExecute(std::function<void(const core::Result<change::ChangeDone>&)> done) override;
    bool ExpoNextExecute() override;
    std::optional<gallery::WallEntry> PictureOnWall() override;
    std::optional<gallery::WallEntry> PictureOfChange(qint64 change) override;
    void SetFavourite(const gallery::PictureKey& picture, bool on) override;
    void ShowMainWindow() override;
    void MinimizeMainWindow() override;
    void CloseMainWindow() override;
    QMenu* AgentMenu() override;
    void ShowError(const QString& text) override;
    void ShowNotice(const QString& text) override;

private:
    QWidget* Owner() const;

    TAMMF& window_;
};

// Starts an action asked for by ambience-cli as if its menu item had been chosen;
// answer receives what the wallpaper then shows, at once ("busy") while another
// change runs.
void RunRemoteAction(TAMMF& window, change::PictureStep action,
                     std::function<void(const core::Result<change::ChangeDone>&)> answer);

} // namespace ui
