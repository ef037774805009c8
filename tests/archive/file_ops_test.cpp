// Error codes and texts, extensions, and the two file operations of installation.
#include "archive_util.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <filesystem>
#include <sys/stat.h>

using namespace archtest;
namespace fs = std::filesystem;

TEST(ArchiveFileOps, LowerExtension)
{
    EXPECT_EQ(archiva::LowerExtension("Art/Sub/Title.JPG"), ".jpg");
    EXPECT_EQ(archiva::LowerExtension("a.b.Emf"), ".emf");
    EXPECT_EQ(archiva::LowerExtension("noext"), "");
    EXPECT_EQ(archiva::LowerExtension("trailing."), ".");
    EXPECT_EQ(archiva::LowerExtension("Caf\xC3\x89.ZIP"), ".zip");
}

TEST(ArchiveFileOps, ErrorTextsAndCodes)
{
    // Every code the reader and installer produce has its own text, cleaned for a
    // message line; unknown codes still name their number.
    for (int code : {2, 3, 5, 8, 23, 32, 50, 112, 114, 1216, 1223, 1630}) {
        std::string text = archiva::ErrorText(code);
        EXPECT_FALSE(text.empty());
        EXPECT_EQ(text.find_first_of(".\r\n\"<>"), std::string::npos) << code;
        EXPECT_EQ(text.find("Unknown"), std::string::npos) << code;
    }
    // Whatever errno a file operation meets, its code has a text of its own.
    for (int err = 0; err < 140; ++err)
        EXPECT_EQ(archiva::ErrorText(archiva::ErrorFromErrno(err)).find("Unknown"), std::string::npos) << err;
    EXPECT_EQ(archiva::ErrorText(23), "Data error (cyclic redundancy check)");
    EXPECT_EQ(archiva::ErrorText(98765), "Unknown error 98765");

    EXPECT_EQ(archiva::ErrorFromErrno(ENOENT), 2);
    EXPECT_EQ(archiva::ErrorFromErrno(ENOENT, "/no/such/folder/x"), 3);
    EXPECT_EQ(archiva::ErrorFromErrno(EACCES), 5);
    EXPECT_EQ(archiva::ErrorFromErrno(EPERM), 5);
    EXPECT_EQ(archiva::ErrorFromErrno(EBUSY), 32);
    EXPECT_EQ(archiva::ErrorFromErrno(ENOSPC), 112);
}

TEST(ArchiveFileOps, DeleteFileForced)
{
    Scratch s;
    WriteBytes(s.Path("ro.zip"), "x");
    ::chmod(s.Path("ro.zip").c_str(), 0444);
    EXPECT_EQ(archiva::DeleteFileForced(s.Path("ro.zip")), 0);
    EXPECT_FALSE(fs::exists(s.Path("ro.zip")));
    EXPECT_EQ(archiva::DeleteFileForced(s.Path("ro.zip")), 2);
    EXPECT_EQ(archiva::DeleteFileForced(s.Path("none/ro.zip")), 3);
    fs::create_directories(s.Path("dir"));
    EXPECT_EQ(archiva::DeleteFileForced(s.Path("dir")), 5);
    EXPECT_TRUE(fs::exists(s.Path("dir")));
}

TEST(ArchiveFileOps, CopyFileOverReplacesOnlyWhenComplete)
{
    Scratch s;
    WriteBytes(s.Path("new.zip"), Payload(300000, 5));
    WriteBytes(s.Path("target.zip"), "old pack");
    EXPECT_EQ(archiva::CopyFileOver(s.Path("new.zip"), s.Path("target.zip")), 0);
    EXPECT_TRUE(ReadBytes(s.Path("target.zip")) == Payload(300000, 5));

    // Failures: a missing source, a missing folder, and a source that fails while
    // being read (reading process memory at address 0 gives an I/O error). The old
    // target stays as it was and no temporary file is left behind.
    WriteBytes(s.Path("target.zip"), "old pack");
    EXPECT_EQ(archiva::CopyFileOver(s.Path("missing.zip"), s.Path("target.zip")), 2);
    EXPECT_EQ(archiva::CopyFileOver(s.Path("new.zip"), s.Path("none/target.zip")), 3);
    EXPECT_NE(archiva::CopyFileOver("/proc/self/mem", s.Path("target.zip")), 0);
    EXPECT_EQ(ReadBytes(s.Path("target.zip")), "old pack");
    int files = 0;
    for ([[maybe_unused]] const auto& e : fs::directory_iterator(s.Path()))
        ++files;
    EXPECT_EQ(files, 2 + 3); // new.zip, target.zip and TempEnv's own three folders
}
