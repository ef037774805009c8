// Damaged archives: each broken field gives the documented result, never a crash, a
// huge allocation or data beyond what the directory declared.
#include "archive_util.h"

#include <gtest/gtest.h>

#include <filesystem>

using namespace archtest;

namespace {

const std::string kText = Payload(5000, 4);

// Two entries, stored then deflated, and a comment; offsets of the parts are known.
std::string Base()
{
    return MakeZip({StoredEntry("s.jpg", kText), DeflatedEntry("d.jpg", kText)}, "[Pack]");
}

std::size_t EndRecord(const std::string& z) { return z.rfind(std::string("PK\x05\x06", 4)); }
std::size_t Central(const std::string& z, int index)
{
    std::size_t at = z.find(std::string("PK\x01\x02", 4));
    while (index-- > 0)
        at = z.find(std::string("PK\x01\x02", 4), at + 1);
    return at;
}
void Put(std::string& z, std::size_t at, std::uint64_t value, int bytes) { z.replace(at, bytes, Le(value, bytes)); }

struct Case {
    const char* what;
    std::string bytes;
};

} // namespace

TEST(ArchiveDamage, EveryTruncationReadsEmpty)
{
    Scratch s;
    const std::string z = Base();
    for (std::size_t cut = 0; cut < z.size(); ++cut) {
        // A fresh name each time: truncating one file over and over makes the file
        // system flush it on every close.
        const std::string path = s.Path("t" + std::to_string(cut) + ".zip");
        WriteBytes(path, z.substr(0, cut));
        // Shorter prefixes lack the end record; the longer ones keep it and lose
        // comment bytes only.
        Delivery d = DeliverAll(path);
        std::filesystem::remove(path);
        EXPECT_EQ(d.result, 0) << cut;
        if (cut < EndRecord(z) + 22) {
            EXPECT_TRUE(d.data.empty()) << cut;
        }
    }
}

TEST(ArchiveDamage, BrokenDirectoryReadsAsEmptyArchive)
{
    const std::string base = Base();
    std::vector<Case> cases;
    {
        std::string z = base;
        z[Central(z, 1)] = 'X'; // second directory signature
        cases.push_back({"flipped directory signature", z});
    }
    {
        std::string z = base;
        Put(z, EndRecord(z) + 10, 65000, 2); // count far beyond the directory
        cases.push_back({"count too large", z});
    }
    {
        std::string z = base;
        Put(z, EndRecord(z) + 10, 3, 2); // one more than there is
        Put(z, EndRecord(z) + 8, 3, 2);
        cases.push_back({"count one too many", z});
    }
    {
        std::string z = base;
        Put(z, EndRecord(z) + 16, 0xFFFFFFF0u, 4);
        cases.push_back({"offset past the end", z});
    }
    {
        std::string z = base;
        Put(z, EndRecord(z) + 16, Central(z, 0) + 1, 4);
        cases.push_back({"offset off by one", z});
    }
    {
        std::string z = base;
        Put(z, EndRecord(z) + 4, 1, 2);
        cases.push_back({"disk number", z});
    }
    {
        std::string z = base;
        Put(z, Central(z, 0) + 28, 60000, 2); // name length past the directory
        cases.push_back({"name length", z});
    }
    {
        // ZIP64 markers without a locator, then with a locator whose record lies.
        std::string z = base;
        Put(z, EndRecord(z) + 10, 0xFFFF, 2);
        cases.push_back({"zip64 count without locator", z});
        std::size_t end = EndRecord(base);
        std::string record = Le(0x06064b50, 4) + Le(44, 8) + Le(45, 2) + Le(45, 2) + Le(0, 4) + Le(0, 4) +
                             Le(0xFFFFFFFFFFull, 8) + Le(0xFFFFFFFFFFull, 8) + Le(0, 8) + Le(Central(base, 0), 8);
        std::string locator = Le(0x07064b50, 4) + Le(0, 4) + Le(end, 8) + Le(1, 4);
        std::string z64 = base.substr(0, end) + record + locator + base.substr(end);
        Put(z64, EndRecord(z64) + 10, 0xFFFF, 2);
        cases.push_back({"zip64 count huge", z64});
    }

    Scratch s;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        WriteBytes(s.Path("b.zip"), c.bytes);
        archiva::zip z(s.Path("b.zip"));
        EXPECT_EQ(z.ReadDirectory(), 0u);
        EXPECT_TRUE(z.Entries.empty());
        EXPECT_EQ(z.Comment, "");
        EXPECT_EQ(z.Error, 0);
    }
}

