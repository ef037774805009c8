// Decryption, size limits, chunking and cancellation on archives built byte by byte.
#include "archive_util.h"

#include "archive/aes_crypto.h"
#include "archive/traditional_crypto.h"

#include <gtest/gtest.h>

using namespace archtest;

namespace {

// A stored entry encrypted the traditional way, with the given check bytes.
RawEntry Traditional(const std::string& name, const std::string& contents, const std::string& password,
                     unsigned char check10, unsigned char check11)
{
    RawEntry e = StoredEntry(name, contents);
    std::string plain = "0123456789" + std::string(1, char(check10)) + std::string(1, char(check11)) + contents;
    archiva::traditional_crypto c;
    c.Init(password);
    c.Encrypt(reinterpret_cast<unsigned char*>(plain.data()), plain.size());
    e.data = plain;
    e.flags = 1;
    return e;
}

// An AE-2 entry of `inner` (already stored or deflated with `method`).
RawEntry Aes(const std::string& name, RawEntry inner, const std::string& password, int strength)
{
    RawEntry e = inner;
    e.name = name;
    std::string salt(archiva::aes_crypto::SaltSize(strength), '\0');
    for (std::size_t i = 0; i < salt.size(); ++i)
        salt[i] = char(i * 37 + 11);
    archiva::aes_crypto c;
    EXPECT_TRUE(c.Init(password, strength, reinterpret_cast<const unsigned char*>(salt.data()), nullptr));
    std::string data = inner.data;
    c.Encrypt(reinterpret_cast<unsigned char*>(data.data()), data.size());
    unsigned char code[archiva::aes_crypto::CodeSize];
    c.Code(code);
    std::string verifier(reinterpret_cast<const char*>(c.DerivedVerifier()), 2);
    e.data = salt + verifier + data + std::string(reinterpret_cast<const char*>(code), sizeof code);
    e.method = 99;
    e.flags = 1;
    e.crc = 0; // AE-2
    e.extra = Le(0x9901, 2) + Le(7, 2) + Le(2, 2) + "AE" + std::string(1, char(strength)) + Le(inner.method, 2);
    return e;
}

} // namespace

TEST(ArchiveDecoding, TraditionalHeaderCheckAcceptsTimeOrCrcByte)
{
    Scratch s;
    const std::string text = "pictures of a gallery";
    const std::uint32_t crc = Crc32(text);
    const std::uint16_t time = 0x6000;
    unsigned char crcHigh = crc >> 24;
    unsigned char other = (crcHigh == 0x12 || (time >> 8) == 0x12) ? 0x13 : 0x12;
    ASSERT_NE(crcHigh, time >> 8);
    std::vector<RawEntry> entries = {
        Traditional("time", text, "pw", time & 0xFF, time >> 8),
        Traditional("crc", text, "pw", 0x55, crcHigh),
        Traditional("neither", text, "pw", time & 0xFF, other),
        Traditional("time-high-only", text, "pw", (time & 0xFF) ^ 1, time >> 8),
    };
    WriteBytes(s.Path("t.zip"), MakeZip(entries));
    Delivery d = DeliverAll(s.Path("t.zip"), "pw");
    EXPECT_EQ(d.data["time"], text);
    EXPECT_EQ(d.data["crc"], text);
    EXPECT_EQ(d.data["neither"], "");
    EXPECT_EQ(d.errors, (std::vector<std::pair<std::string, int>>{{"neither", 1216}, {"time-high-only", 1216}}));
    EXPECT_EQ(d.result, archiva::ErrorWrongPassword);

    // About one wrong password in 256 passes the one-byte check; the CRC catches it.
    std::string slipping;
    for (int i = 0; i < 5000 && slipping.empty(); ++i) {
        std::string header = entries[1].data.substr(0, 12);
        archiva::traditional_crypto c;
        c.Init("wrong" + std::to_string(i));
        if (c.DecryptHeader(reinterpret_cast<unsigned char*>(header.data()), time, crc))
            slipping = "wrong" + std::to_string(i);
    }
    ASSERT_FALSE(slipping.empty());
    Delivery w = DeliverAll(s.Path("t.zip"), slipping, "crc");
    EXPECT_EQ(w.errors, (std::vector<std::pair<std::string, int>>{{"crc", archiva::ErrorCrc}}));
}

