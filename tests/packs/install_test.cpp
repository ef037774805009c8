// Installing pack archives into the packs folder and removing them.
#include "zip_builder.h"

#include "packs/install.h"
#include "packs/pack.h"
#include "packs/pack_list.h"
#include "platform/registry.h"
#include "support/file_size_limit.h"
#include "support/temp_env.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <gtest/gtest.h>

namespace {

class InstallTest : public ::testing::Test {
protected:
    TempEnv env;
    QString packs = env.ProgramDir() + "/";
    QString downloads = env.Root() + "/downloads/";

    InstallTest() { QDir().mkpath(downloads); }

    QString MakePack(const QString& path, const std::string& name, int pictures = 1)
    {
        ZipBuilder zip;
        for (int i = 0; i < pictures; ++i)
            zip.Add(std::to_string(i + 1) + " - P.jpg", TinyJpeg());
        zip.Comment(PackComment(name));
        EXPECT_TRUE(zip.WriteTo(path));
        return path;
    }

    core::Result<packs::InstalledPack> Install(const QString& source)
    {
        return packs::InstallPack(source.toStdString(), packs.toStdString());
    }

    std::string InstalledName(const QString& file) { return TPack((packs + file).toStdString()).Name; }
};

TEST_F(InstallTest, CopiesAValidPackIntoThePacksFolder)
{
    const auto installed = Install(MakePack(downloads + "Fresh.ZIP", "Fresh"));
    ASSERT_TRUE(installed.ok()) << installed.error().text;
    const packs::InstalledPack& result = *installed;
    EXPECT_EQ(result.PackName, "Fresh");
    EXPECT_FALSE(result.Replaced);
    EXPECT_EQ(result.Target, (packs + "Fresh.ZIP").toStdString());
    EXPECT_TRUE(QFile::exists(downloads + "Fresh.ZIP")) << "the source stays where it was";

    TPackList list;
    list.Rescan(packs.toStdString());
    ASSERT_EQ(list.Count(), 1);
    EXPECT_EQ(list.PackAt(0).Name, "Fresh");
}

TEST_F(InstallTest, RefusesWhatIsNoPackOrIsInstalledAlready)
{
    QFile text(downloads + "notes.txt");
    ASSERT_TRUE(text.open(QIODevice::WriteOnly));
    text.write("hello");
    text.close();
    auto codeOf = [](const core::Result<packs::InstalledPack>& r) { return r.ok() ? 0 : r.error().code; };
    EXPECT_EQ(codeOf(Install(text.fileName())), packs::kNotAPackArchive);

    ZipBuilder().Add("a.jpg", TinyJpeg()).WriteTo(downloads + "nocomment.zip");
    auto result = Install(downloads + "nocomment.zip");
    ASSERT_EQ(codeOf(result), 114);
    EXPECT_FALSE(result.error().text.empty());

    result = Install(downloads + "missing.zip");
    ASSERT_EQ(codeOf(result), 2);
    EXPECT_EQ(result.error().text.rfind("cannot read ", 0), 0u) << result.error().text;

    // A pack already in the packs folder, named directly or through a link.
    MakePack(packs + "here.zip", "Here");
    EXPECT_EQ(codeOf(Install(packs + "here.zip")), packs::kAlreadyInstalled);
    ASSERT_TRUE(QFile::link(env.ProgramDir(), env.Root() + "/link"));
    EXPECT_EQ(codeOf(Install(env.Root() + "/link/here.zip")), packs::kAlreadyInstalled);

    EXPECT_EQ(QDir(packs).entryList(QDir::Files), QStringList{"here.zip"}) << "nothing else was copied";
}

TEST_F(InstallTest, ReplacesAnInstalledPackOfTheSameName)
{
    MakePack(packs + "same.zip", "Old", 1);
    platform::Registry store(platform::Registry::DefaultPath());
    {
        TPack old((packs + "same.zip").toStdString());
        old.Current = 2;
        ASSERT_TRUE(packs::StoreCurrent(store, old));
    }
    const auto result = Install(MakePack(downloads + "same.zip", "New", 3));
    ASSERT_TRUE(result.ok()) << result.error().text;
    EXPECT_TRUE(result->Replaced);
    TPack installed((packs + "same.zip").toStdString());
    EXPECT_EQ(installed.Name, "New");
    EXPECT_EQ(packs::ReadStoredCurrent(store, installed.Path), 2) << "the file name keeps its current picture";
}

TEST_F(InstallTest, AFailedCopyKeepsTheOlderPack)
{
    MakePack(packs + "keep.zip", "Older");
    const QString source = MakePack(downloads + "keep.zip", "Newer", 40);
    ASSERT_GT(QFileInfo(source).size(), 4096);
    // A disk that fills up during the copy.
    const auto result = [&] {
        FileSizeLimit limit(4096);
        return Install(source);
    }();
    ASSERT_FALSE(result.ok());
    EXPECT_EQ(result.error().text.rfind("cannot copy ", 0), 0u) << result.error().text;
    EXPECT_EQ(InstalledName("keep.zip"), "Older");
    EXPECT_EQ(QDir(packs).entryList(QDir::Files | QDir::Hidden), QStringList{"keep.zip"}) << "no temporary file left";
}

TEST_F(InstallTest, RemovesAPackButKeepsItsCurrentPicture)
{
    const QString path = MakePack(packs + "gone.zip", "Gone", 3);
    platform::Registry store(platform::Registry::DefaultPath());
    {
        TPack pack(path.toStdString());
        pack.Current = 2;
        ASSERT_TRUE(packs::StoreCurrent(store, pack));
    }
    QFile::setPermissions(path, QFileDevice::ReadOwner); // read-only files go as well
    auto result = packs::RemovePack(path.toStdString());
    EXPECT_TRUE(result.ok());
    EXPECT_FALSE(QFile::exists(path));

    result = packs::RemovePack(path.toStdString());
    ASSERT_FALSE(result.ok());
    EXPECT_EQ(result.error().code, 2);
    EXPECT_FALSE(result.error().text.empty());

    // Installed again under the same name, the pack starts where it was left.
    ASSERT_TRUE(Install(MakePack(downloads + "gone.zip", "Gone", 3)).ok());
    EXPECT_EQ(packs::ReadStoredCurrent(store, path.toStdString()), 2);
}

} // namespace
