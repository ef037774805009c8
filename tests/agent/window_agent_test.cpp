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

#include <optional>

#include <gtest/gtest.h>

namespace uitest {
namespace {

class WindowAgentTest : public WindowTest {
protected:
    // A pass is due at the next tick, and so is a change.
    void Due()
    {
        window->TrayAgent()->LastTick = 0.0;
        Settings().LastDesktopChangeTime = 0.0;
    }
    // The wallpaper file cannot be written: a folder of its name stands in the way.
    void BlockWallpaperFile()
    {
        const QString file = env.DataHome() + "/Ambience/Ambience/ambience.bmp";
        QFile::remove(file);
        ASSERT_TRUE(QDir().mkpath(file + "/in-the-way"));
    }
    // What ambience-cli's hand-over answers, once the change it started has ended.
    core::Result<change::ChangeDone> Remote(change::PictureStep step)
    {
        std::optional<core::Result<change::ChangeDone>> answer;
        ui::RunRemoteAction(*window, step, [&answer](const core::Result<change::ChangeDone>& result) { answer = result; });
        EXPECT_TRUE(QTest::qWaitFor([&answer] { return answer.has_value(); }, 120000));
        return answer.value_or(core::MakeError(1, "no answer came"));
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
    ASSERT_NE(window->TrayAgent(), nullptr);
    Settings().AutoChangeEnabled = true;
    const int before = Settings().DesktopsChanged;

    window->show();
    Due();
    window->TrayAgent()->OnAgentTimer();
    ASSERT_TRUE(WaitUntilIdle());
    EXPECT_EQ(Settings().DesktopsChanged, before);

    window->hide();
    window->BeginBusy();
    Due();
    window->TrayAgent()->OnAgentTimer();
    window->EndBusy();
    EXPECT_EQ(Settings().DesktopsChanged, before);

    Due();
    window->TrayAgent()->OnAgentTimer();
    ASSERT_TRUE(WaitUntilIdle());
    EXPECT_EQ(Settings().DesktopsChanged, before + 1);
    EXPECT_NEAR(Settings().LastDesktopChangeTime, Now(), 1.0 / 1440);
    EXPECT_NE(Page().SelectedPack(), nullptr); // a picture was picked at random
    // No desktop here took the picture: said once, by the agent, not at every change.
    Due();
    window->TrayAgent()->OnAgentTimer();
    ASSERT_TRUE(WaitUntilIdle());
    EXPECT_EQ(Settings().DesktopsChanged, before + 2);
    ASSERT_EQ(dialogs->messages.size(), 1u);
    EXPECT_TRUE(dialogs->messages[0].text.contains("could not be set")) << dialogs->messages[0].text.toStdString();

}

TEST_F(WindowAgentTest, AFailedAutomaticChangeIsToldOnce)
{
    BlockWallpaperFile();
    Open();
    Settings().AutoChangeEnabled = true;
    const int before = Settings().DesktopsChanged;
    for (int pass = 0; pass < 3; ++pass) {
        Due();
        window->TrayAgent()->OnAgentTimer();
        ASSERT_TRUE(WaitUntilIdle());
        // The pass ended: the next one is a minute away.
        EXPECT_NEAR(window->TrayAgent()->LastTick, Now(), 1.0 / 1440);
    }
    EXPECT_EQ(Problems(), 1);
    EXPECT_EQ(Settings().DesktopsChanged, before);
    // The window's own actions still say so every time.
    window->ExpoRefreshExecute();
    ASSERT_TRUE(WaitUntilIdle());
    EXPECT_EQ(Problems(), 2);
}

TEST_F(WindowAgentTest, HandedOverActionsRunInTheWindowAndSayWhatTheyShowed)
{
    using testsupport::KindOf;
    ASSERT_TRUE(WriteSimplePack(PackPath("first.zip"), "First", 1, 3));
    Open();
    const int before = Settings().DesktopsChanged;

    // No desktop here: the file is written and counted, but nothing took it.
    core::Result<change::ChangeDone> answer = Remote(change::PictureStep::Next);
    ASSERT_EQ(KindOf(answer), "unset");
    EXPECT_TRUE(answer->file.contains("ambience.bmp")) << answer->file.toStdString();
    EXPECT_EQ(Page().SelectedPack()->Current, 0);
    answer = Remote(change::PictureStep::Back);
    EXPECT_EQ(Page().SelectedPack()->Current, 2);
    EXPECT_EQ(Settings().DesktopsChanged, before + 2);
    // The command line reports; no message box holds the answer back.
    EXPECT_TRUE(dialogs->messages.empty());

    window->BeginBusy();
    EXPECT_EQ(KindOf(Remote(change::PictureStep::Random)), "busy");
    window->EndBusy();
    EXPECT_EQ(Settings().DesktopsChanged, before + 2);

    BlockWallpaperFile();
    answer = Remote(change::PictureStep::Current);
    EXPECT_EQ(KindOf(answer), "failed");
    EXPECT_FALSE(testsupport::WhyNot(answer).empty());
}

TEST_F(WindowAgentTest, ClosingWithoutANotificationAreaSaysHowToComeBackOnce)
{
    // Tests run without a display, so without a notification area.
    Open();
    window->show();
    Settings().AutoChangeEnabled = true;
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
