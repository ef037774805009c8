// The picture on the wall as the window and its tray menu show it: the tip's
// second line, "About this picture...", "Favourite", "Never show this picture
// again", and the History window over the real record, with the real changes.
#include "ui/window_fixture.h"

#include "agent/agent.h"
#include "agent/picture_line.h"
#include "gallery/wall_record.h"
#include "platform/folders.h"
#include "ui/about_picture_window.h"
#include "ui/history_model.h"
#include "ui/history_window.h"

#include <QAction>
#include <QLabel>
#include <QListView>
#include <QMenu>
#include <QPushButton>

namespace uitest {
namespace {

class WallPictureTest : public WindowTest {
protected:
    void OpenWithPacks()
    {
        // A museum's pack: its sources entry names the works' pages.
        const std::string sources = R"({"01 - 1889 - Irises - Vincent van Gogh.jpg":
            {"title": "Irises", "page": "https://museum.example/works/129",
             "credit": "Gift of the Friends of the Museum", "licence": "CC0 1.0"}})";
        ASSERT_TRUE(WritePack(PackPath("museum.zip"), "Museum", 1,
                              {{"01 - 1889 - Irises - Vincent van Gogh.jpg"}, {"02 - 1890 - Poppies - Painter.jpg"}},
                              {{"sources.json", sources}}));
        ASSERT_TRUE(WriteSimplePack(PackPath("plain.zip"), "Plain", 2, 3));
        Open();
        window->SetAddressOpener([this](const QString& address) {
            opened << address;
            return true;
        });
    }
    // The record as another reader sees it.
    gallery::WallRecord& Reader()
    {
        if (!reader) {
            auto record = gallery::WallRecord::Open(
                gallery::RecordFileIn(platform::GetSpecialFolder(platform::CSIDL_APPDATA)));
            EXPECT_TRUE(record.ok());
            reader = std::move(*record);
        }
        return *reader;
    }
    QString TipLine() { return window->TrayAgent()->Tip().section(QLatin1Char('\n'), 1); }
    QStringList Names(QMenu* menu)
    {
        QStringList names;
        for (QAction* action : menu->actions())
            names << action->objectName();
        return names;
    }

    QStringList opened;
    std::unique_ptr<gallery::WallRecord> reader;
};

TEST_F(WallPictureTest, TheTrayNamesThePictureAndItsItemsComeAfterTheSpecifiedOnes)
{
    OpenWithPacks();
    EXPECT_EQ(Names(window->AM), QStringList({"AgentRefresh", "AgentRandom", "AgentSep1", "AgentNext", "AgentBack",
                                              "AgentSep2", "AgentSettings", "AgentMore", "AgentExit", "AgentSep3",
                                              "PictureAbout", "PictureFavourite", "PictureBan"}));
    EXPECT_EQ(Names(window->PM).mid(Names(window->PM).indexOf("PopupDownloadArt")),
              QStringList({"PopupDownloadArt", "PopupHistory"}));
    // Nothing on the wall yet: the tip is the title alone and there is nothing to mark.
    EXPECT_EQ(window->TrayAgent()->Tip(), context->Product().ProductTitle);
    EXPECT_FALSE(window->PictureAbout->isEnabled());
    EXPECT_FALSE(window->PictureFavourite->isEnabled());

    for (change::PictureStep step : {change::PictureStep::Next, change::PictureStep::Next, change::PictureStep::Back}) {
        const core::Result<change::ChangeDone> changed = Change(step);
        ASSERT_TRUE(changed.ok()) << changed.error().text;
        const change::ChangeDone& result = *changed;
        // The change's own account of the picture and the record's agree.
        EXPECT_EQ(TipLine(), result.description);
        EXPECT_TRUE(window->TrayAgent()->Tip().startsWith(context->Product().ProductTitle + "\n"));
        EXPECT_TRUE(window->PictureAbout->isEnabled());
        EXPECT_TRUE(window->PictureFavourite->isEnabled());
        EXPECT_TRUE(window->PictureBan->isEnabled());
    }
}

