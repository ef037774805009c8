// The window and the settings store: a store that cannot be written, and one that
// another process changes while the window runs.
#include "packs/pack.h"
#include "settings/options.h"
#include "ui/options_page.h"
#include "window_fixture.h"

#include <QComboBox>
#include <QTest>

namespace {

using uitest::WindowTest;

int MessagesContaining(const uitest::ScriptedDialogs& dialogs, const char* text)
{
    int n = 0;
    for (const auto& m : dialogs.messages)
        n += m.text.contains(QLatin1String(text));
    return n;
}

TEST_F(WindowTest, AnUnwritableStoreIsToldOnceAndTheWindowWorks)
{
    ASSERT_TRUE(uitest::WriteSimplePack(PackPath("first.zip"), "First", 1, 3));
    // A file stands where the store's folder belongs.
    const QString folder = QFileInfo(platform::Registry::CurrentUser().FilePath()).path();
    QDir(folder).removeRecursively();
    QFile blocker(folder);
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.close();

    Open();
    QTest::qWait(10); // the start's notices are shown once the loop runs
    ASSERT_EQ(MessagesContaining(*dialogs, "cannot be saved"), 1);
    EXPECT_EQ(MessagesContaining(*dialogs, qPrintable(folder)), 1);

    // Changes work with the settings in memory, and are not told about again.
    window->ExpoNextExecute();
    ASSERT_TRUE(WaitUntilIdle());
    window->ExpoNextExecute();
    ASSERT_TRUE(WaitUntilIdle());
    EXPECT_EQ(Page().SelectedPack()->Current, 1);
    EXPECT_EQ(Settings().DesktopsChanged, 2); // counted in memory
    EXPECT_EQ(MessagesContaining(*dialogs, "cannot be saved"), 1);
    EXPECT_TRUE(window->SaveSettings() == false);
    EXPECT_EQ(MessagesContaining(*dialogs, "cannot be saved"), 1);
}

TEST_F(WindowTest, SettingsChangedByAnotherProcessShowUnlessTheUserIsEditing)
{
    Open();
    auto* page = static_cast<ui::TOptionsPage*>(window->OS);
    platform::Registry other(platform::Registry::CurrentUser().FilePath()); // another process's view
    const QString key = QStringLiteral("\\Software\\Ambience\\Ambience\\Options");

    other.WriteInteger(key, "BackgroundType", settings::BackgroundType::Solid);
    ASSERT_TRUE(QTest::qWaitFor([this] { return Settings().BackgroundType == settings::BackgroundType::Solid; }, 5000));
    EXPECT_EQ(page->PCB->currentIndex(), settings::BackgroundType::Solid);

    // The user is editing: the page keeps the edit, the settings follow the store.
    page->PCS->setCurrentIndex(settings::PictureSize::Smaller);
    ASSERT_TRUE(page->IsEdited());
    other.WriteInteger(key, "PictureSize", settings::PictureSize::Maximum);
    ASSERT_TRUE(QTest::qWaitFor([this] { return Settings().PictureSize == settings::PictureSize::Maximum; }, 5000));
    EXPECT_EQ(page->PCS->currentIndex(), settings::PictureSize::Smaller);
}

} // namespace
