// Packs made from folders of real pictures, read back by the program's own reader
// and checked by the common archive tools; failures and cancels leave nothing.
#include "archive/errors.h"
#include "graphics/jpeg.h"
#include "graphics/picture.h"
#include "graphics/picture_loader.h"
#include "packmaker/pack_maker.h"
#include "packs/load_picture.h"
#include "packs/pack.h"
#include "packs/picture_source.h"
#include "support/peak_memory.h"
#include "support/temp_env.h"

#include <QColor>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QPainter>
#include <QProcess>

#include <gtest/gtest.h>

#include <map>

#include <cerrno>
#include <signal.h>
#include <fcntl.h>
#include <unistd.h>
#include <utime.h>
#include <random>

namespace {

struct ToolRun {
    int code = -1;
    QString out;
};

ToolRun Tool(const QString& program, const QStringList& args)
{
    QProcess p;
    p.setProcessChannelMode(QProcess::MergedChannels);
    p.setStandardInputFile(QProcess::nullDevice());
    p.start(program, args);
    ToolRun r;
    if (!p.waitForFinished(120000))
        return r;
    r.code = p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
    r.out = QString::fromUtf8(p.readAll());
    return r;
}

QImage Filled(int w, int h, QColor left, QColor right)
{
    QImage image(w, h, QImage::Format_RGB888);
    QPainter painter(&image);
    painter.fillRect(0, 0, w / 2, h, left);
    painter.fillRect(w / 2, 0, w - w / 2, h, right);
    return image;
}

QImage Noise(int w, int h, unsigned seed)
{
    QImage image(w, h, QImage::Format_RGB888);
    std::mt19937 random(seed);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w * 3; ++x)
            image.scanLine(y)[x] = static_cast<std::uint8_t>(random());
    return image;
}

void WriteJpeg(const QString& path, const QImage& image)
{
    std::vector<std::uint8_t> bytes;
    std::string error;
    ASSERT_TRUE(graphics::EncodeJpeg(image, 90, bytes, error)) << error;
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(reinterpret_cast<const char*>(bytes.data()), static_cast<qint64>(bytes.size()));
}

void Exiv2Set(const QString& file, const QStringList& commands)
{
    QStringList args;
    for (const QString& c : commands)
        args << QStringLiteral("-M") + c;
    const ToolRun r = Tool(QStringLiteral("exiv2"), args << file);
    ASSERT_EQ(r.code, 0) << r.out.toStdString();
}

void Convert(const QStringList& args)
{
    const ToolRun r = Tool(QStringLiteral("convert"), args);
    ASSERT_EQ(r.code, 0) << r.out.toStdString();
}

QByteArray Read(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

QStringList Leftovers(const QString& folder)
{
    return QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot);
}

class MakePackTest : public ::testing::Test {
protected:
    TempEnv env;
    QString pictures = env.Root() + "/pictures";
    QString outFolder = env.Root() + "/out";

    void SetUp() override
    {
        ASSERT_TRUE(QDir().mkpath(pictures + "/sub"));
        ASSERT_TRUE(QDir().mkpath(outFolder));
    }

    packmaker::MakeRequest Request(const QString& file)
    {
        packmaker::MakeRequest r;
        r.Sources = {pictures.toStdString()};
        r.Name = "Mixed";
        r.Icon = 4;
        r.MaxSide = 64;
        r.Output = (outFolder + "/" + file).toStdString();
        return r;
    }

    // The picture of `source` in the made pack, decoded by the pack reader.
    QImage EntryPicture(const TPack& pack, const packmaker::MadePack& made, const QString& source)
    {
        for (const auto& t : made.Taken)
            if (QString::fromStdString(t.Source).endsWith(source))
                for (std::size_t i = 0; i < pack.Pictures.size(); ++i)
                    if (pack.Pictures[i].EntryName == t.EntryName) {
                        graphics::Picture picture;
                        EXPECT_EQ(packs::LoadPicture(pack, picture, static_cast<int>(i)), 0);
                        return picture.Image();
                    }
        ADD_FAILURE() << "no entry for " << source.toStdString();
        return {};
    }
};

