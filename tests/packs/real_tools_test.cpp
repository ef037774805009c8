// Packs made by real archivers (see tests/data/packs/README.txt).
#include "zip_builder.h"

#include "graphics/picture.h"
#include "packs/load_picture.h"
#include "packs/pack.h"
#include "support/temp_env.h"

#include <gtest/gtest.h>

namespace {

std::string DataPath(const char* name)
{
    return (TestDataDir() + QStringLiteral("/packs/") + QString::fromLatin1(name)).toStdString();
}

TEST(RealTools, InfoZipPackWithCommentFromZipZ)
{
    TempEnv env;
    TPack pack(DataPath("infozip-pack.zip"));
    EXPECT_EQ(pack.Name, "Made with zip");
    EXPECT_EQ(pack.Icon, 3);
    ASSERT_EQ(pack.Pictures.size(), 2u);
    EXPECT_EQ(pack.Pictures[0].EntryName, "01 - Line Study.wmf");
    EXPECT_EQ(pack.Pictures[1].EntryName, "Art/02 - 1950 - Blue Check - Some Painter.jpg");
    EXPECT_EQ(pack.Pictures[1].Author, "Some Painter");
    graphics::Picture picture;
    EXPECT_EQ(LoadPicture(pack, picture, 0), 0);
    EXPECT_TRUE(picture.IsMetafile());
    EXPECT_EQ(LoadPicture(pack, picture, 1), 0);
    EXPECT_TRUE(picture.IsRaster());
}

TEST(RealTools, SevenZipAesPackOpensWithItsPassword)
{
    TempEnv env;
    TPack pack(DataPath("aes-7zip.zip"));
    EXPECT_EQ(pack.Name, "Locked with 7-Zip");
    ASSERT_EQ(pack.Pictures.size(), 2u);
    graphics::Picture picture;
    std::string detail;
    EXPECT_EQ(LoadPicture(pack, picture, 0, &detail), 1216) << "no password";
    EXPECT_TRUE(picture.IsEmpty());
    pack.PackPassword = "wrong";
    EXPECT_EQ(LoadPicture(pack, picture, 0), 1216);
    pack.PackPassword = "secret";
    EXPECT_EQ(LoadPicture(pack, picture, 0, &detail), 0) << detail;
    EXPECT_EQ(picture.Width(), 48);
    EXPECT_EQ(LoadPicture(pack, picture, 1, &detail), 0) << detail;
    EXPECT_TRUE(picture.IsMetafile());
}

} // namespace
