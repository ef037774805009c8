// Picture names, pack descriptions and picture order: the pure parts of a pack.
#include "packs/description.h"
#include "packs/ordering.h"
#include "packs/pic.h"

#include <gtest/gtest.h>

namespace {

struct NameCase {
    const char* entry;
    int number;
    int year;
    const char* title;
    const char* author;
};

TEST(ParsePictureName, ReadsNumberYearTitleAuthor)
{
    const NameCase cases[] = {
        {"07 - 1503 - Portrait - Painter.jpg", 7, 1503, "Portrait", "Painter"},
        {"1503 - Portrait.jpg", 0, 1503, "Portrait", ""},
        {"Portrait.wmf", 0, 0, "Portrait", ""},
        // Zero is no number, and five digits are neither number nor year.
        {"000 - Portrait.jpg", 0, 0, "000", "Portrait"},
        {"12345 - Portrait.jpg", 0, 0, "12345", "Portrait"},
        // A hyphen without blanks does not separate; "|" does.
        {"A-B.jpg", 0, 0, "A-B", ""},
        {"3|1999|Sky|Someone.emf", 3, 1999, "Sky", "Someone"},
        // Folders (either separator, and a drive colon) and the extension go.
        {"Art/Sub/Title.JPG", 0, 0, "Title", ""},
        {"Art\\Old.v2 - Name.jpg", 0, 0, "Old.v2", "Name"},
        {"C:Drive.jpg", 0, 0, "Drive", ""},
        // Signs are part of a number; empty fields still count as fields.
        {"-5 - -900 - Minus.jpg", -5, -900, "Minus", ""},
        {" - Untitled - .jpg", 0, 0, "", "Untitled"},
        {"12 - 2001.jpg", 12, 2001, "12 - 2001.jpg", ""},
        {"1 - 2 - 3 - 4 - 5.jpg", 1, 0, "2", "3"},
        // A four-digit first field is the year, never the number.
        {"2020 - 12 - Title.jpg", 0, 2020, "12", "Title"},
        {"noext", 0, 0, "noext", ""},
    };
    for (const NameCase& c : cases) {
        SCOPED_TRACE(c.entry);
        const TPic pic = ParsePictureName(c.entry);
        EXPECT_EQ(pic.EntryName, c.entry);
        EXPECT_EQ(pic.Number, c.number);
        EXPECT_EQ(pic.Year, c.year);
        EXPECT_EQ(pic.Title, c.title);
        EXPECT_EQ(pic.Author, c.author);
    }
}

TEST(PackDescription, SectionsKeysAndCase)
{
    const auto d = packs::PackDescription::Parse("name=ignored before any section\n"
                                                 "; a comment\r\n"
                                                 "  [ PACK ]  \r\r\n"
                                                 "NAME = First \t\n"
                                                 "icon=7\n"
                                                 "not a key line\n"
                                                 "Label=a=b\n"
                                                 "[Other]\n"
                                                 "Name=Other\n"
                                                 "[pack]\n"
                                                 "Name=Second\n"
                                                 "name=Third\n"
                                                 "Icon=twelve\n"
                                                 "PreviewPicture=99999999999\n"
                                                 "Author=\n");
    // Only the last "Pack" section counts; within it the last occurrence of a key.
    EXPECT_EQ(d.Text("Pack", "Name"), "Third");
    EXPECT_EQ(d.Integer("Pack", "Icon", 0), 0) << "not a number: default";
    EXPECT_EQ(d.Integer("Pack", "PreviewPicture", 4), 4) << "out of range: default";
    EXPECT_EQ(d.Value("Pack", "Label"), std::nullopt) << "the first Pack section is not read";
    EXPECT_EQ(d.Value("Pack", "Author"), std::optional<std::string>(""));
    EXPECT_EQ(d.Text("OTHER", "name"), "Other");
    EXPECT_FALSE(d.HasSection("Missing"));

    const auto first = packs::PackDescription::Parse("[Pack]\nName=First\nicon=-3\nLabel=a=b\n");
    EXPECT_EQ(first.Integer("Pack", "Icon"), -3);
    EXPECT_EQ(first.Text("Pack", "Label"), "a=b") << "the value runs past further \"=\"";
}

TEST(PackDescription, LineEndsOfEveryKind)
{
    // Info-ZIP's zip -z turns CR LF into CR CR LF; old Macs wrote CR alone.
    for (const char* text : {"[Pack]\r\r\nName=X\r\r\nIcon=2", "[Pack]\rName=X\rIcon=2\r", "[Pack]\nName=X\nIcon=2\n",
                             "\xEF\xBB\xBF[Pack]\nName=X\nIcon=2"}) {
        const auto d = packs::PackDescription::Parse(text);
        EXPECT_EQ(d.Text("Pack", "Name"), "X");
        EXPECT_EQ(d.Integer("Pack", "Icon"), 2);
    }
    EXPECT_FALSE(packs::PackDescription::Parse("Name=X").HasSection("Pack"));
}

std::vector<TPic> Pics(std::initializer_list<const char*> names, const std::string& packAuthor = {})
{
    std::vector<TPic> pics;
    for (const char* n : names) {
        TPic p = ParsePictureName(n);
        if (p.Author.empty())
            p.Author = packAuthor;
        pics.push_back(p);
    }
    return pics;
}

std::vector<std::string> Titles(const std::vector<TPic>& pics)
{
    std::vector<std::string> t;
    for (const TPic& p : pics)
        t.push_back(p.Title);
    return t;
}

TEST(OrderPictures, GroupsUnnumberedPicturesByArtist)
{
    auto pics = Pics({"1900 - A late - A.jpg", "1880 - A early - A.jpg", "1850 - B only - B.jpg"});
    packs::OrderPictures(pics, "");
    EXPECT_EQ(Titles(pics), (std::vector<std::string>{"B only", "A early", "A late"}));

    // An undated picture puts its artist first; equal group years follow by name.
    pics = Pics({"1700 - Z1 - Zed.jpg", "1900 - M1 - Em.jpg", "M0 - Em.jpg", "1700 - Y1 - Why.jpg", "1950 - Z2 - Zed.jpg"});
    packs::OrderPictures(pics, "");
    EXPECT_EQ(Titles(pics), (std::vector<std::string>{"M0", "M1", "Y1", "Z1", "Z2"}));
}

TEST(OrderPictures, PlainSortWithPackAuthorOrNumbers)
{
    // The pack's own author: plain sort by author, year, title (no grouping).
    auto pics = Pics({"1900 - A late - A.jpg", "1850 - B only - B.jpg", "1880 - A early - A.jpg"}, "Pack");
    packs::OrderPictures(pics, "Pack");
    EXPECT_EQ(Titles(pics), (std::vector<std::string>{"A early", "A late", "B only"}));

    // Numbered pictures: the number decides, and stays as written.
    pics = Pics({"3 - 1800 - C - Z.jpg", "1 - 1990 - A - Y.jpg", "2 - 1700 - B - X.jpg"});
    packs::OrderPictures(pics, "");
    EXPECT_EQ(Titles(pics), (std::vector<std::string>{"A", "B", "C"}));
    EXPECT_EQ(pics[0].Number, 1);

    // Texts compare byte by byte: upper case before lower case, prefixes first.
    pics = Pics({"b.jpg", "B.jpg", "Ba.jpg", "a.jpg"}, "Same");
    packs::OrderPictures(pics, "Same");
    EXPECT_EQ(Titles(pics), (std::vector<std::string>{"B", "Ba", "a", "b"}));
}

} // namespace

// "Credit=plain" marks a pack of public-domain works; any other value, or none, does not.
TEST(PackDescription, PlainCreditKey)
{
    struct Case {
        const char* text;
        bool plain;
    };
    const Case cases[] = {
        {"[Pack]\nName=Museum\nCredit=plain\n", true},
        {"[Pack]\r\nName=Museum\r\nCredit=PLAIN\r\n", true},
        {"[Pack]\nName=Museum\n", false},
        {"[Pack]\nCredit=plainly\n", false},
        {"[Other]\nCredit=plain\n[Pack]\nName=x\n", false},
        {"[Pack]\nCredit=plain\nCredit=copyright\n", false},
    };
    for (const Case& c : cases)
        EXPECT_EQ(packs::PlainCredit(packs::PackDescription::Parse(c.text)), c.plain) << c.text;
}
