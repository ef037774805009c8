// Loading packs from archives, their stored current picture, and decoding pictures.
#include "zip_builder.h"

#include "core/product.h"
#include "graphics/picture.h"
#include "packs/load_picture.h"
#include "packs/pack.h"
#include "packs/pack_list.h"
#include "platform/registry.h"
#include "support/temp_env.h"

#include <QDir>
#include <QFile>

#include <QFileInfo>

#include <gtest/gtest.h>

namespace {

class PackTest : public ::testing::Test {
protected:
    TempEnv env;
    TProduct product{env.ProgramDir() + "/"};

    std::string Write(const QString& name, const ZipBuilder& zip)
    {
        const QString path = env.Root() + "/" + name;
        EXPECT_TRUE(zip.WriteTo(path));
        return path.toStdString();
    }

    std::optional<std::int32_t> StoredCurrent(const std::string& fileName)
    {
        platform::Registry registry(platform::Registry::DefaultPath());
        return registry.ReadInteger(QStringLiteral("\\Software\\Ambience\\Ambience\\Packs\\") + QString::fromStdString(fileName),
                                    QStringLiteral("No"));
    }
};

TEST_F(PackTest, LoadsDescriptionAndPictureEntries)
{
    const auto path = Write("pack.zip", ZipBuilder()
                                            .Add("readme.txt", "text")
                                            .Add("02 - 1900 - Second - Own Artist.jpg", TinyJpeg())
                                            .Add("Sub/Dir/01 - First.JPG", TinyJpeg())
                                            .Add("photo.jpeg", TinyJpeg())
                                            .Add("picture.bmp", "BM")
                                            .Add("folder.jpg/", {})
                                            .Add("03 - Third.wmf", TinyWmf())
                                            .Add("04 - Fourth.emf", TinyEmf())
                                            .Comment("[Pack]\r\nName=Test Pack\r\nAuthor=Pack Artist\r\nIcon=4\r\n"
                                                     "Label=Lbl\r\nPreviewPicture=2\r\n"));
    TPack pack(path);
    EXPECT_EQ(pack.OpenError, 0);
    EXPECT_EQ(pack.Path, path);
    EXPECT_EQ(pack.Name, "Test Pack");
    EXPECT_EQ(pack.Author, "Pack Artist");
    EXPECT_EQ(pack.Label, "Lbl");
    EXPECT_EQ(pack.Icon, 4);
    EXPECT_EQ(pack.PreviewPicture, 2);
    EXPECT_EQ(pack.Current, 0);
    // .jpeg, .bmp, other files and folder entries are no pictures; .JPG in a folder is.
    ASSERT_EQ(pack.Pictures.size(), 4u);
    EXPECT_EQ(pack.Pictures[0].EntryName, "Sub/Dir/01 - First.JPG");
    EXPECT_EQ(pack.Pictures[0].Author, "Pack Artist") << "a picture without author gets the pack's";
    EXPECT_EQ(pack.Pictures[1].Author, "Own Artist");
    EXPECT_EQ(pack.Pictures[3].Title, "Fourth");
}

TEST_F(PackTest, InvalidArchivesHaveNoName)
{
    const QByteArray jpeg = TinyJpeg();
    struct Case {
        const char* why;
        ZipBuilder zip;
    } cases[] = {
        {"no comment", ZipBuilder().Add("a.jpg", jpeg)},
        {"no Pack section", ZipBuilder().Add("a.jpg", jpeg).Comment("[Other]\nName=X\n")},
        {"no Name", ZipBuilder().Add("a.jpg", jpeg).Comment("[Pack]\nAuthor=X\n")},
        {"empty Name", ZipBuilder().Add("a.jpg", jpeg).Comment("[Pack]\nName=  \n")},
        {"no pictures", ZipBuilder().Add("a.jpeg", jpeg).Add("b.txt", "x").Comment(PackComment("X"))},
        {"no entries", ZipBuilder().Comment(PackComment("X"))},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.why);
        TPack pack(Write("bad.zip", c.zip));
        EXPECT_FALSE(pack.IsValid());
        EXPECT_EQ(pack.OpenError, 0);
    }

    QFile text(env.Root() + "/text.zip");
    ASSERT_TRUE(text.open(QIODevice::WriteOnly));
    text.write("this is no archive");
    text.close();
    EXPECT_FALSE(TPack(text.fileName().toStdString()).IsValid());

    TPack missing((env.Root() + "/missing.zip").toStdString());
    EXPECT_FALSE(missing.IsValid());
    EXPECT_EQ(missing.OpenError, 2);

    // Key names in any letter case still count.
    EXPECT_EQ(TPack(Write("lower.zip", ZipBuilder().Add("a.jpg", jpeg).Comment("[pack]\nname=lower\n"))).Name, "lower");
    EXPECT_EQ(TPack(Write("upper.zip", ZipBuilder().Add("a.jpg", jpeg).Comment("[PACK]\nNAME=UPPER\n"))).Name, "UPPER");
}