TEST(ArchiveDecoding, AesAcrossChunksAndAuthentication)
{
    Scratch s;
    const std::string big = Payload(200003, 7); // not a multiple of 16 or of 65535
    RawEntry stored = Aes("stored", StoredEntry("", big), "pässwörd", 3);
    RawEntry deflated = Aes("deflated", DeflatedEntry("", big), "pässwörd", 1);
    // Bytes behind the end of the deflate stream still count for the HMAC.
    RawEntry padded = DeflatedEntry("", "short text");
    padded.data += "padding";
    padded = Aes("padded", padded, "pässwörd", 2);
    WriteBytes(s.Path("ok.zip"), MakeZip({stored, deflated, padded}));
    Delivery d = DeliverAll(s.Path("ok.zip"), "pässwörd");
    EXPECT_EQ(d.result, 0);
    EXPECT_TRUE(d.data["stored"] == big);
    EXPECT_TRUE(d.data["deflated"] == big);
    EXPECT_EQ(d.data["padded"], "short text");

    EXPECT_EQ(DeliverAll(s.Path("ok.zip"), "passwort").result, archiva::ErrorWrongPassword);

    // A changed byte of the data, or of the code, fails authentication.
    RawEntry badData = stored;
    badData.data[40] ^= 1;
    RawEntry badCode = deflated;
    badCode.data.back() ^= 0x80;
    WriteBytes(s.Path("bad.zip"), MakeZip({badData, badCode}));
    Delivery b = DeliverAll(s.Path("bad.zip"), "pässwörd");
    EXPECT_EQ(b.errors, (std::vector<std::pair<std::string, int>>{{"stored", 23}, {"deflated", 23}}));
}

TEST(ArchiveDecoding, NeverDeliversMoreThanDeclared)
{
    Scratch s;
    RawEntry stored = StoredEntry("stored", "abcdefgh");
    stored.uncompressedSize = 3;
    RawEntry bomb = DeflatedEntry("bomb", std::string(1 << 20, '\0'));
    bomb.uncompressedSize = 1000;
    RawEntry shortData = StoredEntry("short", "abc");
    shortData.uncompressedSize = 10; // says more than there is
    RawEntry empty = StoredEntry("empty", "");
    empty.method = 8; // no stream at all: still an empty entry, not an error
    WriteBytes(s.Path("o.zip"), MakeZip({stored, bomb, shortData, empty}));
    Delivery d = DeliverAll(s.Path("o.zip"));
    EXPECT_EQ(d.ended, std::vector<std::string>{"empty"});
    EXPECT_LE(d.data["stored"].size(), 3u);
    EXPECT_LE(d.data["bomb"].size(), 1000u);
    EXPECT_EQ(d.errors, (std::vector<std::pair<std::string, int>>{{"stored", 23}, {"bomb", 23}, {"short", 23}}));
}

TEST(ArchiveDecoding, ChunksEventsAndCancellation)
{
    Scratch s;
    const std::string big = Payload(150000, 9);
    WriteBytes(s.Path("c.zip"), MakeZip({DeflatedEntry("big", big), StoredEntry("next", "n")}));

    std::vector<std::size_t> sizes;
    int chunkEvents = 0;
    archiva::task job;
    job.OnEvent = [&](int event, archiva::task&, archiva::entry* item) {
        if (event == archiva::EventEntryBegin)
            item->Action = archiva::ActionDeliver;
        if (event == archiva::EventChunk)
            ++chunkEvents;
        if (event == archiva::EventOpened) {
            EXPECT_EQ(job.Archive()->Entries.size(), 2u);
        }
    };
    job.OnData = [&](archiva::task&, archiva::entry&, const unsigned char*, std::size_t n) { sizes.push_back(n); };
    EXPECT_EQ(job.Run(s.Path("c.zip")), 0);
    EXPECT_EQ(sizes, (std::vector<std::size_t>{65535, 65535, 150000 - 2 * 65535, 1}));
    EXPECT_EQ(chunkEvents, 2);
    EXPECT_EQ(job.Archive(), nullptr);

    // Cancelling in the first chunk stops the run; the next entry is never offered.
    std::vector<std::string> offered;
    archiva::task cancel;
    cancel.OnEvent = [&](int event, archiva::task& t, archiva::entry* item) {
        if (event == archiva::EventEntryBegin) {
            offered.push_back(item->Name);
            item->Action = archiva::ActionDeliver;
        }
        if (event == archiva::EventError) {
            EXPECT_EQ(t.FailedItem, s.Path("c.zip"));
        }
    };
    cancel.OnData = [](archiva::task& t, archiva::entry&, const unsigned char*, std::size_t) {
        t.Error = archiva::ErrorCancelled;
    };
    EXPECT_EQ(cancel.Run(s.Path("c.zip")), archiva::ErrorCancelled);
    EXPECT_EQ(offered, std::vector<std::string>{"big"});
    EXPECT_EQ(cancel.ErrorMessage, "The operation was canceled by the user");
}