TEST_F(MakePackTest, MixedFolderIsCaptionedAsMeantAndPassesTheArchiveTools)
{
    WriteJpeg(pictures + "/03 - 1889 - Starry Night - Vincent.jpg", Filled(40, 30, Qt::darkBlue, Qt::yellow));
    WriteJpeg(pictures + "/Sun - Moon - Ann.jpg", Filled(300, 100, Qt::red, Qt::red)); // reduced: wider than 64
    // A camera picture lying on its side: orientation 6 turns it clockwise, so the
    // left half (red) ends on top.
    WriteJpeg(pictures + "/camera.jpg", Filled(120, 60, Qt::red, Qt::blue));
    Exiv2Set(pictures + "/camera.jpg", {"set Exif.Image.Orientation 6"});
    WriteJpeg(pictures + "/xmp.jpg", Filled(20, 20, Qt::green, Qt::green));
    Exiv2Set(pictures + "/xmp.jpg", {"set Xmp.dc.title lang=x-default Water Lilies - Evening",
                                     "set Xmp.dc.creator Claude Monet", "set Xmp.dc.date 1906-05-01"});
    WriteJpeg(pictures + "/sub/iptc.jpg", Filled(20, 20, Qt::gray, Qt::gray));
    Exiv2Set(pictures + "/sub/iptc.jpg", {"set Iptc.Application2.ObjectName 1502", "set Iptc.Application2.Byline Albrecht Dürer"});
    WriteJpeg(pictures + "/exif.jpg", Filled(20, 20, Qt::white, Qt::white));
    Exiv2Set(pictures + "/exif.jpg", {"set Exif.Image.ImageDescription Etc.", "set Exif.Image.Artist A/B: C"});

    QImage alpha(50, 50, QImage::Format_ARGB32);
    alpha.fill(Qt::transparent);
    QPainter(&alpha).fillRect(20, 20, 10, 10, Qt::black);
    ASSERT_TRUE(alpha.save(pictures + "/sub/alpha.png"));
    ASSERT_TRUE(Filled(30, 30, Qt::cyan, Qt::cyan).save(pictures + "/photo.webp"));
    Convert({"-size", "30x20", "gradient:red-blue", "-depth", "16", pictures + "/deep.tif"});
    // Two frames: only the first (red) is taken.
    Convert({"-size", "16x16", "xc:red", "xc:blue", pictures + "/anim.gif"});
    QFile::copy(TestDataDir() + "/packs/tiny.emf", pictures + "/drawing.emf");
    ASSERT_TRUE(Filled(10, 10, Qt::black, Qt::black).save(pictures + "/IMG_0001.bmp"));
    WriteJpeg(pictures + "/sub/Same.jpg", Filled(10, 10, Qt::black, Qt::black));
    WriteJpeg(pictures + "/Same.jpg", Filled(10, 10, Qt::black, Qt::black));
    QFile notes(pictures + "/notes.txt");
    ASSERT_TRUE(notes.open(QIODevice::WriteOnly));
    notes.write("not a picture");
    notes.close();
    QFile csv(env.Root() + "/records.csv");
    ASSERT_TRUE(csv.open(QIODevice::WriteOnly));
    csv.write("file,title,author,year\nIMG_0001.bmp,\"1984\",\"Some | One\",1700\nxmp.jpg,Ignored,Ignored,1\n");
    csv.close();

    packmaker::MakeRequest request = Request("Mixed.zip");
    request.CsvPath = (env.Root() + "/records.csv").toStdString();
    request.Author = "Pack Author";
    request.Label = "Mine";
    int progressCalls = 0;
    const core::Result<packmaker::MadePack> outcome =
        packmaker::MakePack(request, [&](const packmaker::MakeProgress& p) { progressCalls += p.Picture ? 1 : 0; });
    ASSERT_TRUE(outcome.ok()) << outcome.error().text;
    const packmaker::MadePack& made = *outcome;
    EXPECT_EQ(progressCalls, static_cast<int>(made.Taken.size()));
    ASSERT_EQ(made.Skipped.size(), 1u);
    EXPECT_TRUE(QString::fromStdString(made.Skipped[0].Path).endsWith("notes.txt"));
    EXPECT_EQ(Leftovers(outFolder), QStringList{"Mixed.zip"});

    TPack pack(made.Archive);
    ASSERT_TRUE(pack.IsValid());
    EXPECT_EQ(pack.Name, "Mixed");
    EXPECT_EQ(pack.Author, "Pack Author");
    EXPECT_EQ(pack.Label, "Mine");
    EXPECT_EQ(pack.Icon, 4);
    ASSERT_EQ(pack.Pictures.size(), 14u);

    struct Expected {
        const char* source;
        int number, year;
        const char* title;
        const char* author;
        bool asIs;
    };
    const Expected expected[] = {
        {"03 - 1889 - Starry Night - Vincent.jpg", 3, 1889, "Starry Night", "Vincent", true},
        {"Sun - Moon - Ann.jpg", 0, 0, "Sun", "Moon", false},
        {"camera.jpg", 0, 0, "camera", "Pack Author", false},
        {"xmp.jpg", 0, 1906, "Water Lilies \u2013 Evening", "Claude Monet", true},
        {"sub/iptc.jpg", 0, 0, "1502\u00A0", "Albrecht Dürer", true},
        {"exif.jpg", 0, 0, "Etc\u2024", "A\u2215B\u2236 C", true},
        {"sub/alpha.png", 0, 0, "alpha", "Pack Author", false},
        {"photo.webp", 0, 0, "photo", "Pack Author", false},
        {"deep.tif", 0, 0, "deep", "Pack Author", false},
        {"anim.gif", 0, 0, "anim", "Pack Author", false},
        {"drawing.emf", 0, 0, "drawing", "Pack Author", true},
        {"IMG_0001.bmp", 0, 1700, "1984", "Some \u00A6 One", false},
        {"sub/Same.jpg", 0, 0, "Same", "Pack Author", true},
    };
    std::map<std::string, const TPic*> byEntry;
    for (const TPic& pic : pack.Pictures)
        byEntry[pic.EntryName] = &pic;
    for (const Expected& e : expected) {
        SCOPED_TRACE(e.source);
        const packmaker::TakenPicture* taken = nullptr;
        for (const auto& t : made.Taken)
            if (t.Source == (pictures + "/" + e.source).toStdString())
                taken = &t;
        ASSERT_NE(taken, nullptr);
        ASSERT_EQ(byEntry.count(taken->EntryName), 1u) << taken->EntryName;
        const TPic& pic = *byEntry[taken->EntryName];
        EXPECT_EQ(pic.Number, e.number);
        EXPECT_EQ(pic.Year, e.year);
        EXPECT_EQ(pic.Title, e.title);
        EXPECT_EQ(pic.Author, e.author);
        EXPECT_EQ(taken->AsIs, e.asIs);
        if (e.asIs) { // byte for byte
            std::vector<std::uint8_t> bytes;
            ASSERT_EQ(packs::ReadPackEntry(pack.Path, pic.EntryName, "", bytes, nullptr), 0);
            const QByteArray original = Read(pictures + "/" + e.source);
            EXPECT_TRUE(QByteArray(reinterpret_cast<const char*>(bytes.data()), static_cast<qsizetype>(bytes.size()))
                        == original);
        }
    }
    // The second "Same" waits in a folder of its own and reads back alike.
    std::size_t sameCount = 0;
    for (const TPic& pic : pack.Pictures)
        sameCount += pic.Title == "Same";
    EXPECT_EQ(sameCount, 2u);

    const QImage camera = EntryPicture(pack, made, "camera.jpg");
    ASSERT_EQ(camera.size(), QSize(32, 64)); // upright, then reduced to 64
    EXPECT_GT(QColor(camera.pixel(16, 4)).red(), 200);
    EXPECT_GT(QColor(camera.pixel(16, 60)).blue(), 200);
    EXPECT_EQ(EntryPicture(pack, made, "Sun - Moon - Ann.jpg").size(), QSize(64, 21));
    const QImage flat = EntryPicture(pack, made, "sub/alpha.png");
    EXPECT_GT(qGray(flat.pixel(2, 2)), 240); // transparency laid on white
    EXPECT_LT(qGray(flat.pixel(25, 25)), 30);
    EXPECT_GT(QColor(EntryPicture(pack, made, "anim.gif").pixel(8, 8)).red(), 200);
    EXPECT_EQ(EntryPicture(pack, made, "deep.tif").size(), QSize(30, 20));

    const QString file = QString::fromStdString(made.Archive);
    ToolRun r = Tool("unzip", {"-t", file});
    EXPECT_EQ(r.code, 0) << r.out.toStdString();
    r = Tool("7zz", {"t", file});
    EXPECT_EQ(r.code, 0) << r.out.toStdString();
    r = Tool("bsdtar", {"-tf", file});
    EXPECT_EQ(r.code, 0) << r.out.toStdString();
    EXPECT_EQ(r.out.trimmed().split('\n').size(), 14);
    EXPECT_TRUE(r.out.contains(QString::fromUtf8("Water Lilies \u2013 Evening - Claude Monet.jpg"))) << r.out.toStdString();
    // JPEG entries stored, the metafile deflated.
    r = Tool("7zz", {"l", "-slt", file});
    EXPECT_EQ(r.out.count("Method = Store"), 13) << r.out.toStdString();
    EXPECT_EQ(r.out.count("Method = Deflate"), 1);
}

