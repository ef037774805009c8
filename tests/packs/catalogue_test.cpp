// The catalogue of installed packs and picture selection over all of them.
#include "zip_builder.h"

#include "core/random.h"
#include "packs/pack_list.h"
#include "platform/registry.h"
#include "packs/selection.h"
#include "support/temp_env.h"

#include <QDir>
#include <QFile>

#include <gtest/gtest.h>

#include <set>

namespace {

class CatalogueTest : public ::testing::Test {
protected:
    TempEnv env;
    QString folder = env.ProgramDir() + "/";

    void Pack(const QString& file, const std::string& name, int icon, int pictures = 1)
    {
        ZipBuilder zip;
        for (int i = 0; i < pictures; ++i)
            zip.Add(std::to_string(i + 1) + " - P.jpg", TinyJpeg());
        zip.Comment(PackComment(name, {}, icon));
        ASSERT_TRUE(zip.WriteTo(folder + file));
    }

    std::vector<std::string> Names(const TPackList& list)
    {
        std::vector<std::string> names;
        for (const TPack& p : list.Packs())
            names.push_back(p.Name);
        return names;
    }
};

TEST_F(CatalogueTest, ListsValidPacksOfTheFolderInCatalogueOrder)
{
    Pack("b.zip", "B", 5);
    Pack("a.zip", "a", 2);
    Pack("c.zip", "C", 2);
    Pack("UPPER.ZIP", "Upper", 7);
    Pack(".hidden.zip", "Hidden", 9);
    Pack("not-a-pack.txt", "Text", 0);
    ASSERT_TRUE(QDir(folder).mkpath("sub"));
    Pack("sub/deeper.zip", "Deeper", 0);
    ASSERT_TRUE(QDir(folder).mkpath("folder.zip"));
    ZipBuilder().Add("a.jpg", TinyJpeg()).WriteTo(folder + "nocomment.zip");
    ZipBuilder().Add("a.txt", "x").Comment(PackComment("NoPictures")).WriteTo(folder + "nopictures.zip");

    TPackList list;
    EXPECT_EQ(list.Count(), 0);
    list.Rescan(folder.toStdString());
    // The icon decides first; then names byte by byte, upper case before lower.
    EXPECT_EQ(Names(list), (std::vector<std::string>{"C", "a", "B", "Upper", "Hidden"}));
    EXPECT_EQ(list.PackAt(0).Path, (folder + "c.zip").toStdString());

    TPackList none;
    none.Rescan((env.Root() + "/does-not-exist/").toStdString());
    EXPECT_EQ(none.Count(), 0);
}

TEST_F(CatalogueTest, CurrentSurvivesRescanAndRestart)
{
    Pack("one.zip", "One", 0, 3);
    Pack("two.zip", "Two", 1, 4);
    platform::Registry store(env.Root() + "/registry.reg");
    {
        TPackList list(&store);
        list.Rescan(folder.toStdString());
        list.PackAt(0).Current = 2;
        list.PackAt(1).Current = 3;
        list.Rescan(folder.toStdString());
        EXPECT_EQ(list.PackAt(0).Current, 2);
        EXPECT_EQ(list.PackAt(1).Current, 3);
        list.PackAt(1).Current = 1;
        ASSERT_TRUE(list.StoreCurrents());
    }
    TPackList restarted(&store);
    restarted.Rescan(folder.toStdString());
    EXPECT_EQ(restarted.PackAt(0).Current, 2);
    EXPECT_EQ(restarted.PackAt(1).Current, 1);
    EXPECT_EQ(packs::PictureCounts(restarted), (std::vector<int>{3, 4}));
}

TEST(Selection, StepsThroughAllPicturesOfAllPacks)
{
    const std::vector<int> counts{3, 2};
    const int total = packs::TotalPictureCount(counts);
    EXPECT_EQ(total, 5);
    EXPECT_EQ(packs::LocatePicture(counts, 4), (packs::PicturePosition{1, 1}));
    EXPECT_EQ(packs::LocatePicture(counts, 3), (packs::PicturePosition{1, 0}));
    EXPECT_EQ(packs::LocatePicture(counts, 5), std::nullopt);
    EXPECT_EQ(packs::LocatePicture(counts, -1), std::nullopt);

    EXPECT_EQ(packs::CurrentPictureIndex(counts, 1, 1), 4);
    EXPECT_EQ(packs::NextPictureIndex(4, total), 0);
    EXPECT_EQ(packs::BackPictureIndex(0, total), 4);
    // With no pack selected the position lies just after the last picture.
    const int none = packs::CurrentPictureIndex(counts, std::nullopt, 0);
    EXPECT_EQ(none, 5);
    EXPECT_EQ(packs::NextPictureIndex(none, total), 0);
    EXPECT_EQ(packs::BackPictureIndex(none, total), 4);
    // A stale stored index counts as the pack's last picture, not the next pack's.
    EXPECT_EQ(packs::CurrentPictureIndex(counts, 0, 7), 2);
    // A pack without pictures in between is stepped over.
    const std::vector<int> gap{2, 0, 1};
    EXPECT_EQ(packs::LocatePicture(gap, 2), (packs::PicturePosition{2, 0}));
}

TEST(Selection, NothingToSelectWithoutPictures)
{
    const std::vector<int> empty;
    const int total = packs::TotalPictureCount(empty);
    EXPECT_EQ(total, 0);
    const int c = packs::CurrentPictureIndex(empty, std::nullopt, 0);
    EXPECT_EQ(packs::LocatePicture(empty, packs::RandomPictureIndex(total)), std::nullopt);
    EXPECT_EQ(packs::LocatePicture(empty, packs::NextPictureIndex(c, total)), std::nullopt);
    EXPECT_EQ(packs::LocatePicture(empty, packs::BackPictureIndex(c, total)), std::nullopt);
}

TEST(Selection, RandomReachesEveryPicture)
{
    SeedRandom(12345);
    std::set<int> seen;
    for (int i = 0; i < 500; ++i) {
        const int k = packs::RandomPictureIndex(7);
        ASSERT_GE(k, 0);
        ASSERT_LT(k, 7);
        seen.insert(k);
    }
    EXPECT_EQ(seen.size(), 7u);
}

} // namespace
