#include "core/random.h"
#include "ui/pages/pages_fixture.h"
#include "ui/about_page.h"

#include <QApplication>
#include <QFile>
#include <QImage>
#include <QLineEdit>
#include <QTabWidget>
#include <QTest>
#include <QTextEdit>

#include <gtest/gtest.h>

using ui::TAboutPage;

namespace {

const QString kMailSubject = QStringLiteral("?subject=A%20message.%20Posted%20from%20Ambience.");

class AboutPageTest : public ::testing::Test {
protected:
    // A page over the compiled-in links, or over a text and pictures of the test's own.
    TAboutPage& Page(const QString& links = {}, const QString& pictures = {})
    {
        page = links.isEmpty() ? std::make_unique<TAboutPage>(*pages.product)
                               : std::make_unique<TAboutPage>(*pages.product, nullptr, links, pictures);
        page->SetOpener([this](const QString& address) {
            opened << address;
            return true;
        });
        page->resize(577, 313);
        return *page;
    }
    // Writes links.ini with the given entries and a picture of the given size for each.
    QString Links(const QString& text, const std::vector<QSize>& pictureSizes)
    {
        const QString folder = pages.env.Root() + QStringLiteral("/featured/");
        QDir().mkpath(folder);
        QFile file(folder + QStringLiteral("links.ini"));
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(text.toUtf8());
        file.close();
        for (std::size_t i = 0; i < pictureSizes.size(); ++i) {
            QImage picture(pictureSizes[i], QImage::Format_RGB32);
            picture.fill(Qt::darkGreen);
            EXPECT_TRUE(picture.save(ui::FeaturedPicturePath(folder, static_cast<int>(i))));
        }
        pictureFolder = folder;
        return folder + QStringLiteral("links.ini");
    }
    void ExpectPictureInCorner(const TAboutPage& p)
    {
        const QRect image = p.LinkImage->geometry();
        EXPECT_EQ(p.width() - (image.right() + 1), p.AboutProduct->x());
        EXPECT_EQ(p.height() - (image.bottom() + 1), p.AboutProduct->y());
        EXPECT_EQ(image.top() - (p.LinkInfo->geometry().bottom() + 1), p.AboutProduct->y());
    }