TEST_F(PackTest, CurrentIsStoredPerFileNameByTheCatalogueOnly)
{
    const auto path = Write("keep.zip", ZipBuilder().Add("a.jpg", TinyJpeg()).Add("b.jpg", TinyJpeg()).Comment(PackComment("K")));
    const std::string folder = QFileInfo(QString::fromStdString(path)).absolutePath().toStdString();
    platform::Registry store(platform::Registry::DefaultPath());
    {
        TPackList list(&store);
        list.Rescan(folder);
        ASSERT_EQ(list.Count(), 1);
        EXPECT_EQ(list.PackAt(0).Current, 0);
        EXPECT_TRUE(list.StoreCurrents());
    }
    EXPECT_EQ(StoredCurrent("keep.zip"), std::nullopt) << "an untouched pack leaves no value behind";
    {
        // A value going away writes nothing: copies are plain values, and so is
        // a catalogue going away.
        TPack pack(path);
        pack.Current = 1;
        TPack copy = pack;
        copy.Current = 5;
        TPackList list(&store);
        list.Rescan(folder);
        list.PackAt(0).Current = 1;
    }
    EXPECT_EQ(StoredCurrent("keep.zip"), std::nullopt);
    {
        TPackList list(&store);
        list.Rescan(folder);
        list.PackAt(0).Current = 1;
        list.Rescan(folder); // a rescan keeps what the user looked at
        EXPECT_EQ(StoredCurrent("keep.zip"), 1);
        EXPECT_EQ(list.PackAt(0).Current, 1);
        list.PackAt(0).Current = 0;
        EXPECT_TRUE(list.StoreCurrent(0));
    }
    EXPECT_EQ(StoredCurrent("keep.zip"), 0);
    {
        // Without a store every pack starts at its first picture and nothing is kept.
        TPackList list;
        list.Rescan(folder);
        list.PackAt(0).Current = 1;
        EXPECT_TRUE(list.StoreCurrents());
    }
    EXPECT_EQ(StoredCurrent("keep.zip"), 0);

    // A value of the wrong type reads as 0 and is replaced when stored.
    store.WriteString(QStringLiteral("\\Software\\Ambience\\Ambience\\Packs\\keep.zip"), QStringLiteral("No"),
                      QStringLiteral("three"));
    {
        TPackList list(&store);
        list.Rescan(folder);
        EXPECT_EQ(list.PackAt(0).Current, 0);
        list.PackAt(0).Current = 1;
        list.StoreCurrents();
    }
    EXPECT_EQ(StoredCurrent("keep.zip"), 1);
}

TEST_F(PackTest, LoadPictureDecodesRasterAndMetafiles)
{
    const auto path = Write("pics.zip", ZipBuilder()
                                            .Add("1 - Raster.jpg", TinyJpeg())
                                            .Add("2 - Windows.wmf", TinyWmf())
                                            .Add("3 - Enhanced.emf", TinyEmf())
                                            .Comment(PackComment("P")));
    TPack pack(path);
    ASSERT_EQ(pack.Pictures.size(), 3u);
    graphics::Picture picture;
    EXPECT_EQ(LoadPicture(pack, picture, 0), 0);
    EXPECT_TRUE(picture.IsRaster());
    EXPECT_EQ(picture.Width(), 48);
    EXPECT_EQ(picture.Height(), 32);
    for (int i : {1, 2}) {
        EXPECT_EQ(LoadPicture(pack, picture, i), 0);
        EXPECT_TRUE(picture.IsMetafile());
        EXPECT_GT(picture.Width(), 0);
    }
    std::string detail;
    EXPECT_EQ(LoadPicture(pack, picture, 3, &detail), 87);
    EXPECT_TRUE(picture.IsEmpty());
    EXPECT_FALSE(detail.empty());
    EXPECT_EQ(LoadPicture(pack, picture, -1), 87);
}

TEST_F(PackTest, LoadPictureReportsMissingAndDamagedPictures)
{
    const QString path = env.Root() + "/changing.zip";
    ZipBuilder()
        .Add("1 - Good.jpg", TinyJpeg())
        .Add("2 - Garbage.jpg", "this is not a JPEG at all")
        .Add("3 - Empty.wmf", {})
        .Add("4 - Gone.jpg", TinyJpeg())
        .Comment(PackComment("C"))
        .WriteTo(path);
    TPack pack(path.toStdString());
    ASSERT_EQ(pack.Pictures.size(), 4u);
    graphics::Picture picture;
    ASSERT_EQ(LoadPicture(pack, picture, 0), 0);

    std::string detail;
    EXPECT_EQ(LoadPicture(pack, picture, 1, &detail), 23) << "undecodable data is an error, not an empty success";
    EXPECT_TRUE(picture.IsEmpty()) << "the target is cleared";
    EXPECT_NE(detail.find("2 - Garbage.jpg"), std::string::npos) << detail;
    EXPECT_EQ(LoadPicture(pack, picture, 2, &detail), 23);

    // The file changes after the pack was read: the entry is no longer there.
    ZipBuilder().Add("1 - Good.jpg", TinyJpeg()).Comment(PackComment("C")).WriteTo(path);
    EXPECT_EQ(LoadPicture(pack, picture, 3, &detail), 2);
    EXPECT_NE(detail.find("4 - Gone.jpg"), std::string::npos) << detail;

    // The file is gone altogether.
    QFile::remove(path);
    EXPECT_EQ(LoadPicture(pack, picture, 0), 2);
}

TEST_F(PackTest, DeclaredSizesAreNotTrusted)
{
    const QByteArray jpeg = TinyJpeg();
    graphics::Picture picture;
    // A directory declaring gigabytes for a small picture, or a few bytes for a
    // larger one: the entry is damaged either way, and nothing is allocated from
    // the declared size beyond a sane bound.
    for (std::uint32_t declared : {0xF0000000u, 10u}) {
        SCOPED_TRACE(declared);
        TPack pack(Write("lying.zip", ZipBuilder().Add("a.jpg", jpeg, declared).Comment(PackComment("L"))));
        EXPECT_EQ(LoadPicture(pack, picture, 0), 23);
        EXPECT_TRUE(picture.IsEmpty());
    }
}

} // namespace
