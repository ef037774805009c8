// Archives made by real tools during the run, read back and compared with what went in.
#include "archive_util.h"

#include <gtest/gtest.h>

#include <algorithm>

using namespace archtest;

namespace {

const std::map<std::string, std::string>& Files()
{
    static const std::map<std::string, std::string> files = {
        {"a.txt", Payload(150000, 1)}, // several 65535-byte chunks
        {"sub/b.bin", Payload(3000, 2)},
        {"empty.txt", ""},
    };
    return files;
}

std::vector<std::string> Names(const std::string& path)
{
    archiva::zip z(path);
    z.ReadDirectory();
    std::vector<std::string> names;
    for (const auto& e : z.Entries)
        names.push_back(e.Name);
    std::sort(names.begin(), names.end());
    return names;
}

// Every file came back byte for byte, with nothing reported.
void ExpectAllFiles(const std::string& path, const std::string& password = {})
{
    Delivery d = DeliverAll(path, password);
    EXPECT_EQ(d.result, 0);
    EXPECT_TRUE(d.errors.empty());
    for (const auto& [name, bytes] : Files()) {
        ASSERT_TRUE(d.data.count(name)) << name;
        EXPECT_TRUE(d.data[name] == bytes) << name << " differs";
    }
    EXPECT_EQ(d.totalSize, 150000u + 3000u);
    EXPECT_EQ(d.doneSize, d.totalSize);
}

// A wrong password never passes: each encrypted entry with data fails with 1216 or,
// when the one check byte matched by chance, 23.
void ExpectWrongPasswordRefused(const std::string& path)
{
    Delivery d = DeliverAll(path, "not the password");
    EXPECT_NE(d.result, 0);
    std::size_t refused = 0;
    for (const auto& [item, code] : d.errors) {
        EXPECT_TRUE(code == archiva::ErrorWrongPassword || code == archiva::ErrorCrc) << item << " " << code;
        ++refused;
    }
    EXPECT_GE(refused, 2u); // a.txt and sub/b.bin at least
}

} // namespace

TEST(ArchiveTools, InfoZipStoredDeflatedFoldersAndComment)
{
    REQUIRE_TOOL("zip");
    Scratch s;
    s.Put(Files());
    ASSERT_EQ(Shell(s.Path("in"), "zip -q -r -X -0 ../stored.zip a.txt sub empty.txt"), 0);
    ASSERT_EQ(Shell(s.Path("in"), "printf '[Pack]\\nName=Test\\n' | zip -q -r -X -9 -z ../deflated.zip a.txt sub empty.txt"), 0);

    for (const char* name : {"stored.zip", "deflated.zip"}) {
        SCOPED_TRACE(name);
        EXPECT_EQ(Names(s.Path(name)), (std::vector<std::string>{"a.txt", "empty.txt", "sub/", "sub/b.bin"}));
        ExpectAllFiles(s.Path(name));
    }
    archiva::zip z(s.Path("deflated.zip"));
    z.ReadDirectory();
    EXPECT_EQ(z.Comment, "[Pack]\r\nName=Test"); // zip -z writes CR LF line ends
    for (const auto& e : z.Entries) {
        EXPECT_EQ(e.IsDirectory(), e.Name == "sub/");
        if (e.Name == "a.txt") {
            EXPECT_EQ(e.Method, archiva::MethodDeflated);
        }
    }
    // A folder selected for delivery delivers nothing and is no error.
    Delivery d = DeliverAll(s.Path("deflated.zip"), {}, "sub/");
    EXPECT_EQ(d.result, 0);
    EXPECT_EQ(d.data["sub/"], "");
    EXPECT_TRUE(d.errors.empty());
}

TEST(ArchiveTools, InfoZipNonAsciiName)
{
    REQUIRE_TOOL("zip");
    Scratch s;
    const std::string name = "Caf\xC3\xA9 \xE2\x84\xA2 \xC3\x9C.txt"; // Café ™ Ü.txt
    s.Put({{name, "bonjour"}});
    ASSERT_EQ(Shell(s.Path("in"), "zip -q -X ../n.zip " + Quote(name)), 0);
    Delivery d = DeliverAll(s.Path("n.zip"));
    EXPECT_EQ(d.result, 0);
    EXPECT_EQ(d.data[name], "bonjour");
}

TEST(ArchiveTools, InfoZipTraditionalEncryption)
{
    REQUIRE_TOOL("zip");
    Scratch s;
    s.Put(Files());
    // Info-ZIP writes a data descriptor here, so its check bytes hold the DOS time.
    ASSERT_EQ(Shell(s.Path("in"), "zip -q -r -X -P secret ../p.zip a.txt sub empty.txt"), 0);
    // Streamed through a pipe it cannot seek back either.
    ASSERT_EQ(Shell(s.Path("in"), "cat a.txt | zip -q -P secret ../piped.zip - >/dev/null"), 0);
    ExpectAllFiles(s.Path("p.zip"), "secret");
    ExpectWrongPasswordRefused(s.Path("p.zip"));
    Delivery piped = DeliverAll(s.Path("piped.zip"), "secret");
    EXPECT_EQ(piped.result, 0);
    EXPECT_TRUE(piped.data["-"] == Files().at("a.txt"));
}

