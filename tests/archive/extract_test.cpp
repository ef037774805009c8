// Extraction into a folder: contents, folders, times, read-only state, and names
// that try to leave the folder.
#include "archive_util.h"

#include "archive/extract.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <sys/stat.h>

using namespace archtest;
namespace fs = std::filesystem;

namespace {
int Extract(const std::string& archive, const std::string& destination, std::vector<std::pair<std::string, int>>* errors = nullptr)
{
    archiva::task job;
    job.DefaultAction = archiva::ActionExtract;
    job.OnEvent = [errors](int event, archiva::task& t, archiva::entry*) {
        if (event == archiva::EventError && errors)
            errors->emplace_back(t.FailedItem, t.Result);
    };
    return job.Run(archive, destination);
}
} // namespace

TEST(ArchiveExtract, WritesFilesFoldersTimesAndReadOnlyState)
{
    Scratch s;
    RawEntry folder = StoredEntry("Art/", "");
    folder.externalAttributes = 0x10;
    RawEntry picture = DeflatedEntry("Art/Sub/p.jpg", Payload(100000, 3));
    picture.date = (45 << 9) | (6 << 5) | 15; // 2025-06-15
    picture.time = (13 << 11) | (30 << 5) | 5; // 13:30:10
    RawEntry locked = StoredEntry("locked.txt", "keep");
    locked.externalAttributes = 0x01;
    WriteBytes(s.Path("x.zip"), MakeZip({folder, picture, locked}));

    EXPECT_EQ(Extract(s.Path("x.zip"), s.Path("out")), 0);
    EXPECT_TRUE(fs::is_directory(s.Path("out/Art")));
    EXPECT_TRUE(ReadBytes(s.Path("out/Art/Sub/p.jpg")) == Payload(100000, 3));
    struct stat st {};
    ASSERT_EQ(::stat(s.Path("out/Art/Sub/p.jpg").c_str(), &st), 0);
    EXPECT_EQ(st.st_mtime, archiva::DosTimeToUnix(picture.date, picture.time));
    std::tm local{};
    time_t t = st.st_mtime;
    localtime_r(&t, &local);
    EXPECT_EQ(local.tm_hour, 13);
    EXPECT_EQ(local.tm_sec, 10);
    ASSERT_EQ(::stat(s.Path("out/locked.txt").c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0222, 0u);
}

TEST(ArchiveExtract, UnsafeNamesAndDamagedEntriesWriteNothing)
{
    EXPECT_TRUE(archiva::IsSafeEntryName("a/b.jpg"));
    EXPECT_TRUE(archiva::IsSafeEntryName("a/b/"));
    for (const char* bad : {"../evil", "a/../../evil", "/etc/evil", "a//b", "./a", ""})
        EXPECT_FALSE(archiva::IsSafeEntryName(bad)) << bad;

    Scratch s;
    fs::create_directories(s.Path("out"));
    WriteBytes(s.Path("out/good.txt"), "older and intact");
    RawEntry damaged = StoredEntry("good.txt", "new contents");
    damaged.crc ^= 1;
    WriteBytes(s.Path("x.zip"), MakeZip({StoredEntry("../evil.txt", "x"), damaged}));
    std::vector<std::pair<std::string, int>> errors;
    EXPECT_EQ(Extract(s.Path("x.zip"), s.Path("out"), &errors), archiva::ErrorCrc);
    EXPECT_EQ(errors, (std::vector<std::pair<std::string, int>>{
                          {s.Path("out/../evil.txt"), archiva::ErrorInvalidName},
                          {s.Path("out/good.txt"), archiva::ErrorCrc}}));
    EXPECT_FALSE(fs::exists(s.Path("evil.txt")));
    EXPECT_EQ(ReadBytes(s.Path("out/good.txt")), "older and intact");
    int files = 0;
    for ([[maybe_unused]] const auto& e : fs::directory_iterator(s.Path("out")))
        ++files;
    EXPECT_EQ(files, 1); // no temporary file left behind
}