TEST_F(MakePackTest, PasswordEncryptsEveryEntryWithAes256)
{
    WriteJpeg(pictures + "/1 - One.jpg", Filled(20, 20, Qt::red, Qt::red));
    ASSERT_TRUE(Filled(100, 50, Qt::blue, Qt::blue).save(pictures + "/two.png"));
    QFile::copy(TestDataDir() + "/packs/tiny.wmf", pictures + "/three.wmf");
    packmaker::MakeRequest request = Request("Secret.zip");
    request.Password = "s3cret pass";
    const core::Result<packmaker::MadePack> outcome = packmaker::MakePack(request);
    ASSERT_TRUE(outcome.ok()) << outcome.error().text;
    const packmaker::MadePack& made = *outcome;
    const QString file = QString::fromStdString(made.Archive);

    ToolRun r = Tool("7zz", {"t", "-ps3cret pass", file});
    EXPECT_EQ(r.code, 0) << r.out.toStdString();
    r = Tool("7zz", {"t", "-pwrong", file});
    EXPECT_NE(r.code, 0);
    r = Tool("7zz", {"l", "-slt", file});
    EXPECT_EQ(r.out.count("Method = AES-256"), 3) << r.out.toStdString();
    r = Tool("bsdtar", {"-tf", file}); // names stay readable without the password
    EXPECT_EQ(r.code, 0) << r.out.toStdString();
    EXPECT_EQ(r.out.trimmed().split('\n').size(), 3) << r.out.toStdString();

    TPack pack(made.Archive);
    ASSERT_EQ(pack.Pictures.size(), 3u);
    graphics::Picture picture;
    EXPECT_NE(packs::LoadPicture(pack, picture, 0), 0); // no password given
    pack.PackPassword = "s3cret pass";
    for (int i = 0; i < 3; ++i)
        EXPECT_EQ(packs::LoadPicture(pack, picture, i), 0) << i;
}