TEST(ArchiveTools, SevenZipZipCryptoAndAes)
{
    REQUIRE_TOOL("7zz");
    Scratch s;
    s.Put(Files());
    const std::pair<const char*, int> kinds[] = {{"ZipCrypto", 0}, {"AES128", 1}, {"AES192", 2}, {"AES256", 3}};
    for (const auto& [method, strength] : kinds) {
        SCOPED_TRACE(method);
        std::string out = std::string("../") + method + ".zip";
        ASSERT_EQ(Shell(s.Path("in"), std::string("7zz a -bd -bso0 -tzip -mem=") + method +
                                          " -psecret " + out + " a.txt sub empty.txt"), 0);
        std::string path = s.Path(std::string(method) + ".zip");
        archiva::zip z(path);
        z.ReadDirectory();
        for (const auto& e : z.Entries)
            if (e.Name == "a.txt") {
                EXPECT_EQ(e.AesStrength(), strength);
                EXPECT_EQ(bool(e.Method & archiva::EncryptedTraditional), strength == 0);
            }
        ExpectAllFiles(path, "secret");
        ExpectWrongPasswordRefused(path);
    }
}

TEST(ArchiveTools, SevenZipStoredAesAndDeflate64)
{
    REQUIRE_TOOL("7zz");
    Scratch s;
    s.Put(Files());
    ASSERT_EQ(Shell(s.Path("in"), "7zz a -bd -bso0 -tzip -mm=Copy -mem=AES256 -psecret ../copy.zip a.txt sub empty.txt"), 0);
    ExpectAllFiles(s.Path("copy.zip"), "secret");

    ASSERT_EQ(Shell(s.Path("in"), "7zz a -bd -bso0 -tzip -mm=Deflate64 ../d64.zip a.txt sub/b.bin"), 0);
    archiva::zip z(s.Path("d64.zip"));
    z.ReadDirectory();
    ASSERT_EQ(z.Entries.size(), 2u);
    Delivery d = DeliverAll(s.Path("d64.zip"));
    EXPECT_EQ(d.result, archiva::ErrorUnsupportedMethod);
    for (const auto& e : z.Entries) {
        EXPECT_EQ(e.Method, archiva::MethodDeflate64);
        EXPECT_EQ(d.data[e.Name], "");
    }
    EXPECT_EQ(d.errors.size(), 2u); // each entry reported, the run went on
}

TEST(ArchiveTools, PythonZip64CommentsAndManyEntries)
{
    REQUIRE_TOOL("python3");
    Scratch s;
    const std::string script = R"PY(
import zipfile, sys
with zipfile.ZipFile('z64.zip', 'w', zipfile.ZIP_DEFLATED) as z:
    z.comment = b'[Pack]\r\nName=Sixty-four'
    i = zipfile.ZipInfo('big.txt'); i.comment = b'entry comment'; i.compress_type = zipfile.ZIP_DEFLATED
    with z.open(i, 'w', force_zip64=True) as f:
        f.write(b'zip64 ' * 20000)
    z.writestr('small.txt', b'small')
with zipfile.ZipFile('many.zip', 'w', zipfile.ZIP_STORED) as z:
    for n in range(70000):
        z.writestr('e%05d' % n, b'x')
)PY";
    WriteBytes(s.Path("make.py"), script);
    ASSERT_EQ(Shell(s.Path(), "python3 make.py"), 0);

    archiva::zip z(s.Path("z64.zip"));
    EXPECT_EQ(z.ReadDirectory(), 6u * 20000 + 5);
    EXPECT_EQ(z.Comment, "[Pack]\r\nName=Sixty-four");
    Delivery d = DeliverAll(s.Path("z64.zip"));
    EXPECT_EQ(d.result, 0);
    EXPECT_EQ(d.data["big.txt"].size(), 6u * 20000);
    EXPECT_EQ(d.data["small.txt"], "small");

    // 70000 entries need the ZIP64 end record for their count.
    archiva::zip many(s.Path("many.zip"));
    EXPECT_EQ(many.ReadDirectory(), 70000u);
    ASSERT_EQ(many.Entries.size(), 70000u);
    EXPECT_EQ(many.Entries.back().Name, "e69999");
}

TEST(ArchiveTools, InfoZipForcedZip64AndBsdtar)
{
    Scratch s;
    s.Put(Files());
    bool any = false;
    if (HasTool("zip")) {
        ASSERT_EQ(Shell(s.Path("in"), "zip -q -r -X -fz ../fz.zip a.txt sub empty.txt"), 0);
        ExpectAllFiles(s.Path("fz.zip"));
        any = true;
    }
    if (HasTool("bsdtar")) {
        ASSERT_EQ(Shell(s.Path("in"), "bsdtar --format zip -cf ../bsd.zip a.txt sub empty.txt"), 0);
        ExpectAllFiles(s.Path("bsd.zip"));
        ASSERT_EQ(Shell(s.Path("in"), "bsdtar --format zip --options zip:compression=store -cf ../bsd0.zip a.txt sub empty.txt"), 0);
        ExpectAllFiles(s.Path("bsd0.zip"));
        any = true;
    }
    if (!any)
        GTEST_SKIP() << "neither zip nor bsdtar is installed";
}
