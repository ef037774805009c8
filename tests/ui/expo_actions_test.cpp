// The exposition actions through the real window and the real composer: selection
// over all packs, counting of desktop changes, the busy state, progress and export.
#include "ui/window_fixture.h"

#include "core/product.h"
#include "graphics/jpeg.h"
#include "packs/pack.h"
#include "platform/folders.h"
#include "settings/options.h"

#include <QAction>
#include <QCoreApplication>
#include <QEvent>

#include <set>
#include <QMenu>
#include <QProgressBar>
#include <QTabWidget>

namespace uitest {
namespace {

class ActionsTest : public WindowTest {
protected:
    // Packs of 3 and 2 pictures: global indices 0..2 and 3..4.
    void OpenTwoPacks()
    {
        ASSERT_TRUE(WriteSimplePack(PackPath("first.zip"), "First", 1, 3));
        ASSERT_TRUE(WriteSimplePack(PackPath("second.zip"), "Second", 2, 2));
        Open();
    }
    QString WallpaperFile() const
    {
        return platform::GetSpecialFolder(platform::CSIDL_APPDATA) + QStringLiteral("ambience.bmp");
    }
    // "<pack row>:<picture>" of what is shown, or "-" for no pack.
    std::string Shown()
    {
        const TPack* pack = Page().SelectedPack();
        if (!pack)
            return "-";
        for (int row = 0; row < Page().InstalledPackCount(); ++row)
            if (Page().PackOfItem(row) == pack)
                return std::to_string(row) + ":" + std::to_string(pack->Current);
        return "?";
    }
};

TEST_F(ActionsTest, NextAndBackWalkAllPacksAndWrapAround)
{
    OpenTwoPacks();
    const int before = Settings().DesktopsChanged;
    window->ExpoNextExecute(); // from no selection: the first picture
    ASSERT_TRUE(WaitUntilIdle());
    EXPECT_EQ(Shown(), "0:0");
    for (int i = 0; i < 3; ++i) {
        window->ExpoNextExecute();
        ASSERT_TRUE(WaitUntilIdle());
    }
    EXPECT_EQ(Shown(), "1:0");
    window->ExpoNextExecute();
    ASSERT_TRUE(WaitUntilIdle());
    EXPECT_EQ(Shown(), "1:1");
    EXPECT_EQ(Bar(), "  Title 2");
    window->ExpoNextExecute(); // past the last picture of the last pack
    ASSERT_TRUE(WaitUntilIdle());
    EXPECT_EQ(Shown(), "0:0");
    window->ExpoBackExecute(); // before the first: the very last
    ASSERT_TRUE(WaitUntilIdle());
    EXPECT_EQ(Shown(), "1:1");
    EXPECT_EQ(Settings().DesktopsChanged, before + 7);
    EXPECT_TRUE(QFileInfo::exists(WallpaperFile()));

    // From the "more packs" item, Back goes to the last picture.
    Select(2);
    window->ExpoBackExecute();
    ASSERT_TRUE(WaitUntilIdle());
    EXPECT_EQ(Shown(), "1:1");
}

TEST_F(ActionsTest, RandomWithoutPacksStillCountsAChange)
{
    Open();
    const int before = Settings().DesktopsChanged;
    const double earlier = Settings().LastDesktopChangeTime;
    window->ExpoRandomExecute();
    ASSERT_TRUE(WaitUntilIdle());
    EXPECT_EQ(Settings().DesktopsChanged, before + 1);
    EXPECT_GT(Settings().LastDesktopChangeTime, earlier);
    EXPECT_EQ(Shown(), "-");
    EXPECT_EQ(Bar(), "  None packs installed");
    EXPECT_TRUE(QFileInfo::exists(WallpaperFile()));
    EXPECT_TRUE(dialogs->WithCaption("Problem").empty());

    // The count was saved: a new settings object reads it back.
    platform::Registry& store = platform::Registry::CurrentUser();
    EXPECT_EQ(store.ReadInteger(ProductNames().OptionsKey, "DesktopsChanged").value_or(-1), before + 1);
}

TEST_F(ActionsTest, RandomPicksFromAllPictures)
{
    OpenTwoPacks();
    std::set<std::string> seen;
    for (int i = 0; i < 20; ++i) {
        window->ExpoRandomExecute();
        ASSERT_TRUE(WaitUntilIdle());
        seen.insert(Shown());
    }
    EXPECT_EQ(seen.count("-"), 0u);
    EXPECT_GE(seen.size(), 3u);
}

TEST_F(ActionsTest, BusyStateDisablesWindowAndMenuAndProgressOnlyGrows)
{
    OpenTwoPacks();
    Select(0);
    QProgressBar* bar = Page().PB;
    std::vector<int> values;
    bool sawEnabledControls = false;
    bool sawHiddenBar = false;
    int nestedStarts = 0;
    QObject::connect(bar, &QProgressBar::valueChanged, window.get(), [&](int value) {
        values.push_back(value);
        sawEnabledControls |= window->PC->isEnabled();
        for (QAction* item : window->AM->actions())
            sawEnabledControls |= item->isEnabled();
        sawHiddenBar |= bar->isHidden();
        // Nothing may start a second composition meanwhile.
        const int before = Settings().DesktopsChanged;
        window->ExpoRefreshExecute();
        window->ExpoRandomExecute();
        nestedStarts += Settings().DesktopsChanged != before;
    });
    const int before = Settings().DesktopsChanged;
    window->ExpoRefreshExecute();
    ASSERT_TRUE(WaitUntilIdle());
    EXPECT_EQ(Settings().DesktopsChanged, before + 1);
    EXPECT_EQ(nestedStarts, 0);
    ASSERT_FALSE(values.empty());
    EXPECT_FALSE(sawEnabledControls);
    EXPECT_FALSE(sawHiddenBar);
    for (std::size_t i = 1; i < values.size(); ++i)
        EXPECT_TRUE(values[i] > values[i - 1] || values[i] == 0) << values[i - 1] << " then " << values[i];
    EXPECT_EQ(values.back(), 100);
    // Afterwards everything is back.
    EXPECT_TRUE(window->PC->isEnabled());
    EXPECT_TRUE(bar->isHidden());
    for (QAction* item : window->AM->actions())
        EXPECT_TRUE(item->isEnabled()) << item->objectName().toStdString();
    EXPECT_FALSE(window->IsBusy());
}

TEST_F(ActionsTest, ClosingWhileBusyWaitsForTheComposition)
{
    Open();
    window->show();
    Settings().AutoChangeEnabled = false;
    bool closedMeanwhile = false;
    QObject::connect(Page().PB, &QProgressBar::valueChanged, window.get(), [&] {
        closedMeanwhile |= window->close();
    });
    window->ExpoRefreshExecute();
    ASSERT_TRUE(WaitUntilIdle());
    EXPECT_FALSE(closedMeanwhile);
    EXPECT_TRUE(window->isVisible());
    QCoreApplication::processEvents(); // the deferred close
    EXPECT_FALSE(window->isVisible());
}

TEST_F(ActionsTest, ShowProgressNeverGoesBackwards)
{
    Open();
    window->BeginBusy();
    window->ShowProgress(60);
    window->ShowProgress(40);
    EXPECT_EQ(Page().PB->value(), 60);
    window->ShowProgress(130); // frame passes report a little over 100
    EXPECT_EQ(Page().PB->value(), 100);
    window->ShowProgress(-100);
    EXPECT_EQ(Page().PB->value(), 0);
    window->EndBusy();
}

TEST_F(ActionsTest, ExportProposesNameWritesJpegAndChangesNoSetting)
{
    ASSERT_TRUE(WritePack(PackPath("long.zip"), "Long", 1,
                          {{"1 - 1900 - " + std::string(130, 'T') + " - Painter.jpg"}, {"2 - Short - Someone.jpg"}}));
    Open();
    const QString target = env.Root() + "/out.jpg";
    const int changes = Settings().DesktopsChanged;
    const QByteArray storeBefore = [] {
        QFile f(platform::Registry::CurrentUser().FilePath());
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }();

    // No record: the product's name is proposed; cancelling does nothing.
    window->ExpoExportExecute();
    ASSERT_TRUE(WaitUntilIdle());
    ASSERT_EQ(dialogs->saveRequests.size(), 1u);
    const ui::FileRequest& first = dialogs->saveRequests[0];
    EXPECT_EQ(first.proposedName, "Ambience");
    EXPECT_EQ(first.title, "Save picture...");
    EXPECT_EQ(first.filter, "JPEG images (*.jpg)|*.jpg|All files (*.*)|*.*");
    EXPECT_EQ(first.defaultExtension, "jpg");

    // A long title is cut to 120 characters ending in "...".
    Select(0);
    dialogs->saveFiles.push_back(target);
    window->ExpoExportExecute();
    ASSERT_TRUE(WaitUntilIdle());
    ASSERT_EQ(dialogs->saveRequests.size(), 2u);
    const QString proposed = dialogs->saveRequests[1].proposedName;
    EXPECT_EQ(proposed.size(), 118);
    EXPECT_TRUE(proposed.startsWith("TTTT"));
    EXPECT_TRUE(proposed.endsWith("..."));

    QFile written(target);
    ASSERT_TRUE(written.open(QIODevice::ReadOnly));
    const QByteArray bytes = written.readAll();
    const auto jpeg = graphics::DecodeJpeg(std::span(reinterpret_cast<const std::uint8_t*>(bytes.data()),
                                                     static_cast<std::size_t>(bytes.size())));
    EXPECT_TRUE(jpeg.ok()) << jpeg.message;
    EXPECT_FALSE(QFileInfo::exists(WallpaperFile()));
    EXPECT_EQ(Settings().DesktopsChanged, changes);
    QFile store(platform::Registry::CurrentUser().FilePath());
    ASSERT_TRUE(store.open(QIODevice::ReadOnly));
    EXPECT_EQ(store.readAll(), storeBefore);
    EXPECT_TRUE(dialogs->WithCaption("Problem").empty());
}

TEST_F(ActionsTest, FailedExportEndsBusyAndNamesTheFile)
{
    Open();
    const QString target = env.Root() + "/no such folder/out.jpg";
    dialogs->saveFiles.push_back(target);
    window->ExpoExportExecute();
    ASSERT_TRUE(WaitUntilIdle());
    EXPECT_FALSE(window->IsBusy());
    EXPECT_TRUE(window->PC->isEnabled());
    EXPECT_TRUE(Page().PB->isHidden());
    const auto problems = dialogs->WithCaption("Problem");
    ASSERT_EQ(problems.size(), 1u);
    EXPECT_TRUE(problems[0].text.contains("out.jpg")) << problems[0].text.toStdString();
}

TEST_F(ActionsTest, FailedWallpaperIsToldOnceWithTheFile)
{
    Open();
    window->ExpoRefreshExecute();
    ASSERT_TRUE(WaitUntilIdle());
    window->ExpoRefreshExecute();
    ASSERT_TRUE(WaitUntilIdle());
    const auto notices = dialogs->WithCaption("Ambience");
    // Without any desktop here, no method can set the wallpaper.
    ASSERT_EQ(notices.size(), 1u);
    EXPECT_TRUE(notices[0].text.contains("ambience.bmp"));
}

TEST_F(ActionsTest, InstallSwitchComposesPictureFiftyOnceAndRestoresInfluence)
{
    for (int i = 0; i < 3; ++i)
        ASSERT_TRUE(WriteSimplePack(PackPath(QStringLiteral("p%1.zip").arg(i)), "Pack " + std::to_string(i), i, 20));
    Open({"/install"});
    Settings().ColorInfluence = 3;
    const int before = Settings().DesktopsChanged;
    window->RunInstallSwitch();
    ASSERT_TRUE(WaitUntilIdle());
    EXPECT_EQ(Shown(), "2:10"); // 50 = 20 + 20 + 10
    EXPECT_EQ(Settings().DesktopsChanged, before + 1);
    EXPECT_EQ(Settings().ColorInfluence, 3);
    EXPECT_EQ(platform::Registry::CurrentUser().ReadInteger(ProductNames().OptionsKey, "ColorInfluence").value_or(-1), 3);

    // Activation runs the switch only the first time.
    window->show();
    QEvent activate(QEvent::WindowActivate);
    QCoreApplication::sendEvent(window.get(), &activate);
    QCoreApplication::processEvents();
    QCoreApplication::sendEvent(window.get(), &activate);
    QCoreApplication::processEvents();
    ASSERT_TRUE(WaitUntilIdle());
    EXPECT_EQ(Settings().DesktopsChanged, before + 2);
}

TEST_F(ActionsTest, InstallSwitchWithFewPicturesComposesWithoutPicture)
{
    ASSERT_TRUE(WriteSimplePack(PackPath("small.zip"), "Small", 1, 5));
    Open({"/INSTALL"}); // other letter case: not the switch
    QEvent activate(QEvent::WindowActivate);
    const int before = Settings().DesktopsChanged;
    QCoreApplication::sendEvent(window.get(), &activate);
    QCoreApplication::processEvents();
    EXPECT_EQ(Settings().DesktopsChanged, before);
    window->RunInstallSwitch();
    ASSERT_TRUE(WaitUntilIdle());
    EXPECT_EQ(Shown(), "-");
    EXPECT_EQ(Settings().DesktopsChanged, before + 1);
}

} // namespace
} // namespace uitest
