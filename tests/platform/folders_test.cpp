// Where the data folder and the program folder are.
#include "platform/folders.h"

#include "support/temp_env.h"

#include <QCoreApplication>
#include <QDir>

#include <gtest/gtest.h>

using platform::GetSpecialFolder;

TEST(Folders, DataAndProgramFolders)
{
    TempEnv env;
    EXPECT_EQ(GetSpecialFolder(platform::CSIDL_APPDATA), env.DataHome() + "/Ambience/Ambience/");
    EXPECT_EQ(GetSpecialFolder(platform::ProgramFolderCode), env.ProgramDir() + "/");
    EXPECT_EQ(platform::ConfigHome(), env.ConfigHome() + "/");
    EXPECT_EQ(GetSpecialFolder(36), QString()); // codes the program does not use
    // Nothing is created.
    EXPECT_FALSE(QDir(env.DataHome() + "/Ambience").exists());
}

TEST(Folders, FallbacksWhenTheXdgVariablesAreUnusable)
{
    TempEnv env;
    qputenv("XDG_DATA_HOME", "relative/path"); // not absolute: ignored, as XDG says
    qputenv("XDG_CONFIG_HOME", "");
    EXPECT_EQ(GetSpecialFolder(platform::CSIDL_APPDATA), env.Root() + "/.local/share/Ambience/Ambience/");
    EXPECT_EQ(platform::ConfigHome(), env.Root() + "/.config/");

    // No home at all: the data folder falls back to the program folder.
    qputenv("XDG_DATA_HOME", "");
    qputenv("HOME", "");
    EXPECT_EQ(GetSpecialFolder(platform::CSIDL_APPDATA), env.ProgramDir() + "/");

    // Without the override the program folder is that of the running file.
    qunsetenv("AMBIENCE_PROGRAM_DIR");
    const QString program = GetSpecialFolder(platform::ProgramFolderCode);
    EXPECT_TRUE(program.endsWith('/'));
    EXPECT_EQ(program, QDir(QCoreApplication::applicationDirPath()).absolutePath() + "/");
}
