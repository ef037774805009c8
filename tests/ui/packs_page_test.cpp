// The Packs page driven through the real window: the list, the count label, the
// "more packs" item, browsing within a pack and the preview's size.
#include "ui/window_fixture.h"

#include "graphics/picture.h"
#include "packs/pack.h"
#include "ui/page_texts.h"
#include "ui/preview.h"
#include "ui/program_icons.h"

#include <QAction>
#include <QCoreApplication>
#include <QTimer>
#include <QListWidget>

namespace uitest {
namespace {

constexpr int ImageRole = Qt::UserRole;

TEST_F(WindowTest, CountLabelForEveryNumberOfPacks)
{
    const std::vector<std::pair<int, QString>> cases = {
        {0, "  None packs installed"}, {1, "  One pack installed"}, {3, "  Three packs installed"},
        {21, "  Twenty one packs installed"}, {120, "  120 packs installed"}};
    int written = 0;
    for (const auto& [count, text] : cases) {
        for (; written < count; ++written)
            ASSERT_TRUE(WriteSimplePack(PackPath(QStringLiteral("p%1.zip").arg(written)),
                                        "Pack " + std::to_string(written), 1, 1));
        if (!window)
            Open();
        else
            Page().FillPackList();
        SCOPED_TRACE(count);
        EXPECT_EQ(Page().InstalledPackCount(), count);
        EXPECT_EQ(Page().PV->count(), count + 1);
        EXPECT_EQ(Bar(), text);
        EXPECT_EQ(Position(), "");
        EXPECT_FALSE(window->PackRemove->isVisible());
    }
}

TEST_F(WindowTest, MorePacksItemIsLastWithItsIcons)
{
    ASSERT_TRUE(WriteSimplePack(PackPath("a.zip"), "Alpha", 2, 1));
    ASSERT_TRUE(WriteSimplePack(PackPath("b.zip"), "Beta", 99, 1)); // icon out of range
    Open();
    ASSERT_EQ(window->PIL.size(), 10u);
    QListWidget* list = Page().PV;
    ASSERT_EQ(list->count(), 3);
    EXPECT_EQ(list->item(0)->text(), "Alpha");
    EXPECT_EQ(list->item(0)->data(ImageRole).toInt(), 2);
    EXPECT_EQ(list->item(1)->text(), "Beta");
    EXPECT_EQ(list->item(1)->data(ImageRole).toInt(), 0);
    EXPECT_EQ(list->item(2)->text(), "Get more packs!");
    EXPECT_EQ(Page().PackOfItem(2), nullptr);

    // Image 4 most of the time, image 8 about one filling in seven.
    int rare = 0;
    const int fillings = 140;
    for (int i = 0; i < fillings; ++i) {
        Page().FillPackList();
        const int image = list->item(list->count() - 1)->data(ImageRole).toInt();
        ASSERT_TRUE(image == ui::MorePacksIcon || image == ui::MorePacksRareIcon) << image;
        rare += image == ui::MorePacksRareIcon;
        ASSERT_TRUE(list->selectedItems().isEmpty());
    }
    EXPECT_GT(rare, 5);
    EXPECT_LT(rare, 45);
}

TEST_F(WindowTest, SelectingAndBrowsingAPack)
{
    ASSERT_TRUE(WritePack(PackPath("art.zip"), "Art", 1,
                          {{"1 - 1889 - Starry - Painter.jpg"}, {"2 - Second.jpg"}, {"3 - Third.jpg"}}));
    ASSERT_TRUE(WriteSimplePack(PackPath("one.zip"), "One", 3, 1));
    Open();
    Select(0);
    EXPECT_EQ(Bar(), "  Starry (1889, Painter)");
    EXPECT_EQ(Position(), "1 of 3  ");
    ASSERT_NE(Page().CurrentRecord(), nullptr);
    EXPECT_EQ(Page().CurrentRecord()->Title, "Starry");
    EXPECT_FALSE(Page().PreviewPicture().IsEmpty());
    // The preview paints the picture (the test pictures are strongly coloured).
    const QImage shown = Page().Preview->grab().toImage();
    EXPECT_GT(shown.pixelColor(shown.width() / 2, shown.height() / 2).saturation(), 100);
    EXPECT_FALSE(Page().PictureBack->isHidden());
    EXPECT_FALSE(Page().PictureBack->isEnabled());
    EXPECT_TRUE(Page().PictureNext->isEnabled());
    EXPECT_TRUE(Page().MorePacks->isHidden());
    EXPECT_TRUE(window->PackRemove->isVisible());

    Page().PictureNext->click();
    Page().PictureNext->click();
    EXPECT_EQ(Position(), "3 of 3  ");
    EXPECT_EQ(Bar(), "  Third");
    EXPECT_FALSE(Page().PictureNext->isEnabled());
    EXPECT_TRUE(Page().PictureBack->isEnabled());
    Page().PictureBack->click();
    EXPECT_EQ(Position(), "2 of 3  ");

    // A single picture: both buttons disabled.
    Select(1);
    EXPECT_EQ(Position(), "1 of 1  ");
    EXPECT_FALSE(Page().PictureBack->isEnabled());
    EXPECT_FALSE(Page().PictureNext->isEnabled());

    // The "more packs" item: its line, the built-in picture, only MorePacks.
    Select(2);
    EXPECT_EQ(Bar(), "  Get more art packs from our web-site!");
    EXPECT_EQ(Position(), "");
    EXPECT_EQ(Page().CurrentRecord(), nullptr);
    EXPECT_TRUE(Page().PictureBack->isHidden());
    EXPECT_TRUE(Page().PictureNext->isHidden());
    EXPECT_FALSE(Page().MorePacks->isHidden());
    EXPECT_FALSE(window->PackRemove->isVisible());
    EXPECT_FALSE(Page().PreviewPicture().IsEmpty()) << "the built-in picture";
    EXPECT_TRUE(Page().PreviewPicture().IsMetafile());

    // Back to a pack after a refill: its last viewed picture again.
    Page().FillPackList();
    EXPECT_EQ(Bar(), "  Two packs installed");
    Select(0);
    EXPECT_EQ(Position(), "2 of 3  ");
    // ... and after a restart of the window.
    window.reset();
    Open();
    Select(0);
    EXPECT_EQ(Position(), "2 of 3  ");
    EXPECT_TRUE(dialogs->messages.empty());
}

TEST_F(WindowTest, StoredIndexBeyondThePackIsClamped)
{
    ASSERT_TRUE(WriteSimplePack(PackPath("art.zip"), "Art", 1, 5));
    Open();
    Select(0);
    for (int i = 0; i < 4; ++i)
        Page().PictureNext->click();
    EXPECT_EQ(Position(), "5 of 5  ");
    window->SaveSettings(); // as the program does when it ends
    window.reset();
    // The pack now has three pictures: its last one is shown.
    ASSERT_TRUE(WriteSimplePack(PackPath("art.zip"), "Art", 1, 3));
    Open();
    Select(0);
    EXPECT_EQ(Position(), "3 of 3  ");
}

TEST_F(WindowTest, PreviewTakesThePictureAspect)
{
    ASSERT_TRUE(WritePack(PackPath("shapes.zip"), "Shapes", 1,
                          {{"1 - Square.jpg", {40, 40}}, {"2 - Wide.jpg", {80, 20}}, {"3 - Tall.jpg", {20, 60}}}));
    Open();
    Select(0);
    const int clientHeight = window->height();
    EXPECT_EQ(Page().Preview->size(), ui::PreviewSize(clientHeight, 40, 40));
    Page().PictureNext->click();
    EXPECT_EQ(Page().Preview->size(), ui::PreviewSize(clientHeight, 80, 20));
    EXPECT_NEAR(Page().Preview->width(), 4 * Page().Preview->height(), 4);
    Page().PictureNext->click();
    const QSize tall = Page().Preview->size();
    EXPECT_EQ(tall, ui::PreviewSize(clientHeight, 20, 60));
    EXPECT_NEAR(static_cast<double>(tall.height()) / tall.width(), 2.8, 0.05);
    // The preview grows from its top-left corner and stays above the labels.
    EXPECT_LT(Page().Preview->geometry().bottom(), Page().PSB->geometry().top());
}

TEST_F(WindowTest, SelectionChangedDuringAPictureLoadWins)
{
    ASSERT_TRUE(WritePack(PackPath("a.zip"), "A", 1, {{"1 - Square.jpg", {40, 40}}}));
    ASSERT_TRUE(WritePack(PackPath("b.zip"), "B", 2, {{"1 - Wide.jpg", {80, 20}}}));
    Open();
    // The loader lets events run; one of them selects the other pack.
    QTimer::singleShot(0, window.get(), [this] { Select(1); });
    Select(0);
    QCoreApplication::processEvents();
    EXPECT_EQ(Bar(), "  Wide");
    EXPECT_EQ(Page().PreviewPicture().Width(), 80);
    ASSERT_NE(Page().CurrentRecord(), nullptr);
    EXPECT_EQ(Page().CurrentRecord()->Title, "Wide");
}

TEST_F(WindowTest, DamagedPictureIsReportedAndPageStaysUsable)
{
    ASSERT_TRUE(WriteZip(PackPath("bad.zip"), "[Pack]\r\nName=Bad\r\n", {{"1 - Broken.jpg", "not a jpeg"}}));
    Open();
    Select(0);
    QCoreApplication::processEvents(); // told once the selection's work has returned
    const auto problems = dialogs->WithCaption("Problem");
    ASSERT_EQ(problems.size(), 1u);
    EXPECT_TRUE(problems[0].text.contains(QLatin1Char('.')));
    EXPECT_EQ(problems[0].icon, ui::MessageIcon::Warning);
    EXPECT_EQ(Bar(), "  Broken");
    EXPECT_EQ(Position(), "1 of 1  ");
}

} // namespace
} // namespace uitest