TEST(ArchiveDamage, BrokenEntriesFailAloneAndTheRunGoesOn)
{
    const std::string base = Base();
    const std::size_t storedData = 30 + 5;
    const std::size_t deflatedLocal = base.find(std::string("PK\x03\x04", 4), 1);
    struct EntryCase {
        const char* what;
        std::string bytes;
        int code; // for s.jpg; d.jpg always decodes
    };
    std::vector<EntryCase> cases;
    {
        std::string z = base;
        z[storedData + 100] ^= 0x40;
        cases.push_back({"flipped data byte", z, archiva::ErrorCrc});
    }
    {
        std::string z = base;
        Put(z, Central(z, 0) + 16, Crc32(kText) ^ 1, 4);
        cases.push_back({"wrong crc", z, archiva::ErrorCrc});
    }
    {
        std::string z = base;
        Put(z, Central(z, 0) + 10, 12, 2); // bzip2
        cases.push_back({"other method", z, archiva::ErrorUnsupportedMethod});
    }
    {
        std::string z = base;
        Put(z, Central(z, 0) + 20, 0x7FFFFFF0, 4);
        cases.push_back({"compressed size past the file", z, archiva::ErrorCrc});
    }
    {
        std::string z = base;
        Put(z, Central(z, 0) + 42, 0x7FFFFFF0, 4);
        cases.push_back({"local offset past the file", z, archiva::ErrorCrc});
    }
    {
        std::string z = base;
        Put(z, Central(z, 0) + 42, 7, 4);
        cases.push_back({"local offset into the data", z, archiva::ErrorCrc});
    }
    {
        std::string z = base;
        Put(z, Central(z, 0) + 20, 0, 4);
        Put(z, Central(z, 0) + 24, 0, 4); // empty entry: nothing to check but the CRC
        cases.push_back({"sizes zeroed", z, archiva::ErrorCrc});
    }

    Scratch s;
    for (const EntryCase& c : cases) {
        SCOPED_TRACE(c.what);
        WriteBytes(s.Path("e.zip"), c.bytes);
        Delivery d = DeliverAll(s.Path("e.zip"));
        EXPECT_EQ(d.result, c.code);
        EXPECT_EQ(d.errors, (std::vector<std::pair<std::string, int>>{{"s.jpg", c.code}}));
        EXPECT_TRUE(d.data["d.jpg"] == kText);
        EXPECT_EQ(d.ended, std::vector<std::string>{"d.jpg"});
        // Left unselected, the same damage raises nothing.
        EXPECT_EQ(DeliverAll(s.Path("e.zip"), {}, "d.jpg").result, 0);
    }

    // A ZIP64 local offset beyond any file is the entry's damage, not a file error
    // that would end the run.
    RawEntry far = StoredEntry("far.jpg", "x");
    far.extra = Le(0x0001, 2) + Le(8, 2) + Le(0x9000000000000000ull, 8);
    std::string farZip = MakeZip({far, StoredEntry("next.jpg", "y")});
    Put(farZip, Central(farZip, 0) + 42, 0xFFFFFFFFu, 4);
    WriteBytes(s.Path("far.zip"), farZip);
    Delivery f = DeliverAll(s.Path("far.zip"));
    EXPECT_EQ(f.errors, (std::vector<std::pair<std::string, int>>{{"far.jpg", archiva::ErrorCrc}}));
    EXPECT_EQ(f.data["next.jpg"], "y");

    std::string z = base;
    z[deflatedLocal + 30 + 5 + 10] ^= 0xFF; // inside the deflate stream
    WriteBytes(s.Path("d.zip"), z);
    Delivery d = DeliverAll(s.Path("d.zip"));
    EXPECT_EQ(d.errors, (std::vector<std::pair<std::string, int>>{{"d.jpg", archiva::ErrorCrc}}));
}

TEST(ArchiveDamage, OpenErrorsNameTheArchive)
{
    Scratch s;
    std::filesystem::create_directories(s.Path("folder.zip"));
    const std::pair<std::string, int> cases[] = {
        {s.Path("missing.zip"), archiva::ErrorFileNotFound},
        {s.Path("no/such/folder.zip"), archiva::ErrorPathNotFound},
        {s.Path("folder.zip"), archiva::ErrorAccessDenied},
    };
    for (const auto& [path, code] : cases) {
        Delivery d = DeliverAll(path);
        EXPECT_EQ(d.result, code) << path;
        EXPECT_EQ(d.errors, (std::vector<std::pair<std::string, int>>{{path, code}}));
        archiva::zip z(path);
        EXPECT_EQ(z.Error, code);
        EXPECT_EQ(z.ReadDirectory(), 0u);
    }
}

// The fuzz seeds are archives from real tools, checked in: they decode as made.
TEST(ArchiveDamage, FuzzSeedsDecode)
{
    const std::filesystem::path seeds =
        std::filesystem::path(TestDataDir().toStdString()).parent_path().parent_path() / "fuzz/archive/corpus";
    int seen = 0;
    for (const auto& entry : std::filesystem::directory_iterator(seeds)) {
        SCOPED_TRACE(entry.path().filename().string());
        Delivery d = DeliverAll(entry.path().string(), "secret");
        const bool deflate64 = entry.path().filename() == "deflate64.zip";
        EXPECT_EQ(d.result, deflate64 ? archiva::ErrorUnsupportedMethod : 0);
        EXPECT_FALSE(d.data.empty());
        ++seen;
    }
    EXPECT_GE(seen, 10);
}
