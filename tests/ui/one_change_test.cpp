// One change at a time, off the window's thread: while a change waits in a slow
// desktop tool, the window's loop keeps running, and whoever else asks for a change
// (the window's actions, the tray menu, the agent, a hand-over from ambience-cli)
// starts none; the hand-over is answered "busy" at once.
#include "ui/window_fixture.h"

#include "agent/agent.h"
#include "change/selection_model.h"
#include "ui/window_agent.h"

#include <QAction>
#include <QMenu>
#include <QTimer>

#include <functional>
#include <optional>

namespace uitest {
namespace {

using Outcome = core::Result<change::ChangeDone>;
using testsupport::KindOf;

class OneChangeTest : public WindowTest {
protected:
    std::optional<Outcome> Remote(change::PictureStep step)
    {
        std::optional<Outcome> answer;
        ui::RunRemoteAction(*window, step, [&answer](const Outcome& result) { answer = result; });
        return answer; // empty: the answer comes when the change has ended
    }
};

TEST_F(OneChangeTest, WhileTheDesktopTakesItsTimeNothingStartsASecondChange)
{
    ASSERT_TRUE(WriteSimplePack(PackPath("first.zip"), "First", 1, 3));
    Open();
    Settings().AutoChangeEnabled = true;
    const int before = Settings().DesktopsChanged;

    recorder.Hold();
    window->ExpoNextExecute();
    ASSERT_TRUE(QTest::qWaitFor([this] { return recorder.Waiting(); }, 120000));
    EXPECT_TRUE(window->IsBusy());
    EXPECT_EQ(Page().SelectedPack()->Current, 0) << "chosen before the work started";

    // The window's loop goes on meanwhile.
    int ticks = 0;
    QTimer timer;
    QObject::connect(&timer, &QTimer::timeout, [&ticks] { ++ticks; });
    timer.start(5);
    EXPECT_TRUE(QTest::qWaitFor([&ticks] { return ticks >= 5; }, 10000));

    const struct {
        const char* who;
        std::function<void()> ask;
    } askers[] = {
        {"window", [this] { window->ExpoRandomExecute(); }},
        {"tray menu", [this] {
             for (QAction* item : window->AM->actions()) {
                 EXPECT_FALSE(item->isEnabled()) << item->objectName().toStdString();
                 item->trigger();
             }
         }},
        {"agent", [this] {
             window->hide();
             Settings().LastDesktopChangeTime = 0.0;
             window->TrayAgent()->LastTick = 0.0;
             window->TrayAgent()->OnAgentTimer();
         }},
        {"hand-over", [this] {
             const auto answer = Remote(change::PictureStep::Next);
             ASSERT_TRUE(answer.has_value()) << "answered at once";
             EXPECT_EQ(KindOf(*answer), "busy");
         }},
    };
    for (const auto& asker : askers) {
        SCOPED_TRACE(asker.who);
        asker.ask();
        QCoreApplication::processEvents();
        EXPECT_EQ(recorder.mostInFlight.load(), 1);
    }

    recorder.Release();
    ASSERT_TRUE(WaitUntilIdle());
    EXPECT_EQ(recorder.files.size(), 1);
    EXPECT_EQ(recorder.mostInFlight.load(), 1);
    EXPECT_EQ(Settings().DesktopsChanged, before + 1);
    EXPECT_EQ(Page().SelectedPack()->Current, 0);

    // Once it has ended, the next request runs, and is answered when it has ended.
    std::optional<Outcome> answer;
    ui::RunRemoteAction(*window, change::PictureStep::Next, [&answer](const Outcome& r) { answer = r; });
    ASSERT_TRUE(QTest::qWaitFor([&answer] { return answer.has_value(); }, 120000));
    EXPECT_EQ(KindOf(*answer), "unset");
    EXPECT_EQ(Page().SelectedPack()->Current, 1);
    EXPECT_EQ(recorder.files.size(), 2);
    EXPECT_EQ(Settings().DesktopsChanged, before + 2);
}

TEST_F(OneChangeTest, APictureThatCannotBeReadIsToldWithoutHoldingUpTheChange)
{
    ASSERT_TRUE(WriteSimplePack(PackPath("first.zip"), "First", 1, 2));
    ASSERT_TRUE(WriteZip(PackPath("locked.zip"), "[Pack]\nName=Locked\nIcon=2\n",
                         {{"01 - Damaged.jpg", "no picture at all"}, {"02 - Damaged too.jpg", "nor this"}}));
    Open();
    std::optional<Outcome> answer;
    dialogs->whileShown = [&answer](const ShownMessage&) {
        // A modal box runs its own loop: the change ends and answers while it stands.
        EXPECT_TRUE(QTest::qWaitFor([&answer] { return answer.has_value(); }, 120000));
    };
    window->Selection().SelectPictureByIndex(1);
    ui::RunRemoteAction(*window, change::PictureStep::Next, [&answer](const Outcome& r) { answer = r; });
    ASSERT_TRUE(QTest::qWaitFor([&answer] { return answer.has_value(); }, 120000));
    ASSERT_EQ(KindOf(*answer), "unset");
    const change::ChangeDone& shown = **answer;
    EXPECT_EQ(shown.packName, "Locked");
    EXPECT_EQ(shown.pictureInPack, 0);
    EXPECT_FALSE(shown.hasPicture);
    ASSERT_TRUE(QTest::qWaitFor([this] { return !dialogs->WithCaption("Problem").empty(); }, 10000));
}

} // namespace
} // namespace uitest
