// Whole-file replacement: the old file survives every failure, no temporary file
// is left behind, and the error names the file and the reason.
#include "graphics/picture_file.h"
#include "graphics/bmp.h"
#include "platform/atomic_file.h"

#include "image_tools.h"
#include "support/file_size_limit.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <csignal>
#include <cstring>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

std::vector<std::uint8_t> Bytes(std::size_t n, std::uint8_t fill)
{
    return std::vector<std::uint8_t>(n, fill);
}

QByteArray Picture(const std::vector<std::uint8_t>& bytes)
{
    return QByteArray(reinterpret_cast<const char*>(bytes.data()), qsizetype(bytes.size()));
}

QStringList Entries(const QString& dir)
{
    return QDir(dir).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot, QDir::Name);
}

TEST(WriteFileAtomically, ReplacesTheFileAndKeepsItsPermissions)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("ambience.bmp"));
    ASSERT_TRUE(graphics::WritePictureFile(path, Picture(Bytes(10, 1))).ok());
    ASSERT_EQ(::chmod(QFile::encodeName(path).constData(), 0640), 0);
    const auto r = graphics::WritePictureFile(path, Picture(Bytes(5000, 2)));
    ASSERT_TRUE(r.ok()) << r.error().text;
    EXPECT_EQ(ReadBytes(path), Bytes(5000, 2));
    struct stat st {};
    ASSERT_EQ(::stat(QFile::encodeName(path).constData(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0640u);
    EXPECT_EQ(Entries(dir.path()), QStringList{QStringLiteral("ambience.bmp")});

    // Empty content is a valid (empty) file.
    ASSERT_TRUE(graphics::WritePictureFile(path, QByteArrayView()).ok());
    EXPECT_TRUE(ReadBytes(path).empty());
}

TEST(WriteFileAtomically, AFailedWriteLeavesTheOldFileWhole)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("ambience.bmp"));
    ASSERT_TRUE(graphics::WritePictureFile(path, Picture(Bytes(3000, 7))).ok());

    core::Result<void> r = core::Ok();
    {
        FileSizeLimit limit(4096);
        r = graphics::WritePictureFile(path, Picture(Bytes(100000, 9)));
    }
    EXPECT_FALSE(r.ok());
    EXPECT_EQ(r.error().code, EFBIG);
    EXPECT_EQ(r.error().text, "Cannot write " + path.toStdString() + ": " + std::strerror(EFBIG));
    EXPECT_EQ(ReadBytes(path), Bytes(3000, 7));
    EXPECT_EQ(Entries(dir.path()), QStringList{QStringLiteral("ambience.bmp")});
}

TEST(WriteFileAtomically, ReportsTargetsThatCannotBeWritten)
{
    QTemporaryDir dir;
    // Missing folder.
    const QString missing = dir.filePath(QStringLiteral("no/such/folder/out.bmp"));
    auto r = graphics::WritePictureFile(missing, Picture(Bytes(10, 1)));
    EXPECT_EQ(r.error().code, ENOENT);
    EXPECT_EQ(r.error().text, "Cannot write " + missing.toStdString() + ": No such file or directory");

    // A folder where the file should be stays a folder, with its contents.
    const QString folder = dir.filePath(QStringLiteral("taken"));
    ASSERT_TRUE(QDir().mkpath(folder + QStringLiteral("/inside")));
    r = graphics::WritePictureFile(folder, Picture(Bytes(10, 1)));
    EXPECT_EQ(r.error().code, EISDIR);
    EXPECT_TRUE(QFileInfo(folder + QStringLiteral("/inside")).isDir());

    // A file where a folder should be.
    const QString plain = dir.filePath(QStringLiteral("plain"));
    ASSERT_TRUE(graphics::WritePictureFile(plain, Picture(Bytes(1, 1))).ok());
    r = graphics::WritePictureFile(plain + QStringLiteral("/out.bmp"), Picture(Bytes(10, 1)));
    EXPECT_EQ(r.error().code, ENOTDIR);

    // Encoders report what they cannot encode through the same result.
    const auto bmp = graphics::SaveBmp(QImage(), dir.filePath(QStringLiteral("x.bmp")));
    EXPECT_FALSE(bmp.ok());
    EXPECT_NE(bmp.error().text.find("x.bmp"), std::string::npos);
    EXPECT_FALSE(QFileInfo::exists(dir.filePath(QStringLiteral("x.bmp"))));
}

TEST(WriteFileAtomically, ReplacesWhatASymbolicLinkPointsAt)
{
    QTemporaryDir dir;
    const QString real = dir.filePath(QStringLiteral("real.jpg"));
    const QString link = dir.filePath(QStringLiteral("link.jpg"));
    ASSERT_TRUE(graphics::WritePictureFile(real, Picture(Bytes(4, 1))).ok());
    ASSERT_TRUE(QFile::link(real, link));
    ASSERT_TRUE(graphics::WritePictureFile(link, Picture(Bytes(8, 2))).ok());
    EXPECT_TRUE(QFileInfo(link).isSymLink());
    EXPECT_EQ(ReadBytes(real), Bytes(8, 2));
}

// New pictures get the permissions any new file of the user gets; the settings
// store, written by the same code, asks for its own.
TEST(WriteFileAtomically, NewFilesGetTheUmaskedModeOrTheModeAskedFor)
{
    QTemporaryDir dir;
    const mode_t oldMask = ::umask(027);
    const QString picture = dir.filePath(QStringLiteral("new.jpg"));
    const auto r = graphics::WritePictureFile(picture, Picture(Bytes(10, 1)));
    const QString settings = dir.filePath(QStringLiteral("registry.reg"));
    const bool written = platform::ReplaceFileContents(settings, QByteArray("x"), 0600).ok();
    ::umask(oldMask);
    ASSERT_TRUE(r.ok()) << r.error().text;
    ASSERT_TRUE(written);
    struct stat st {};
    ASSERT_EQ(::stat(QFile::encodeName(picture).constData(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0640u);
    ASSERT_EQ(::stat(QFile::encodeName(settings).constData(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0600u);
}

TEST(WriteFileAtomically, TheSettingsWriterReportsFailuresTheSameWay)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("registry.reg"));
    ASSERT_TRUE(platform::ReplaceFileContents(path, QByteArray(100, 'a'), 0600).ok());
    core::Result<void> r = core::Ok();
    {
        FileSizeLimit limit(4096);
        r = platform::ReplaceFileContents(path, QByteArray(100000, 'b'), 0600);
    }
    EXPECT_EQ(r.error().code, EFBIG);
    EXPECT_EQ(QString::fromStdString(r.error().text), QStringLiteral("cannot write %1: %2").arg(path, QString::fromLocal8Bit(std::strerror(EFBIG))));
    EXPECT_EQ(ReadBytes(path), Bytes(100, 'a'));
    EXPECT_EQ(Entries(dir.path()), QStringList{QStringLiteral("registry.reg")});

    // A folder in the way is reported, not replaced, and nothing is left beside it.
    const QString folder = dir.filePath(QStringLiteral("taken"));
    ASSERT_TRUE(QDir().mkpath(folder));
    const core::Result<void> refused = platform::ReplaceFileContents(folder, QByteArray("x"), 0600);
    ASSERT_FALSE(refused.ok());
    const QString why = QString::fromStdString(refused.error().text);
    EXPECT_TRUE(why.contains(folder)) << why.toStdString();
    EXPECT_TRUE(QFileInfo(folder).isDir());
    EXPECT_EQ(Entries(dir.path()), (QStringList{QStringLiteral("registry.reg"), QStringLiteral("taken")}));
}

} // namespace
