// The catalogue over the program's folder and the user's own packs folder.
#include "zip_builder.h"

#include "packs/pack_folders.h"
#include "packs/pack_list.h"
#include "support/temp_env.h"

#include <QDir>
#include <QFile>

#include <gtest/gtest.h>

namespace {

void WritePack(const QString& path, const std::string& name, int icon)
{
    ASSERT_TRUE(ZipBuilder().Add("1 - P.jpg", TinyJpeg()).Comment(PackComment(name, {}, icon)).WriteTo(path));
}

std::vector<std::string> Names(const TPackList& list)
{
    std::vector<std::string> names;
    for (const TPack& p : list.Packs())
        names.push_back(p.Name + "@" + (p.Path.find("/Ambience/Packs/") != std::string::npos ? "user" : "program"));
    return names;
}

TEST(PackFolders, BothFoldersFormOneCatalogueAndTheUsersCopyWins)
{
    TempEnv env;
    const packs::PackFolders folders = packs::CurrentPackFolders();
    EXPECT_EQ(folders.Program, (env.ProgramDir() + "/").toStdString());
    EXPECT_EQ(folders.User, (env.UserPacksDir() + "/").toStdString());
    ASSERT_TRUE(QDir().mkpath(env.UserPacksDir()));

    WritePack(env.ProgramDir() + "/bundled.zip", "Bundled", 3);
    WritePack(env.ProgramDir() + "/shared.zip", "Shared (bundled)", 1);
    WritePack(env.UserPacksDir() + "/shared.zip", "Shared (mine)", 1);
    WritePack(env.UserPacksDir() + "/mine.zip", "Mine", 0);

    TPackList list;
    list.Rescan(folders.ScanOrder());
    EXPECT_EQ(Names(list), (std::vector<std::string>{"Mine@user", "Shared (mine)@user", "Bundled@program"}));

    // Removing the user's copy brings the bundled one back.
    EXPECT_TRUE(packs::RemoveInstalledPack(list.PackAt(1).Path, list.PackAt(1).Name, folders).ok());
    list.Rescan(folders.ScanOrder());
    EXPECT_EQ(Names(list), (std::vector<std::string>{"Mine@user", "Shared (bundled)@program", "Bundled@program"}));
}

TEST(PackFolders, InstallingGoesToTheUsersFolderAndMakesIt)
{
    TempEnv env;
    const packs::PackFolders folders = packs::CurrentPackFolders();
    ASSERT_FALSE(QDir(env.UserPacksDir()).exists());
    WritePack(env.Root() + "/New.zip", "New", 2);
    WritePack(env.ProgramDir() + "/bundled.zip", "Bundled", 3);

    core::Result<packs::InstalledPack> result = packs::InstallUserPack((env.Root() + "/New.zip").toStdString(), folders);
    EXPECT_TRUE(result.ok()) << result.error().text;
    EXPECT_TRUE(QFile::exists(env.UserPacksDir() + "/New.zip"));
    EXPECT_FALSE(QFile::exists(env.ProgramDir() + "/New.zip"));

    // Files already in either folder are not installed again.
    for (const QString& again : {env.UserPacksDir() + "/New.zip", env.ProgramDir() + "/bundled.zip"}) {
        result = packs::InstallUserPack(again.toStdString(), folders);
        EXPECT_TRUE(!result.ok() && result.error().code == packs::kAlreadyInstalled) << again.toStdString();
    }
    EXPECT_FALSE(QFile::exists(env.UserPacksDir() + "/bundled.zip"));

    // A program folder the user may write (an older install): its packs are removable.
    EXPECT_FALSE(packs::IsFixedBundledPack((env.ProgramDir() + "/bundled.zip").toStdString(), folders));
    EXPECT_TRUE(packs::RemoveInstalledPack((env.ProgramDir() + "/bundled.zip").toStdString(), "Bundled", folders).ok());
    EXPECT_FALSE(QFile::exists(env.ProgramDir() + "/bundled.zip"));
}

} // namespace