// A broken picture, a cancel and an older pack in the way: the make stops, names
// the cause, and the output folder holds what it held before.
TEST_F(MakePackTest, FailureAndCancelLeaveNoPartialPack)
{
    for (int i = 0; i < 4; ++i)
        WriteJpeg(pictures + QStringLiteral("/%1 - Noise.jpg").arg(i + 1), Noise(100, 100, i));
    const QByteArray older = "an older pack";
    {
        QFile file(outFolder + "/Kept.zip");
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(older);
    }

    auto cancelled = [](const core::Result<packmaker::MadePack>& r) {
        return !r.ok() && r.error().code == archiva::ErrorCancelled;
    };
    std::atomic<bool> cancel{false};
    core::Result<packmaker::MadePack> made = packmaker::MakePack(
        Request("Kept.zip"), [&](const packmaker::MakeProgress& p) { cancel = p.Done >= 2; }, &cancel);
    EXPECT_FALSE(made.ok());
    EXPECT_TRUE(cancelled(made));
    EXPECT_EQ(Leftovers(outFolder), QStringList{"Kept.zip"});
    EXPECT_EQ(Read(outFolder + "/Kept.zip"), older);

    // Cancelled while the archive is written.
    cancel = false;
    made = packmaker::MakePack(
        Request("Kept.zip"), [&](const packmaker::MakeProgress& p) { cancel = !p.Picture && p.Writing > 0; }, &cancel);
    EXPECT_TRUE(cancelled(made));
    EXPECT_EQ(Leftovers(outFolder), QStringList{"Kept.zip"});
    EXPECT_EQ(Read(outFolder + "/Kept.zip"), older);

    QFile broken(pictures + "/sub/broken.png");
    ASSERT_TRUE(broken.open(QIODevice::WriteOnly));
    broken.write("\x89PNG\r\n\x1a\n but nothing more");
    broken.close();
    // Nothing but a broken picture: no pack, and the older one stays.
    packmaker::MakeRequest onlyBroken = Request("Kept.zip");
    onlyBroken.Sources = {broken.fileName().toStdString()};
    packmaker::MadePack soFar;
    made = packmaker::MakePack(onlyBroken, {}, nullptr, &soFar);
    EXPECT_FALSE(made.ok());
    EXPECT_FALSE(cancelled(made));
    ASSERT_EQ(soFar.Skipped.size(), 1u);
    EXPECT_TRUE(QString::fromStdString(soFar.Skipped[0].Path).endsWith("sub/broken.png")) << soFar.Skipped[0].Path;
    EXPECT_EQ(Leftovers(outFolder), QStringList{"Kept.zip"});
    EXPECT_EQ(Read(outFolder + "/Kept.zip"), older);

    // Among good ones, the broken picture is left out and listed; the pack is made.
    made = packmaker::MakePack(Request("Kept.zip"));
    ASSERT_TRUE(made.ok()) << made.error().text;
    EXPECT_EQ(made->Taken.size(), 4u);
    bool listed = false;
    for (const packmaker::SkippedFile& skipped : made->Skipped)
        listed |= QString::fromStdString(skipped.Path).endsWith("sub/broken.png") && !skipped.Reason.empty();
    EXPECT_TRUE(listed);
    EXPECT_EQ(Leftovers(outFolder), QStringList{"Kept.zip"});
}

