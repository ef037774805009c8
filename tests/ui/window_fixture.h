#pragma once
// A main window over a private home and packs folder, with dialogs the test answers.
#include "platform/registry.h"
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

#include <gtest/gtest.h>

#include <memory>

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
        // The user's store is fixed at its first use in the process; when several
        // tests share a process, start each from an empty one.
        const QString store = platform::Registry::CurrentUser().FilePath();
        QDir().mkpath(QFileInfo(store).path());
        QFile::remove(store);
    }
    void TearDown() override { window.reset(); }

    QString PackPath(const QString& file) const { return env.ProgramDir() + QLatin1Char('/') + file; }
    QString UserPackPath(const QString& file) const { return env.UserPacksDir() + QLatin1Char('/') + file; }

    // Opens the window (after the packs were written).
    ui::TAMMF& Open(QStringList arguments = {})
    {
        auto scripted = std::make_unique<ScriptedDialogs>();
        dialogs = scripted.get();
        window = std::make_unique<ui::TAMMF>(std::move(scripted), std::move(arguments));
        return *window;
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
    std::unique_ptr<ui::TAMMF> window;
};

} // namespace uitest
