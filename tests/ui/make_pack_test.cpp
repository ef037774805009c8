// "Make a pack..." from the Packs page's menu: the dialog's questions answered
// through the dialog seam, the pack made on a worker thread, installed, selected.
#include "ui/window_fixture.h"

#include "graphics/jpeg.h"
#include "graphics/picture.h"
#include "packs/pack.h"
#include "platform/secret_store.h"
#include "ui/make_pack_dialog.h"
#include "ui/program_icons.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QDir>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QPushButton>
#include <QTabWidget>
#include <QTimer>

#include <random>

namespace uitest {
namespace {

void WriteJpeg(const QString& path, int w, int h, unsigned seed)
{
    QImage image(w, h, QImage::Format_RGB888);
    std::mt19937 random(seed);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w * 3; ++x)
            image.scanLine(y)[x] = static_cast<std::uint8_t>(random() & 0x3F);
    ASSERT_TRUE(graphics::SaveJpeg(image, path).ok());
}

class MakePackActionTest : public WindowTest {
protected:
    void SetUp() override
    {
        WindowTest::SetUp();
        ASSERT_TRUE(QDir().mkpath(Pictures()));
    }
    QString Pictures() const { return env.Root() + "/My Pictures"; }

    QAction* MenuItem(const char* name)
    {
        for (QAction* a : window->PM->actions())
            if (a->objectName() == QLatin1String(name))
                return a;
        return nullptr;
    }
};

TEST_F(MakePackActionTest, DialogAsksForPicturesNameAuthorIconAndPassword)
{
    ScriptedDialogs scripted;
    const std::vector<QIcon> icons = ui::LoadProgramIcons();
    ui::TMakePackDialog dialog(scripted, icons);
    QPushButton* ok = dialog.Buttons->button(QDialogButtonBox::Ok);
    EXPECT_EQ(dialog.PackIcon->count(), static_cast<int>(icons.size()));
    EXPECT_FALSE(ok->isEnabled());

    dialog.AddFolder->click(); // cancelled: nothing added
    EXPECT_EQ(dialog.Pictures->count(), 0);
    scripted.folders.push_back(Pictures());
    dialog.AddFolder->click();
    EXPECT_EQ(dialog.PackName->text(), "My Pictures"); // a folder names the pack
    EXPECT_TRUE(ok->isEnabled());
    scripted.fileLists.push_back({"/a/one.png", "/b/two.jpg", Pictures()});
    dialog.AddFiles->click();
    ASSERT_EQ(dialog.Pictures->count(), 3); // the folder is not listed twice

    dialog.PackName->setText("  Holiday  ");
    dialog.PackAuthor->setText("Me");
    dialog.PackIcon->setCurrentIndex(3);
    dialog.PackPassword->setText("secret");
    const ui::MakePackAnswers answers = dialog.Answers();
    EXPECT_EQ(answers.sources, QStringList({Pictures(), "/a/one.png", "/b/two.jpg"}));
    EXPECT_EQ(answers.name, "Holiday");
    EXPECT_EQ(answers.author, "Me");
    EXPECT_EQ(answers.icon, 3);
    EXPECT_EQ(answers.password, "secret");

    dialog.PackName->clear();
    EXPECT_FALSE(ok->isEnabled());
}

TEST_F(MakePackActionTest, MakesInstallsAndSelectsTheNewPack)
{
    ASSERT_TRUE(WriteSimplePack(PackPath("old.zip"), "Old", 1, 1));
    WriteJpeg(Pictures() + "/1889 - Night - Vincent.jpg", 60, 40, 1);
    WriteJpeg(Pictures() + "/harbour.jpg", 40, 60, 2);
    Open();
    ASSERT_NE(MenuItem("PopupMake"), nullptr);
    // After the specified items, which end with "More packs!..".
    EXPECT_EQ(window->PM->actions().indexOf(MenuItem("PopupMake")), window->PM->actions().indexOf(MenuItem("PopupDonate")) + 1);
    dialogs->makePackAnswers.push_back(ui::MakePackAnswers{{Pictures()}, "Holiday", "Me", 6, ""});
    MenuItem("PopupMake")->trigger();

    EXPECT_TRUE(dialogs->messages.empty()) << dialogs->messages[0].text.toStdString();
    EXPECT_TRUE(QFileInfo::exists(UserPackPath("Holiday.zip")));
    EXPECT_EQ(Page().InstalledPackCount(), 2);
    TPack* selected = Page().SelectedPack();
    ASSERT_NE(selected, nullptr);
    EXPECT_EQ(selected->Name, "Holiday");
    EXPECT_EQ(selected->Icon, 6);
    ASSERT_EQ(selected->Pictures.size(), 2u);
    EXPECT_FALSE(window->IsBusy());

    // Cancelled dialog: nothing happens.
    MenuItem("PopupMake")->trigger();
    EXPECT_TRUE(dialogs->messages.empty());

    // An encrypted pack shows its pictures right away: the window keeps the password.
    dialogs->makePackAnswers.push_back(ui::MakePackAnswers{{Pictures()}, "Locked", "", 2, "pw"});
    MenuItem("PopupMake")->trigger();
    EXPECT_TRUE(dialogs->messages.empty()) << dialogs->messages[0].text.toStdString();
    ASSERT_NE(Page().SelectedPack(), nullptr);
    EXPECT_EQ(Page().SelectedPack()->Name, "Locked");
    EXPECT_FALSE(Page().PreviewPicture().IsEmpty());
    // ...and keeps it in the secret store for the next run.
    const auto kept = context->Secrets().Read(packs::PackPasswordKey(UserPackPath("Locked.zip").toStdString()));
    ASSERT_TRUE(kept.ok());
    EXPECT_EQ(*kept, std::optional<std::string>("pw"));
}

TEST_F(MakePackActionTest, FailureNamesTheFileAndCancelLeavesNothing)
{
    WriteJpeg(Pictures() + "/good.jpg", 40, 40, 1);
    QFile broken(Pictures() + "/broken.jpg");
    ASSERT_TRUE(broken.open(QIODevice::WriteOnly));
    broken.write("\xFF\xD8\xFF\xE0 not really");
    broken.close();
    Open();
    dialogs->makePackAnswers.push_back(ui::MakePackAnswers{{Pictures()}, "Broken", "", 0, ""});
    window->PackMakeExecute();
    // The picture that cannot be read is left out and named; the others make the pack.
    ASSERT_EQ(dialogs->messages.size(), 1u);
    EXPECT_EQ(dialogs->messages[0].caption, "Problem");
    EXPECT_TRUE(dialogs->messages[0].text.contains("broken.jpg")) << dialogs->messages[0].text.toStdString();
    ASSERT_TRUE(QFileInfo::exists(UserPackPath("Broken.zip")));
    ASSERT_NE(Page().SelectedPack(), nullptr);
    EXPECT_EQ(Page().SelectedPack()->Pictures.size(), 1u);
    QFile::remove(Pictures() + "/broken.jpg");

    // Enough work that Cancel, pressed as soon as the progress shows, comes first.
    for (int i = 0; i < 12; ++i)
        WriteJpeg(Pictures() + QStringLiteral("/%1.jpg").arg(i), 1000, 1000, i);
    bool sawBusy = false;
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, [&] {
        auto* progress = qobject_cast<ui::TMakePackProgress*>(QApplication::activeModalWidget());
        if (!progress)
            return;
        sawBusy = window->IsBusy() && !window->PC->isEnabled();
        progress->CancelButton->click();
        poll.stop();
    });
    poll.start(0);
    dialogs->makePackAnswers.push_back(ui::MakePackAnswers{{Pictures()}, "Cancelled", "", 0, ""});
    window->PackMakeExecute();
    EXPECT_TRUE(sawBusy);
    EXPECT_EQ(dialogs->messages.size(), 1u); // no message for a cancel
    EXPECT_FALSE(QFileInfo::exists(UserPackPath("Cancelled.zip")));
    EXPECT_EQ(QDir(env.UserPacksDir()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
              QStringList{"Broken.zip"});
    EXPECT_FALSE(window->IsBusy());
}

} // namespace
} // namespace uitest