// Long titles make long entry names: they are shortened to what file systems
// keep (255 bytes), never inside a character, and the pack's source entry keeps
// the whole title beside the museum's page, credit line and licence.
TEST_F(MakePackTest, LongTitlesAreShortenedAndKeptWholeInTheSourceEntry)
{
    const QString first = pictures + "/a.jpg", second = pictures + "/b.jpg";
    WriteJpeg(first, Noise(80, 60, 1));
    WriteJpeg(second, Noise(80, 60, 2));
    std::string longTitle;
    for (int i = 0; i < 1000; ++i)
        longTitle += "Käse "; // two-byte characters, so a cut may fall inside one
    packmaker::MakeRequest request = Request("Long.zip");
    request.Sources = {first.toStdString(), second.toStdString()};
    request.Records[first.toStdString()] = {0, 1889, longTitle, "Vincent van Gogh"};
    request.Records[second.toStdString()] = {0, 1890, "Short", "Vincent van Gogh"};
    request.WorkSources[first.toStdString()] = {"https://museum.test/1", "Gift of a friend", "CC0 1.0 (public domain)", "", ""};
    request.PlainCredit = true;
    const core::Result<packmaker::MadePack> outcome = packmaker::MakePack(request);
    ASSERT_TRUE(outcome.ok()) << outcome.error().text;
    const packmaker::MadePack& made = *outcome;
    ASSERT_EQ(made.Taken.size(), 2u);
    const std::string& name = made.Taken[0].EntryName;
    EXPECT_LE(name.size(), 255u);
    EXPECT_TRUE(QString::fromStdString(name).isValidUtf16());
    EXPECT_EQ(QString::fromUtf8(name.data(), static_cast<qsizetype>(name.size())).toUtf8().toStdString(), name);

    const TPack pack(made.Archive);
    ASSERT_EQ(pack.Pictures.size(), 2u); // the source entry is no picture
    const core::Result<packs::PictureSource> source = packs::ReadPictureSource(made.Archive, name);
    ASSERT_TRUE(source.ok()) << source.error().text;
    EXPECT_EQ(source->Title, longTitle);
    EXPECT_EQ(source->Page, "https://museum.test/1");
    EXPECT_EQ(source->Credit, "Gift of a friend");
    EXPECT_EQ(source->Licence, "CC0 1.0 (public domain)");
    const core::Result<packs::PictureSource> none = packs::ReadPictureSource(made.Archive, made.Taken[1].EntryName);
    ASSERT_FALSE(none.ok());
    EXPECT_EQ(none.error().code, 2);
}

