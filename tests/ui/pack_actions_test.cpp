// Installing and removing packs from the Packs page's menu, with the dialogs
// answered by the test.
#include "ui/window_fixture.h"

#include "archive/errors.h"

#include <QAction>
#include <QDir>

namespace uitest {
namespace {

class PackActionsTest : public WindowTest {
protected:
    void SetUp() override
    {
        WindowTest::SetUp();
        QDir().mkpath(Outside());
    }
    QString Outside() const { return env.Root() + "/downloads"; }
};

TEST_F(PackActionsTest, InstallCopiesAValidPackAndRefreshesTheList)
{
    ASSERT_TRUE(WriteSimplePack(PackPath("old.zip"), "Old", 1, 1));
    ASSERT_TRUE(WriteSimplePack(Outside() + "/New.ZIP", "New", 2, 2));
    Open();
    dialogs->openFiles.push_back(Outside() + "/New.ZIP");
    window->PackInstall->trigger();
    ASSERT_EQ(dialogs->openRequests.size(), 1u);
    EXPECT_EQ(dialogs->openRequests[0].title, "Install a new pack...");
    EXPECT_EQ(dialogs->openRequests[0].filter, "Packs (*.zip)|*.zip|All files (*.*)|*.*");
    EXPECT_EQ(dialogs->openRequests[0].defaultExtension, "zip");
    EXPECT_TRUE(QFileInfo::exists(UserPackPath("New.ZIP"))); // installs go to the user's own folder
    EXPECT_EQ(Bar(), "  Two packs installed");
    EXPECT_TRUE(dialogs->messages.empty());

    // A newer pack of the same file name replaces the installed one.
    ASSERT_TRUE(WriteSimplePack(Outside() + "/New.ZIP", "Newer", 2, 4));
    dialogs->openFiles.push_back(Outside() + "/New.ZIP");
    window->PackInstall->trigger();
    EXPECT_EQ(Page().InstalledPackCount(), 2);
    bool found = false;
    for (int row = 0; row < 2; ++row)
        found |= Page().PV->item(row)->text() == "Newer";
    EXPECT_TRUE(found);
}

TEST_F(PackActionsTest, FilesThatAreNoPacksAreRefusedAsSpecified)
{
    ASSERT_TRUE(WriteSimplePack(PackPath("here.zip"), "Here", 1, 1));
    QFile text(Outside() + "/notes.txt");
    ASSERT_TRUE(text.open(QIODevice::WriteOnly));
    text.write("hello");
    text.close();
    ASSERT_TRUE(WriteZip(Outside() + "/empty.zip", "", {{"1 - A.jpg", "x"}}));
    Open();
    Select(0);

    // Cancelled: nothing happens, the selection stays.
    window->PackInstallExecute();
    EXPECT_EQ(Position(), "1 of 1  ");

    // Another kind of file, and a pack already in the packs folder: no message,
    // only the list is refreshed (nothing selected afterwards).
    for (const QString& file : {Outside() + "/notes.txt", PackPath("here.zip")}) {
        Select(0);
        dialogs->openFiles.push_back(file);
        window->PackInstallExecute();
        EXPECT_TRUE(dialogs->messages.empty()) << file.toStdString();
        EXPECT_EQ(Bar(), "  One pack installed");
    }
    EXPECT_FALSE(QFileInfo::exists(UserPackPath("notes.txt")));

    // An archive that is no pack: a "Problem" box with the text of code 114.
    dialogs->openFiles.push_back(Outside() + "/empty.zip");
    window->PackInstallExecute();
    ASSERT_EQ(dialogs->messages.size(), 1u);
    EXPECT_EQ(dialogs->messages[0].caption, "Problem");
    EXPECT_EQ(dialogs->messages[0].icon, ui::MessageIcon::Warning);
    EXPECT_EQ(dialogs->messages[0].buttons, ui::MessageButtons::Ok);
    EXPECT_TRUE(dialogs->messages[0].text.startsWith(
        QString::fromStdString(archiva::ErrorText(archiva::ErrorInvalidPack)) + "."));
    EXPECT_FALSE(QFileInfo::exists(UserPackPath("empty.zip")));
}

TEST_F(PackActionsTest, RemoveAsksFirstAndDeletesOnOk)
{
    ASSERT_TRUE(WriteSimplePack(PackPath("a.zip"), "A", 1, 2));
    ASSERT_TRUE(WriteSimplePack(PackPath("b.zip"), "B", 2, 1));
    Open();
    // Remove is offered only while a pack is selected.
    EXPECT_FALSE(window->PackRemove->isVisible());
    Select(0);
    ASSERT_TRUE(window->PackRemove->isVisible());
    Page().PictureNext->click();

    dialogs->answers.push_back(ui::MessageAnswer::Cancel);
    window->PackRemove->trigger();
    ASSERT_EQ(dialogs->messages.size(), 1u);
    EXPECT_EQ(dialogs->messages[0].text, "Are you sure you want to remove this pack?");
    EXPECT_EQ(dialogs->messages[0].caption, "Confirmation");
    EXPECT_EQ(dialogs->messages[0].icon, ui::MessageIcon::Question);
    EXPECT_EQ(dialogs->messages[0].buttons, ui::MessageButtons::OkCancel);
    // Cancel: everything as it was, without a refresh.
    EXPECT_TRUE(QFileInfo::exists(PackPath("a.zip")));
    EXPECT_EQ(Position(), "2 of 2  ");

    dialogs->answers.push_back(ui::MessageAnswer::Ok);
    window->PackRemove->trigger();
    EXPECT_FALSE(QFileInfo::exists(PackPath("a.zip")));
    EXPECT_EQ(Bar(), "  One pack installed");
    EXPECT_EQ(Page().PV->item(0)->text(), "B");
    EXPECT_EQ(dialogs->messages.size(), 2u); // the question only, no problem
}

} // namespace
} // namespace uitest