    pagestest::PagesEnv pages;
    std::unique_ptr<TAboutPage> page;
    QStringList opened;
    QString pictureFolder;
};

const char* const kTwoLinks = "\r\n[1]\r\nName=First\r\nLink=https://first.example/\r\nLink2=https://first.example/two\r\n"
                              "Description=The first one.\r\n\r\n[2]\r\nName=Second\r\nLink=friend@second.example\r\n"
                              "Description=Write to us.\r\n";

TEST_F(AboutPageTest, LinksOpenThroughTheShellAndMailAddressesGetASubject)
{
    TAboutPage& p = Page(Links(QString::fromLatin1(kTwoLinks), {{120, 80}, {120, 80}}), pictureFolder);
    EXPECT_EQ(p.AboutProduct->text(), QStringLiteral("  Ambience\u2122 3.00"));
    EXPECT_EQ(p.AboutCopyright->text(), QStringLiteral("  ") + pages.product->NoticeLine);
    EXPECT_EQ(p.ShownEntry(), -1); // nothing featured before the page is opened
    p.LinkClick(p.AboutSite);
    p.LinkClick(p.AboutEmail);
    p.TutorialClick();
    p.FAQClick();
    const QString site = pages.product->SiteAddress;
    EXPECT_EQ(opened, QStringList({site, QStringLiteral("mailto:") + pages.product->SupportAddress + kMailSubject,
                                   site + "help.html", site + "faq.html"}));

    // Entry 0 with its plain web addresses; its picture opens the first of them.
    opened.clear();
    SeedRandom(1);
    for (int tries = 0; tries < 50 && p.ShownEntry() != 0; ++tries)
        p.ShowFeaturedLink();
    ASSERT_EQ(p.ShownEntry(), 0);
    EXPECT_EQ(p.LinkName->text(), "First  ");
    EXPECT_EQ(p.LinkInfo->toPlainText(), "The first one.");
    p.LinkClick(p.LinkLink2);
    QTest::mouseClick(p.LinkImage, Qt::LeftButton);
    QTest::mouseClick(p.LinkLink, Qt::LeftButton);
    EXPECT_EQ(opened, QStringList({"https://first.example/two", "https://first.example/", "https://first.example/"}));

    // Entry 1: a featured address with an at sign is a mail address too, and the
    // empty second address opens nothing.
    opened.clear();
    for (int tries = 0; tries < 500 && p.ShownEntry() != 1; ++tries)
        p.ShowFeaturedLink();
    ASSERT_EQ(p.ShownEntry(), 1);
    EXPECT_TRUE(p.LinkLink2->text().isEmpty());
    p.LinkClick(p.LinkLink2);
    p.LinkImageClick();
    EXPECT_EQ(opened, QStringList({QStringLiteral("mailto:friend@second.example") + kMailSubject}));
}

TEST_F(AboutPageTest, FirstEntryIsDrawnSixTimesInNPlusFive)
{
    TAboutPage& p = Page(Links(QString::fromLatin1(kTwoLinks), {{120, 80}, {120, 80}}), pictureFolder);
    SeedRandom(20261208);
    const int opens = 1400;
    int first = 0;
    for (int i = 0; i < opens; ++i) {
        p.ShowFeaturedLink();
        ASSERT_TRUE(p.ShownEntry() == 0 || p.ShownEntry() == 1);
        first += p.ShownEntry() == 0 ? 1 : 0;
    }
    // 6/7 of 1400 is 1200; the binomial deviation is about 13.
    EXPECT_NEAR(first, 1200, 60);
}

TEST_F(AboutPageTest, PictureSitsInTheBottomRightCornerWhateverItsSize)
{
    const QString links = Links(QString::fromLatin1(kTwoLinks), {{120, 80}, {57, 133}});
    TAboutPage& p = Page(links, pictureFolder);
    SeedRandom(5);
    bool seen[2] = {false, false};
    for (int tries = 0; tries < 200 && !(seen[0] && seen[1]); ++tries) {
        p.ShowFeaturedLink();
        seen[p.ShownEntry()] = true;
        const QSize expected = p.ShownEntry() == 0 ? QSize(120, 80) : QSize(57, 133);
        EXPECT_EQ(p.LinkImage->size(), expected);
        EXPECT_TRUE(p.LinkImage->isVisibleTo(&p));
        ExpectPictureInCorner(p);
    }
    EXPECT_TRUE(seen[0] && seen[1]);
    // The page can change size (another font); the picture keeps to the corner.
    p.show();
    p.resize(640, 360);
    ExpectPictureInCorner(p);
}

TEST_F(AboutPageTest, LongAddressesAreShortenedOnScreenButOpenedWhole)
{
    const QString longLink = QStringLiteral("https://example.org/") + QString(200, QLatin1Char('a'));
    TAboutPage& p = Page(Links("[only]\nName=Long\nLink=" + longLink + "\n", {{120, 80}}), pictureFolder);
    p.LayOut(1.0);
    p.ShowFeaturedLink();
    EXPECT_LE(p.LinkLink->width(), 281);
    EXPECT_EQ(p.LinkLink->geometry().right() + 1, 569); // right-aligned at its fixed edge
    p.LinkImageClick();
    EXPECT_EQ(opened, QStringList{longLink});
}


TEST_F(AboutPageTest, EveryCompiledInEntryHasItsPictureAndAWebAddress)
{
    QFile file(QString::fromLatin1(ui::kFeaturedLinksPath));
    TAboutPage& p = Page(); // registers the resources
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QByteArray text = file.readAll();
    EXPECT_TRUE(text.startsWith("\r\n")) << "the text begins with an empty line";
    const auto links = ui::ParseFeaturedLinks(QString::fromUtf8(text));
    ASSERT_GE(links.size(), 2u);
    for (std::size_t i = 0; i < links.size(); ++i) {
        SCOPED_TRACE(i);
        EXPECT_FALSE(links[i].name.isEmpty());
        EXPECT_FALSE(links[i].description.isEmpty());
        EXPECT_TRUE(links[i].link.startsWith("https://")) << links[i].link.toStdString();
        EXPECT_TRUE(links[i].link2.isEmpty() || links[i].link2.startsWith("https://"));
        const QImage picture(ui::FeaturedPicturePath(QString::fromLatin1(ui::kFeaturedPictureFolder), static_cast<int>(i)));
        ASSERT_FALSE(picture.isNull());
        EXPECT_EQ(picture.width(), 120);
        EXPECT_NEAR(picture.height(), 80, 10);
    }
    SeedRandom(3);
    p.ShowFeaturedLink();
    ASSERT_GE(p.ShownEntry(), 0);
    EXPECT_FALSE(p.LinkLink->text().isEmpty());
    ExpectPictureInCorner(p);
}

TEST_F(AboutPageTest, OpeningThePageDrawsAnEntryAndF1OpensHelpAnywhere)
{
    QWidget window;
    auto* pc = new QTabWidget(&window);
    auto* packs = new QWidget;
    auto* edit = new QLineEdit(packs);
    pc->addTab(packs, "Packs");
    pc->addTab(new QWidget, "Options");
    Page();
    TAboutPage* about = page.release(); // the tab widget owns it now
    pc->addTab(about, "About");
    about->AttachTo(pc);
    about->InstallHelpKey(&window);

    pc->setCurrentIndex(1);
    EXPECT_EQ(about->ShownEntry(), -1);
    pc->setCurrentIndex(2);
    EXPECT_GE(about->ShownEntry(), 0);
    EXPECT_FALSE(about->LinkName->text().trimmed().isEmpty());

    pc->setCurrentIndex(0);
    window.show();
    QApplication::setActiveWindow(&window);
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
    edit->setFocus();
    QTest::keyClick(edit, Qt::Key_F1);
    EXPECT_EQ(opened, QStringList{pages.product->SiteAddress + "help.html"});

    bool callHelp = true;
    EXPECT_TRUE(about->AEHelp(ui::HELP_CONTEXTPOPUP, 0, &callHelp));
    EXPECT_FALSE(callHelp);
    EXPECT_TRUE(about->AEHelp(3, 0, &callHelp)); // other commands are handled by doing nothing
    EXPECT_EQ(opened.size(), 2);
}

} // namespace