// What makes killed with signal 9 leave beside the pack (their work folder with
// pictures and libzip's half-written archive, and the leftovers of earlier
// versions) is removed by the next make there; a live make's folder stays.
TEST_F(MakePackTest, LeftoversOfKilledMakesAreRemovedByTheNext)
{
    WriteJpeg(pictures + "/a.jpg", Noise(40, 40, 1));
    long gone = 4194303;
    while (gone > 1 && !(::kill(static_cast<pid_t>(gone), 0) != 0 && errno == ESRCH))
        --gone;
    auto makeFolder = [&](const QString& name) {
        EXPECT_TRUE(QDir().mkpath(outFolder + "/" + name));
        QFile file(outFolder + "/" + name + "/pack.zip.Xy12Ab");
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(QByteArray(1000, 'z'));
    };
    const QString dead = QStringLiteral(".ambience-make-%1-Ab12Cd").arg(gone);
    const QString live = QStringLiteral(".ambience-make-%1-Ef34Gh").arg(::getppid());
    makeFolder(dead);
    makeFolder(live);
    makeFolder(".ambience-make-Ij56Kl"); // an earlier version's, an hour and more old
    const QDateTime hoursAgo = QDateTime::currentDateTime().addSecs(-2 * 3600);
    auto age = [&](const QString& path) {
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::ReadWrite));
        ASSERT_TRUE(file.setFileTime(hoursAgo, QFileDevice::FileModificationTime));
    };
    QFile old(outFolder + "/Holiday.zip.Qr78St"); // libzip's, of an earlier version
    ASSERT_TRUE(old.open(QIODevice::WriteOnly));
    old.close();
    age(old.fileName());
    QFile young(outFolder + "/Other.zip.Uv90Wx"); // perhaps being written now
    ASSERT_TRUE(young.open(QIODevice::WriteOnly));
    young.close();
    {
        const std::string folder = QFile::encodeName(outFolder + "/.ambience-make-Ij56Kl").toStdString();
        struct utimbuf times {hoursAgo.toSecsSinceEpoch(), hoursAgo.toSecsSinceEpoch()};
        ASSERT_EQ(::utime(folder.c_str(), &times), 0);
    }

    const core::Result<packmaker::MadePack> made = packmaker::MakePack(Request("Fresh.zip"));
    ASSERT_TRUE(made.ok()) << made.error().text;
    EXPECT_EQ(Leftovers(outFolder), (QStringList{live, "Fresh.zip", "Other.zip.Uv90Wx"}));
}

