// "Download art..." from the Packs page's menu: the dialog's choices, the fetch on
// a worker thread against the stand-in museum server, the pack installed and
// selected, and a museum that does not answer said plainly.
#include "ui/window_fixture.h"

#include "graphics/jpeg.h"
#include "graphics/picture.h"
#include "packs/pack.h"
#include "support/museum_server.h"
#include "ui/download_art_dialog.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QLineEdit>
#include <QMenu>
#include <QSpinBox>
#include <QTimer>

namespace uitest {
namespace {

using testsupport::FileAnswer;
using testsupport::JsonAnswer;
using testsupport::MuseumFixture;
using testsupport::Route;

class DownloadArtTest : public WindowTest {
protected:
    void SetUp() override
    {
        WindowTest::SetUp();
        qputenv("XDG_CACHE_HOME", (env.Root() + "/cache").toUtf8());
    }
    void TearDown() override
    {
        WindowTest::TearDown();
        for (const char* name : {"XDG_CACHE_HOME", "AMBIENCE_API_BASE_CMA", "AMBIENCE_API_BASE_MET"})
            qunsetenv(name);
    }
    QAction* MenuItem(const char* name)
    {
        for (QAction* a : window->PM->actions())
            if (a->objectName() == QLatin1String(name))
                return a;
        return nullptr;
    }
};

TEST_F(DownloadArtTest, DialogOffersMuseumsThemesAnOwnQueryAndTheCount)
{
    ui::TDownloadArtDialog dialog;
    QStringList codes;
    for (int i = 0; i < dialog.Museum->count(); ++i)
        codes << dialog.Museum->itemData(i).toString();
    EXPECT_EQ(codes, QStringList({"aic", "met", "cma", "smk", "rijks"}));
    EXPECT_EQ(dialog.Theme->count(), static_cast<int>(ui::ArtThemes().size()) + 1);
    EXPECT_NE(dialog.Theme->findText("Japanese woodblock prints"), -1);
    EXPECT_TRUE(dialog.Licence->text().contains("CC0"));
    QPushButton* ok = dialog.Buttons->button(QDialogButtonBox::Ok);

    dialog.Museum->setCurrentIndex(1);
    dialog.Theme->setCurrentIndex(dialog.Theme->findText("Still life"));
    dialog.Count->setValue(12);
    EXPECT_FALSE(dialog.OwnQuery->isEnabled());
    EXPECT_TRUE(ok->isEnabled());
    ui::DownloadArtAnswers answers = dialog.Answers();
    EXPECT_EQ(answers.museum, "met");
    EXPECT_EQ(answers.query, "still life");
    EXPECT_EQ(answers.name, "The Metropolitan Museum of Art: Still life");
    EXPECT_EQ(answers.count, 12);

    // One's own query: nothing to download until it is written.
    dialog.Theme->setCurrentIndex(dialog.Theme->count() - 1);
    EXPECT_TRUE(dialog.OwnQuery->isEnabled());
    EXPECT_FALSE(ok->isEnabled());
    dialog.OwnQuery->setText("  Hokusai ");
    EXPECT_TRUE(ok->isEnabled());
    answers = dialog.Answers();
    EXPECT_EQ(answers.query, "Hokusai");
    EXPECT_EQ(answers.name, "The Metropolitan Museum of Art: Hokusai");
}

TEST_F(DownloadArtTest, FetchesInstallsAndSelectsThePackWhileTheWindowStaysResponsive)
{
    const QString image = env.Root() + "/schroon.jpg";
    QImage picture(200, 120, QImage::Format_RGB888);
    picture.fill(QColor(200, 120, 40));
    ASSERT_TRUE(graphics::SaveJpeg(picture, image).ok());
    testsupport::MuseumServer server({Route("/api/artworks/", {JsonAnswer(MuseumFixture("cma_search.json"))}),
                                      Route("/cma/1335.1917_web.jpg", {FileAnswer(image)})});
    ASSERT_TRUE(server.Running());
    qputenv("AMBIENCE_API_BASE_CMA", server.Base().toUtf8());
    ASSERT_TRUE(WriteSimplePack(PackPath("old.zip"), "Old", 1, 1));
    Open();
    ASSERT_NE(MenuItem("PopupDownloadArt"), nullptr);
    // After the specified items and "Make a pack...", before "History...".
    const QList<QAction*> items = window->PM->actions();
    EXPECT_EQ(items.at(items.size() - 2)->objectName(), "PopupDownloadArt");
    EXPECT_EQ(server.Requests().size(), 0u); // nothing asked before the person asks

    // The window's event loop runs while the fetch works: a timer fires and sees
    // the progress dialog over a busy window.
    bool sawProgress = false;
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, [&] {
        if (qobject_cast<ui::TDownloadArtProgress*>(QApplication::activeModalWidget()))
            sawProgress = sawProgress || (window->IsBusy() && !window->PC->isEnabled());
    });
    poll.start(0);
    dialogs->downloadArtAnswers.push_back({"cma", "landscape", "Cleveland Museum of Art: Landscapes", 5});
    MenuItem("PopupDownloadArt")->trigger();
    poll.stop();

    EXPECT_TRUE(dialogs->messages.empty()) << dialogs->messages[0].text.toStdString();
    EXPECT_TRUE(sawProgress);
    EXPECT_TRUE(QFileInfo::exists(UserPackPath("Cleveland Museum of Art_ Landscapes.zip")));
    TPack* selected = Page().SelectedPack();
    ASSERT_NE(selected, nullptr);
    EXPECT_EQ(selected->Name, "Cleveland Museum of Art: Landscapes");
    ASSERT_EQ(selected->Pictures.size(), 1u);
    EXPECT_EQ(selected->Pictures[0].Title, "View of Schroon Mountain, Essex County, New York, After a Storm");
    EXPECT_FALSE(Page().PreviewPicture().IsEmpty());
    EXPECT_FALSE(window->IsBusy());
}

TEST_F(DownloadArtTest, AMuseumThatDoesNotAnswerIsSaidPlainly)
{
    qputenv("AMBIENCE_API_BASE_MET", "http://127.0.0.1:9");
    Open();
    dialogs->downloadArtAnswers.push_back({"met", "flowers", "The Metropolitan Museum of Art: Flowers", 5});
    window->DownloadArtExecute();
    ASSERT_EQ(dialogs->messages.size(), 1u);
    EXPECT_EQ(dialogs->messages[0].caption, "Problem");
    EXPECT_TRUE(dialogs->messages[0].text.contains("did not answer")) << dialogs->messages[0].text.toStdString();
    EXPECT_TRUE(dialogs->messages[0].text.contains("offline"));
    EXPECT_EQ(QDir(env.UserPacksDir()).entryList(QDir::Files | QDir::Hidden), QStringList{});
    EXPECT_FALSE(window->IsBusy());
}

} // namespace
} // namespace uitest
