// End record search, names and the byte-level directory parsing.
#include "archive_util.h"

#include "archive/directory.h"
#include "archive/text.h"

#include <gtest/gtest.h>

using namespace archtest;

TEST(ArchiveDirectory, TinyOrRecordlessFilesReadEmpty)
{
    Scratch s;
    for (const std::string& bytes : {std::string(), std::string("PK\x05\x06", 4), std::string(21, '\0'),
                                     std::string(100000, 'x')}) {
        WriteBytes(s.Path("t.zip"), bytes);
        archiva::zip z(s.Path("t.zip"));
        EXPECT_EQ(z.ReadDirectory(), 0u);
        EXPECT_TRUE(z.Entries.empty());
        EXPECT_EQ(z.Comment, "");
        EXPECT_EQ(z.Error, 0);
        Delivery d = DeliverAll(s.Path("t.zip"));
        EXPECT_EQ(d.result, 0);
        EXPECT_EQ(d.totalSize, 0u);
    }
}

TEST(ArchiveDirectory, StraySignatureInCommentFallsBackToRealRecord)
{
    Scratch s;
    // The comment ends with something that looks like an end record announcing one
    // entry at offset 0; the real record precedes it.
    std::string fake = Le(0x06054b50, 4) + Le(0, 4) + Le(1, 2) + Le(1, 2) + Le(46, 4) + Le(0, 4) + Le(0, 2);
    std::string bytes = MakeZip({StoredEntry("one.txt", "1"), StoredEntry("two.txt", "22")}, "[Pack]" + fake);
    WriteBytes(s.Path("a.zip"), bytes);
    archiva::zip z(s.Path("a.zip"));
    EXPECT_EQ(z.ReadDirectory(), 3u);
    ASSERT_EQ(z.Entries.size(), 2u);
    EXPECT_EQ(z.Entries[1].Name, "two.txt");
    EXPECT_EQ(z.Comment.substr(0, 6), "[Pack]");
}

TEST(ArchiveDirectory, CommentRunningPastTheEnd)
{
    Scratch s;
    // Small archive: the comment is cut at the end of the file.
    std::string small = MakeZip({StoredEntry("a.jpg", "x")}, "[Pack]");
    small[small.size() - 6 - 2] = char(200); // comment length 200, 6 present
    WriteBytes(s.Path("small.zip"), small);
    archiva::zip z(s.Path("small.zip"));
    EXPECT_EQ(z.ReadDirectory(), 1u);
    EXPECT_EQ(z.Comment, "[Pack]");

    // From 65535 bytes on, it reads as empty; the entries still count.
    std::string big = MakeZip({StoredEntry("a.jpg", Payload(70000, 3))}, "[Pack]");
    big[big.size() - 6 - 2] = char(200);
    WriteBytes(s.Path("big.zip"), big);
    archiva::zip b(s.Path("big.zip"));
    EXPECT_EQ(b.ReadDirectory(), 70000u);
    EXPECT_EQ(b.Comment, "");
    EXPECT_EQ(b.Entries.size(), 1u);
}

TEST(ArchiveDirectory, LongestCommentIsFound)
{
    Scratch s;
    std::string comment(65535, 'c');
    WriteBytes(s.Path("c.zip"), MakeZip({StoredEntry("a", "x")}, comment));
    archiva::zip z(s.Path("c.zip"));
    EXPECT_EQ(z.ReadDirectory(), 1u);
    EXPECT_EQ(z.Comment.size(), 65535u);
}

