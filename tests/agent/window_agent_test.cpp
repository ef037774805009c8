// The agent inside the real window: the scheduler's change goes through the
// window's Random action, a failure reaches the user once, and the actions that
// ambience-cli hands over run in the window and report what they showed.
#include "ui/window_fixture.h"

#include "agent/agent.h"
#include "core/datetime.h"
#include "packs/pack.h"
#include "settings/options.h"
#include "ui/window_agent.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>

#include <gtest/gtest.h>

namespace uitest {
namespace {

class WindowAgentTest : public WindowTest {
protected:
    // A pass is due at the next tick, and so is a change.
    void Due()
    {
        Agent->LastTick = 0.0;
        Options->LastDesktopChangeTime = 0.0;
    }
    // The wallpaper file cannot be written: a folder of its name stands in the way.
    void BlockWallpaperFile()
    {
        const QString file = env.DataHome() + "/Ambience/Ambience/ambience.bmp";
        QFile::remove(file);
        ASSERT_TRUE(QDir().mkpath(file + "/in-the-way"));
    }
    int Problems() const
    {
        int n = 0;
        for (const ShownMessage& m : dialogs->messages)
            n += m.caption == "Problem";
        return n;
    }
};

TEST_F(WindowAgentTest, AutomaticChangesGoThroughTheWindowOnlyWhileItIsHiddenAndIdle)
{
    ASSERT_TRUE(WriteSimplePack(PackPath("first.zip"), "First", 1, 3));
    Open();
    ASSERT_NE(Agent, nullptr);
    Options->AutoChangeEnabled = true;
    const int before = Options->DesktopsChanged;

    window->show();
    Due();
    Agent->OnAgentTimer();
    EXPECT_EQ(Options->DesktopsChanged, before);

    window->hide();
    window->BeginBusy();
    Due();
    Agent->OnAgentTimer();
    window->EndBusy();
    EXPECT_EQ(Options->DesktopsChanged, before);

    Due();
    Agent->OnAgentTimer();
    EXPECT_EQ(Options->DesktopsChanged, before + 1);
    EXPECT_NEAR(Options->LastDesktopChangeTime, Now(), 1.0 / 1440);
    EXPECT_NE(Page().SelectedPack(), nullptr); // a picture was picked at random
    // No desktop here took the picture: said once, by the agent, not at every change.
    Due();
    Agent->OnAgentTimer();
    EXPECT_EQ(Options->DesktopsChanged, before + 2);
    ASSERT_EQ(dialogs->messages.size(), 1u);
    EXPECT_TRUE(dialogs->messages[0].text.contains("could not be set")) << dialogs->messages[0].text.toStdString();

    // The agent goes with the window.
    window.reset();
    EXPECT_EQ(Agent, nullptr);
}

TEST_F(WindowAgentTest, AFailedAutomaticChangeIsToldOnce)
{
    BlockWallpaperFile();
    Open();
    Options->AutoChangeEnabled = true;
    const int before = Options->DesktopsChanged;
    for (int pass = 0; pass < 3; ++pass) {
        Due();
        Agent->OnAgentTimer();
        // The pass ended: the next one is a minute away.
        EXPECT_NEAR(Agent->LastTick, Now(), 1.0 / 1440);
    }
    EXPECT_EQ(Problems(), 1);
    EXPECT_EQ(Options->DesktopsChanged, before);
    // The window's own actions still say so every time.
    window->ExpoRefreshExecute();
    EXPECT_EQ(Problems(), 2);
}

TEST_F(WindowAgentTest, HandedOverActionsRunInTheWindowAndSayWhatTheyShowed)
{
    using Kind = change::ChangeResult::Status;
    ASSERT_TRUE(WriteSimplePack(PackPath("first.zip"), "First", 1, 3));
    Open();
    const int before = Options->DesktopsChanged;

    // No desktop here: the file is written and counted, but nothing took it.
    change::ChangeResult answer = ui::RunRemoteAction(*window, change::PictureStep::Next);
    EXPECT_EQ(answer.status, Kind::Unset);
    EXPECT_TRUE(answer.file.contains("ambience.bmp")) << answer.file.toStdString();
    EXPECT_EQ(Page().SelectedPack()->Current, 0);
    answer = ui::RunRemoteAction(*window, change::PictureStep::Back);
    EXPECT_EQ(Page().SelectedPack()->Current, 2);
    EXPECT_EQ(Options->DesktopsChanged, before + 2);
    // The command line reports; no message box holds the answer back.
    EXPECT_TRUE(dialogs->messages.empty());

    window->BeginBusy();
    EXPECT_EQ(ui::RunRemoteAction(*window, change::PictureStep::Random).status, Kind::Busy);
    window->EndBusy();
    EXPECT_EQ(Options->DesktopsChanged, before + 2);

    BlockWallpaperFile();
    answer = ui::RunRemoteAction(*window, change::PictureStep::Current);
    EXPECT_EQ(answer.status, Kind::Failed);
    EXPECT_FALSE(answer.problem.isEmpty());
}

TEST_F(WindowAgentTest, ClosingWithoutANotificationAreaSaysHowToComeBackOnce)
{
    // Tests run without a display, so without a notification area.
    Open();
    window->show();
    Options->AutoChangeEnabled = true;
    EXPECT_FALSE(window->close());
    QCoreApplication::processEvents();
    window->show();
    EXPECT_FALSE(window->close());
    QCoreApplication::processEvents();
    int notices = 0;
    for (const ShownMessage& m : dialogs->messages)
        notices += m.text.contains("start Ambience again");
    EXPECT_EQ(notices, 1);
}

} // namespace
} // namespace uitest