// File names that are not valid UTF-8 (a Latin-1 "café.jpg"), found in a folder
// or named directly, are taken; the caption reads the name as Latin-1.
TEST_F(MakePackTest, FileNamesThatAreNotUtf8AreTakenAndReadAsLatin1)
{
    const QString folder = env.Root() + "/latin";
    ASSERT_TRUE(QDir().mkpath(folder));
    std::vector<std::uint8_t> encoded;
    std::string encodeError;
    ASSERT_TRUE(graphics::EncodeJpeg(Noise(40, 30, 3), 90, encoded, encodeError)) << encodeError;
    const std::string raw = QFile::encodeName(folder).toStdString() + "/caf\xE9.jpg";
    {
        const int fd = ::open(raw.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        ASSERT_GE(fd, 0);
        ASSERT_EQ(::write(fd, encoded.data(), encoded.size()), static_cast<ssize_t>(encoded.size()));
        ::close(fd);
    }
    for (const std::string& source : {QFile::encodeName(folder).toStdString(), raw}) {
        packmaker::MakeRequest request = Request("Latin.zip");
        request.Sources = {source};
        const core::Result<packmaker::MadePack> outcome = packmaker::MakePack(request);
        ASSERT_TRUE(outcome.ok()) << outcome.error().text;
        const packmaker::MadePack& made = *outcome;
        ASSERT_EQ(made.Taken.size(), 1u) << source;
        EXPECT_EQ(made.Taken[0].Record.Title, "caf\xC3\xA9");
        EXPECT_EQ(made.Taken[0].Source, raw);
        EXPECT_EQ(TPack(made.Archive).Pictures.at(0).Title, "caf\xC3\xA9");
    }
}

// A records file that never ends, or one endless line: refused, memory bounded.
TEST_F(MakePackTest, RecordsFileIsBoundedInSizeAndLineLength)
{
    WriteJpeg(pictures + "/a.jpg", Noise(40, 40, 1));
    const QString longLine = env.Root() + "/long.csv";
    {
        QFile file(longLine);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write("file,title\n");
        file.write(QByteArray(200 * 1024, 'x'));
    }
    struct Case {
        QString csv;
        const char* says;
    };
    for (const Case& c : {Case{"/dev/zero", "larger than 16 MB"}, Case{longLine, "line 2 is longer than"}}) {
        packmaker::MakeRequest request = Request("Csv.zip");
        request.CsvPath = c.csv.toStdString();
        const core::Result<packmaker::MadePack> made = packmaker::MakePack(request);
        EXPECT_FALSE(made.ok());
        const std::string error = made.ok() ? std::string() : made.error().text;
        EXPECT_TRUE(QString::fromStdString(error).contains(c.says)) << error;
    }
    EXPECT_LT(testsupport::PeakResidentMb(), 300);
}

// The command line under a file-size limit (a disk that fills up): the write
// fails, nothing is left; without it, --install puts the pack among the user's.
TEST_F(MakePackTest, CommandLineFullDiskAndInstall)
{
    for (int i = 0; i < 4; ++i)
        WriteJpeg(pictures + QStringLiteral("/%1 - Noise.jpg").arg(i + 1), Noise(120, 120, i)); // ~14 KB each
    const QString cli = BuildBinDir() + "/ambience-cli";
    const QString make = QStringLiteral("\"%1\" pack make \"%2\" --name Full --out \"%3/Full.zip\"").arg(cli, pictures, outFolder);
    ToolRun r = Tool("bash", {"-c", "ulimit -f 32; exec " + make});
    EXPECT_NE(r.code, 0) << r.out.toStdString();
    EXPECT_TRUE(r.out.contains("Full.zip")) << r.out.toStdString();
    EXPECT_EQ(Leftovers(outFolder), QStringList{});

    r = Tool(cli, {"pack", "make", pictures, "--name", "Noise: 4/4", "--icon", "2", "--install"});
    EXPECT_EQ(r.code, 0) << r.out.toStdString();
    EXPECT_TRUE(r.out.contains("4 picture(s) taken, 0 skipped")) << r.out.toStdString();
    const QString installed = env.UserPacksDir() + "/Noise_ 4_4.zip";
    EXPECT_TRUE(QFile::exists(installed)) << r.out.toStdString();
    r = Tool(cli, {"packs"});
    EXPECT_TRUE(r.out.contains("Noise: 4/4")) << r.out.toStdString();

    r = Tool(cli, {"pack", "make", pictures});
    EXPECT_EQ(r.code, 2);
    EXPECT_TRUE(r.out.contains("--name")) << r.out.toStdString();
}

// The preview and the exposition decode a pack's JPEG upright.
TEST(Orientation, PackPicturesAreDecodedUpright)
{
    TempEnv env;
    const QString path = env.Root() + "/side.jpg";
    for (const auto& [orientation, size, redAt] :
         {std::tuple{1, QSize(40, 20), QPoint(5, 10)}, std::tuple{3, QSize(40, 20), QPoint(35, 10)},
          std::tuple{6, QSize(20, 40), QPoint(10, 5)}, std::tuple{8, QSize(20, 40), QPoint(10, 35)}}) {
        WriteJpeg(path, Filled(40, 20, Qt::red, Qt::blue));
        Exiv2Set(path, {QStringLiteral("set Exif.Image.Orientation %1").arg(orientation)});
        const QByteArray bytes = Read(path);
        std::string error;
        const graphics::Picture picture =
            graphics::LoadPictureData(std::vector<std::uint8_t>(bytes.begin(), bytes.end()), ".jpg", error);
        ASSERT_TRUE(picture.IsRaster()) << error;
        EXPECT_EQ(picture.Image().size(), size) << orientation;
        EXPECT_GT(QColor(picture.Image().pixel(redAt)).red(), 200) << orientation;
    }
}

} // namespace