TEST(ArchiveDirectory, NamesFromCodePage437OrUtf8)
{
    // 0x82 is é and 0xE1 is ß in code page 437; such bytes are no valid UTF-8.
    const unsigned char cp437[] = {'c', 'a', 'f', 0x82, ' ', 0xE1, 0x9C};
    EXPECT_EQ(archiva::StoredTextToUtf8(cp437, sizeof cp437, false), "caf\xC3\xA9 \xC3\x9F\xC2\xA3");
    const unsigned char utf8[] = {'c', 'a', 'f', 0xC3, 0xA9};
    EXPECT_EQ(archiva::StoredTextToUtf8(utf8, sizeof utf8, false), "caf\xC3\xA9");
    // Flagged as UTF-8 but broken: each bad byte becomes U+FFFD.
    const unsigned char broken[] = {'a', 0xC3, 'b'};
    EXPECT_EQ(archiva::StoredTextToUtf8(broken, sizeof broken, true), "a\xEF\xBF\xBD" "b");
    // Overlong forms and surrogates are no valid UTF-8.
    const unsigned char overlong[] = {0xC0, 0xAF};
    const unsigned char surrogate[] = {0xED, 0xA0, 0x80};
    EXPECT_FALSE(archiva::IsValidUtf8(overlong, 2));
    EXPECT_FALSE(archiva::IsValidUtf8(surrogate, 3));

    Scratch s;
    RawEntry e = StoredEntry(std::string(reinterpret_cast<const char*>(cp437), sizeof cp437), "x");
    RawEntry folder = StoredEntry("Art/Sub/", "");
    folder.externalAttributes = 0x10;
    WriteBytes(s.Path("n.zip"), MakeZip({e, folder}));
    archiva::zip z(s.Path("n.zip"));
    z.ReadDirectory();
    ASSERT_EQ(z.Entries.size(), 2u);
    EXPECT_EQ(z.Entries[0].Name, "caf\xC3\xA9 \xC3\x9F\xC2\xA3");
    EXPECT_TRUE(z.Entries[1].IsDirectory());
}

TEST(ArchiveDirectory, Zip64ExtraAndAesExtraFields)
{
    // Central header with 0xFFFFFFFF sizes and offset, values in the ZIP64 extra.
    std::string extra = Le(0x0001, 2) + Le(24, 2) + Le(5000000000ull, 8) + Le(4000000000ull, 8) + Le(7, 8);
    std::string header = Le(0x02014b50, 4) + Le(45, 2) + Le(45, 2) + Le(0, 2) + Le(8, 2) + Le(0, 4) +
                         Le(0, 4) + Le(0xFFFFFFFF, 4) + Le(0xFFFFFFFF, 4) + Le(1, 2) + Le(extra.size(), 2) +
                         Le(0, 2) + Le(0, 4) + Le(0, 4) + Le(0xFFFFFFFF, 4);
    std::string variable = "n" + extra;
    auto parse = [](const std::string& h, const std::string& v) {
        return archiva::ParseCentralHeader(reinterpret_cast<const unsigned char*>(h.data()),
                                           reinterpret_cast<const unsigned char*>(v.data()), v.size());
    };
    auto e = parse(header, variable);
    ASSERT_TRUE(e);
    EXPECT_EQ(e->UncompressedSize, 5000000000ull);
    EXPECT_EQ(e->CompressedSize, 4000000000ull);
    EXPECT_EQ(e->Offset, 7u);
    EXPECT_EQ(e->Method, archiva::MethodDeflated);

    // Too short a ZIP64 block: the needed values are missing.
    std::string shortExtra = Le(0x0001, 2) + Le(16, 2) + Le(1, 8) + Le(2, 8);
    std::string h2 = header;
    h2.replace(30, 2, Le(shortExtra.size(), 2));
    EXPECT_FALSE(parse(h2, "n" + shortExtra));

    // Method 99 with an AE-2 block for AES-192 over deflate; a bad vendor id is ignored.
    std::string aes = Le(0x9901, 2) + Le(7, 2) + Le(2, 2) + "AE" + std::string(1, '\x02') + Le(8, 2);
    std::string h3 = Le(0x02014b50, 4) + Le(51, 2) + Le(51, 2) + Le(1, 2) + Le(99, 2) + Le(0, 4) +
                     Le(0, 4) + Le(10, 4) + Le(10, 4) + Le(1, 2) + Le(aes.size(), 2) + Le(0, 2) +
                     Le(0, 4) + Le(0, 4) + Le(0, 4);
    auto a = parse(h3, "n" + aes);
    ASSERT_TRUE(a);
    EXPECT_EQ(a->AesStrength(), 2);
    EXPECT_EQ(a->Method & 0x0F, archiva::MethodDeflated);
    std::string badVendor = aes;
    badVendor[6] = 'X';
    auto b = parse(h3, "n" + badVendor);
    ASSERT_TRUE(b);
    EXPECT_EQ(b->Method, 0); // undecodable: 1630 when delivered
}