namespace uitest {
namespace {

// Packs that another program installs or removes (ambience-cli, a file manager)
// come and go on the Packs page without a restart; the selection stays.
TEST_F(WindowTest, PacksInstalledOrRemovedElsewhereShowWithoutARestart)
{
    ASSERT_TRUE(WriteSimplePack(PackPath("first.zip"), "First", 1, 3));
    Open();
    Select(0);
    Page().PictureNext->click();
    ASSERT_EQ(Page().InstalledPackCount(), 1);

    QDir().mkpath(env.UserPacksDir());
    ASSERT_TRUE(WriteSimplePack(UserPackPath("second.zip"), "Second", 2, 2));
    ASSERT_TRUE(QTest::qWaitFor([this] { return Page().InstalledPackCount() == 2; }, 10000));
    ASSERT_NE(Page().SelectedPack(), nullptr);
    EXPECT_EQ(Page().SelectedPack()->Name, "First");
    EXPECT_EQ(Position(), "2 of 3  ");

    ASSERT_TRUE(QFile::remove(PackPath("first.zip")));
    ASSERT_TRUE(QTest::qWaitFor([this] { return Page().InstalledPackCount() == 1; }, 10000));
    EXPECT_EQ(Page().SelectedPack(), nullptr);
    EXPECT_EQ(Page().PackOfItem(0)->Name, "Second");
    EXPECT_TRUE(dialogs->WithCaption("Problem").empty());
}

// The window's own install or removal rebuilds the list once: the watch on the
// folders does not take the window's copy for another program's and rebuild it
// again, which would draw the last item's icon anew.
TEST_F(PackActionsTest, TheWindowsOwnInstallOrRemovalFillsTheListOnce)
{
    ASSERT_TRUE(WriteSimplePack(PackPath("old.zip"), "Old", 1, 1));
    ASSERT_TRUE(WriteSimplePack(Outside() + "/new.zip", "New", 2, 2));
    Open();
    const auto own = [this](const char* what) {
        if (QByteArray(what) == "install") {
            dialogs->openFiles.push_back(Outside() + "/new.zip");
            window->PackInstall->trigger();
        } else {
            for (int row = 0; row < Page().InstalledPackCount(); ++row)
                if (Page().PackOfItem(row)->Name == "New")
                    Select(row);
            ASSERT_EQ(Page().SelectedPack()->Name, "New");
            dialogs->answers.push_back(ui::MessageAnswer::Ok);
            window->PackRemove->trigger();
        }
    };
    for (const auto& [what, packs] : {std::pair{"install", 2}, std::pair{"remove", 1}}) {
        SCOPED_TRACE(what);
        own(what);
        ASSERT_EQ(Page().InstalledPackCount(), packs);
        QListWidgetItem* last = Page().PV->item(Page().PV->count() - 1);
        last->setData(Qt::UserRole + 100, true); // a list rebuilt later has no such mark
        QTest::qWait(1500); // past the watch's settling time
        ASSERT_EQ(Page().PV->count(), packs + 1);
        EXPECT_TRUE(Page().PV->item(packs)->data(Qt::UserRole + 100).toBool());
    }
    // Another program's copy still shows.
    ASSERT_TRUE(WriteSimplePack(UserPackPath("third.zip"), "Third", 3, 1));
    EXPECT_TRUE(QTest::qWaitFor([this] { return Page().InstalledPackCount() == 2; }, 10000));
}

} // namespace
} // namespace uitest
