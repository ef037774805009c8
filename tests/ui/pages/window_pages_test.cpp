// The two pages inside the real main window: page switches, the settings, the
// agent's icon and the window's message boxes.
#include "core/product.h"
#include "platform/registry.h"
#include "settings/options.h"
#include "support/temp_env.h"
#include "ui/about_page.h"
#include "support/recording_setter.h"
#include "settings/options.h"
#include "ui/app_context.h"
#include "ui/main_window.h"
#include "ui/options_page.h"
#include "ui/scripted_dialogs.h"

#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QPushButton>
#include <QTabWidget>

#include <gtest/gtest.h>

namespace {

TEST(WindowPages, OptionsAndAboutWorkInsideTheWindow)
{
    TempEnv env;
    for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "XDG_CURRENT_DESKTOP", "DBUS_SESSION_BUS_ADDRESS"})
        qunsetenv(name);
    const QString store = platform::Registry::CurrentUser().FilePath();
    QDir().mkpath(QFileInfo(store).path());
    QFile::remove(store);

    auto scripted = std::make_unique<uitest::ScriptedDialogs>();
    uitest::ScriptedDialogs& dialogs = *scripted;
    platform::RecordingWallpaperSetter recorder;
    ui::AppContext context(platform::Registry::CurrentUser(), recorder);
    ui::TAMMF window(context, std::move(scripted), {});
    auto* options = qobject_cast<ui::TOptionsPage*>(window.OS);
    auto* about = qobject_cast<ui::TAboutPage*>(window.AS);
    ASSERT_TRUE(options && about);
    QStringList opened;
    about->SetOpener([&opened](const QString& address) {
        opened << address;
        return true;
    });

    // The set-up loaded the stored settings; nothing is pending.
    EXPECT_EQ(options->ACH->currentText(), "36");
    EXPECT_FALSE(options->IsEdited());

    window.PC->setCurrentIndex(1);
    options->PCS->setCurrentIndex(3);
    options->OAB->click();
    EXPECT_EQ(context.Options().PictureSize, 3);
    EXPECT_EQ(window.PC->currentIndex(), 0);

    window.PC->setCurrentIndex(2);
    EXPECT_GE(about->ShownEntry(), 0);
    about->TutorialClick();
    EXPECT_EQ(opened, QStringList{context.Product().SiteAddress + "help.html"});

    // A save that fails is told in the window's "Problem" box; the page stays.
    window.PC->setCurrentIndex(1);
    options->PCO->setCurrentIndex(2);
    const QString folder = QFileInfo(store).path();
    ASSERT_TRUE(QDir(folder).removeRecursively());
    QFile blocker(folder);
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    options->OAB->click();
    ASSERT_EQ(dialogs.WithCaption("Problem").size(), 1u);
    EXPECT_EQ(window.PC->currentIndex(), 1);
    EXPECT_TRUE(options->IsEdited());
    QFile::remove(folder); // let the window save on its way out
}

} // namespace
