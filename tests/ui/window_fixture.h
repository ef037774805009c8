#pragma once
// A main window over a private home and packs folder, with dialogs the test answers.
#include "platform/registry.h"
#include "support/change_kind.h"
#include "support/recording_setter.h"
#include "settings/options.h"
#include "ui/app_context.h"
#include "support/temp_env.h"
#include "ui/main_window.h"
#include "ui/packs_page.h"
#include "ui/scripted_dialogs.h"
#include "ui/test_packs.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QTest>

#include <gtest/gtest.h>

#include <memory>
#include <optional>

namespace uitest {

class WindowTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        // No test may reach a real desktop: setting a wallpaper must find nothing.
        for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "XDG_CURRENT_DESKTOP", "DESKTOP_SESSION",
                                 "DBUS_SESSION_BUS_ADDRESS"})
            qunsetenv(name);
        qputenv("AMBIENCE_SEED", "7");
        // Tests that share a process share the user's store: start each from an
        // empty one.
        const QString store = platform::Registry::CurrentUser().FilePath();
        QDir().mkpath(QFileInfo(store).path());
        QFile::remove(store);
    }
    void TearDown() override
    {
        window.reset();
        context.reset();
    }

    QString PackPath(const QString& file) const { return env.ProgramDir() + QLatin1Char('/') + file; }
    QString UserPackPath(const QString& file) const { return env.UserPacksDir() + QLatin1Char('/') + file; }

    // Opens the window (after the packs were written).
    ui::TAMMF& Open(QStringList arguments = {})
    {
        auto scripted = std::make_unique<ScriptedDialogs>();
        dialogs = scripted.get();
        context = std::make_unique<ui::AppContext>(platform::Registry::CurrentUser(), recorder);
        window = std::make_unique<ui::TAMMF>(*context, std::move(scripted), std::move(arguments));
        return *window;
    }
    TOptions& Settings() { return context->Options(); }
    // One change as the window makes it, waited for.
    core::Result<change::ChangeDone> Change(change::PictureStep step, std::optional<QString> exportPath = std::nullopt)
    {
        std::optional<core::Result<change::ChangeDone>> outcome;
        const bool started = window->StartChange(step, std::move(exportPath), false,
                                                 [&outcome](const core::Result<change::ChangeDone>& result) { outcome = result; });
        EXPECT_TRUE(started);
        EXPECT_TRUE(QTest::qWaitFor([&outcome] { return outcome.has_value(); }, 120000));
        return outcome.value_or(core::MakeError(1, "the change did not end"));
    }
    // A change runs on a worker thread: lets the window's loop run until it has ended.
    bool WaitUntilIdle(int timeoutMs = 120000)
    {
        return QTest::qWaitFor([this] { return !window->IsBusy(); }, timeoutMs);
    }
    ui::TPacksPage& Page() { return *window->PS; }
    QString Bar() { return Page().PSB->text(); }
    QString Position() { return Page().PSB2->text(); }
    void Select(int row)
    {
        Page().PV->clearSelection();
        Page().PV->item(row)->setSelected(true);
    }

    TempEnv env;
    ScriptedDialogs* dialogs = nullptr;
    platform::RecordingWallpaperSetter recorder;
    std::unique_ptr<ui::AppContext> context;
    std::unique_ptr<ui::TAMMF> window;
};

} // namespace uitest