TEST_F(WallPictureTest, FavouriteFromTheTrayMarksThePictureOnTheWall)
{
    OpenWithPacks();
    ASSERT_TRUE(Change(change::PictureStep::Next).ok());
    const gallery::PictureKey key = window->PictureOnWall()->Key();
    for (bool on : {true, false, true}) {
        window->PictureFavourite->trigger();
        EXPECT_EQ(window->PictureFavourite->isChecked(), on);
        const std::vector<gallery::PictureKey> favourites = Reader().Favourites().value();
        EXPECT_EQ(favourites.size(), on ? 1u : 0u);
        if (on) {
            EXPECT_EQ(favourites.front(), key);
        }
    }
}

TEST_F(WallPictureTest, NeverAgainBansThePictureAndMovesOn)
{
    OpenWithPacks();
    ASSERT_TRUE(Change(change::PictureStep::Next).ok());
    const gallery::WallEntry before = *window->PictureOnWall();
    window->PictureBan->trigger();
    ASSERT_TRUE(WaitUntilIdle());
    EXPECT_EQ(Reader().Banned().value(), std::vector<gallery::PictureKey>{before.Key()});
    const std::optional<gallery::WallEntry> after = window->PictureOnWall();
    ASSERT_TRUE(after);
    EXPECT_FALSE(after->Key() == before.Key());
    EXPECT_GT(after->change, before.change);
}

TEST_F(WallPictureTest, AboutThisPictureNamesTheMuseumWorkAndOpensItsPage)
{
    OpenWithPacks();
    // Global index 0 is the museum pack's first picture.
    Select(0);
    ASSERT_TRUE(Change(change::PictureStep::Current).ok());
    window->PictureAbout->trigger();
    ui::TAboutPictureWindow* about = window->AboutPictureWindow();
    ASSERT_TRUE(about && about->isVisible());
    EXPECT_EQ(about->TitleLabel->text(), "Irises");
    EXPECT_TRUE(about->Details->text().contains("Vincent van Gogh"));
    EXPECT_TRUE(about->Source->text().contains("Gift of the Friends of the Museum"));
    EXPECT_FALSE(about->Thumbnail->pixmap().isNull());
    about->OpenPage->click();
    EXPECT_EQ(opened, QStringList{"https://museum.example/works/129"});
}

TEST_F(WallPictureTest, HistoryShowsTheChangesNewestFirstAndShowsOneAgain)
{
    OpenWithPacks();
    std::vector<gallery::PictureKey> shown;
    for (int i = 0; i < 3; ++i) {
        ASSERT_TRUE(Change(change::PictureStep::Next).ok());
        shown.push_back(window->PictureOnWall()->Key());
    }
    window->PackHistory->trigger();
    ui::THistoryWindow* history = window->HistoryWindow();
    ASSERT_TRUE(history && history->isVisible());
    ASSERT_EQ(history->Model().rowCount(), 3);
    for (int row = 0; row < 3; ++row)
        EXPECT_EQ(history->Model().EntryAt(row).Key(), shown[static_cast<std::size_t>(2 - row)]) << row;

    // The oldest again, with the keyboard: it is on the wall and the newest row.
    history->List->setCurrentIndex(history->Model().index(2));
    history->ShowAgainAction->trigger();
    ASSERT_TRUE(WaitUntilIdle());
    EXPECT_EQ(window->PictureOnWall()->Key(), shown[0]);
    ASSERT_EQ(history->Model().rowCount(), 4);
    EXPECT_EQ(history->Model().EntryAt(0).Key(), shown[0]);

    // Export: the file dialog through the window's seam, then an export change
    // that the record does not count as a change of the wall.
    const QString target = env.Root() + "/again.jpg";
    dialogs->saveFiles.push_back(target);
    history->List->setCurrentIndex(history->Model().index(1));
    history->ExportAction->trigger();
    ASSERT_TRUE(WaitUntilIdle());
    ASSERT_EQ(dialogs->saveRequests.size(), 1u);
    EXPECT_TRUE(QFileInfo(target).size() > 0);
    EXPECT_EQ(Reader().History().value().size(), 4u);
    EXPECT_EQ(window->PictureOnWall()->Key(), shown[0]);

    // Marks from the History window are the record's marks.
    history->List->setCurrentIndex(history->Model().index(0));
    history->BanAction->trigger();
    EXPECT_EQ(Reader().Banned().value(), std::vector<gallery::PictureKey>{shown[0]});
    history->BanAction->trigger();
    EXPECT_TRUE(Reader().Banned().value().empty());
}

} // namespace
} // namespace uitest
