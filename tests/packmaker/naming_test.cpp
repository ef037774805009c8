// Entry names the pack maker writes, read back by the pack reader; file names,
// dates and CSV rows it takes records from.
#include "packmaker/csv_records.h"
#include "packmaker/entry_name.h"
#include "packs/pic.h"

#include <gtest/gtest.h>

#include <random>

namespace {

using packmaker::PictureRecord;

TPic ReadBack(const PictureRecord& record)
{
    return ParsePictureName("Folder/" + packmaker::EntryStem(record) + ".jpg");
}

struct RoundTrip {
    PictureRecord record;
    // what the reader gives back: number, year, title, author
    int number;
    int year;
    const char* title;
    const char* author;
};

// One case per rule of the reader that a text could fall foul of.
TEST(EntryStem, EveryRuleReadsBackAsMeant)
{
    const RoundTrip cases[] = {
        {{3, 1889, "Starry Night", "Vincent"}, 3, 1889, "Starry Night", "Vincent"},
        {{0, 0, "Plain", ""}, 0, 0, "Plain", ""},
        // " - " and "|" split fields: written with an en dash and a broken bar.
        {{0, 1900, "Sun - Moon", "A | B"}, 0, 1900, "Sun \u2013 Moon", "A \u00A6 B"},
        // A field ending in " -" would join the separator after it.
        {{0, 0, "Wait -", "Who -"}, 0, 0, "Wait \u2013", "Who \u2013"},
        {{0, 0, "- Dash first", "- me"}, 0, 0, "- Dash first", "- me"},
        // Folder separators and the drive colon.
        {{0, 0, "AC/DC: Live \\ Loud", "x/y"}, 0, 0, "AC\u2215DC\u2236 Live \u29F5 Loud", "x\u2215y"},
        // Trailing dots (file systems drop them); inner dots stay.
        {{0, 0, "Etc.", "J.S. Bach..."}, 0, 0, "Etc\u2024", "J.S. Bach\u2024\u2024\u2024"},
        {{0, 0, "v1.2 final", ""}, 0, 0, "v1.2 final", ""},
        // A title of digits would be taken for the year or the number...
        {{0, 0, "1984", "Orwell"}, 0, 0, "1984\u00A0", "Orwell"},
        {{0, 0, "12", ""}, 0, 0, "12\u00A0", ""},
        {{0, 0, "-7", ""}, 0, 0, "-7\u00A0", ""},
        {{5, 0, "2001", ""}, 5, 0, "2001\u00A0", ""},
        // ... but not after a year, nor short digits after a number.
        {{0, 1949, "1984", ""}, 0, 1949, "1984", ""},
        {{5, 0, "12", ""}, 5, 0, "12", ""},
        {{0, 0, "000", ""}, 0, 0, "000", ""},
        {{0, 0, "12345", ""}, 0, 0, "12345", ""},
        // Years and numbers of every width; what cannot be written is left out.
        {{0, 5, "Early", ""}, 0, 5, "Early", ""},
        {{-5, -900, "Before", ""}, -5, -900, "Before", ""},
        {{0, -44, "Caesar", ""}, 0, -44, "Caesar", ""},
        {{1000, 10000, "Too wide", ""}, 0, 0, "Too wide", ""},
        // Line breaks from metadata become blanks.
        {{0, 0, "Two\nlines", "tab\there"}, 0, 0, "Two lines", "tab here"},
        {{0, 0, "Ünïcødé ✓", "Дюрер"}, 0, 0, "Ünïcødé ✓", "Дюрер"},
    };
    for (const RoundTrip& c : cases) {
        const TPic pic = ReadBack(c.record);
        SCOPED_TRACE(pic.EntryName);
        EXPECT_EQ(pic.Number, c.number);
        EXPECT_EQ(pic.Year, c.year);
        EXPECT_EQ(pic.Title, c.title);
        EXPECT_EQ(pic.Author, c.author);
    }
}

// The look-alikes mapped back to what they stand for, the added no-break space
// dropped: then any text made of the characters the rules treat specially reads
// back as written, and number and year are never disturbed.
std::string Plain(std::string text)
{
    const std::pair<std::string, std::string> back[] = {{"\u2013", "-"}, {"\u00A6", "|"}, {"\u2215", "/"},
                                                         {"\u29F5", "\\"}, {"\u2236", ":"}, {"\u2024", "."},
                                                         {"\u00A0", ""}};
    for (const auto& [from, to] : back)
        for (std::size_t at; (at = text.find(from)) != std::string::npos;)
            text.replace(at, from.size(), to);
    return text;
}

TEST(EntryStem, RandomTextsOfSpecialCharactersReadBack)
{
    const char* pieces[] = {" - ", "|", "/", "\\", ":", ".", "-", " ", "1", "9", "0", "a", "+"};
    std::mt19937 random(15);
    auto text = [&](int maxPieces) {
        std::string t;
        const int n = static_cast<int>(random() % static_cast<unsigned>(maxPieces + 1));
        for (int i = 0; i < n; ++i)
            t += pieces[random() % std::size(pieces)];
        return t;
    };
    for (int i = 0; i < 5000; ++i) {
        PictureRecord r;
        r.Number = random() % 3 == 0 ? static_cast<int>(random() % 1000) : 0;
        r.Year = random() % 2 == 0 ? static_cast<int>(random() % 10000) : 0;
        r.Title = text(6);
        r.Author = text(4);
        const TPic pic = ReadBack(r);
        SCOPED_TRACE("\"" + r.Title + "\" / \"" + r.Author + "\" as " + pic.EntryName);
        ASSERT_EQ(pic.Number, r.Number);
        ASSERT_EQ(pic.Year, r.Year);
        ASSERT_EQ(Plain(pic.Title), r.Title);
        ASSERT_EQ(Plain(pic.Author), r.Author);
    }
}

TEST(RecordFromFileName, TakesThePackNamingAndNothingElse)
{
    struct Case {
        const char* file;
        bool structured;
        int number, year;
        const char* title;
        const char* author;
    };
    const Case cases[] = {
        {"03 - 1889 - Title - Author.jpg", true, 3, 1889, "Title", "Author"},
        {"1889 - Title - Author.png", true, 0, 1889, "Title", "Author"},
        {"Title - Author.jpg", true, 0, 0, "Title", "Author"},
        {"Title.jpg", false, 0, 0, "Title", ""},
        {"IMG_1234.JPG", false, 0, 0, "IMG_1234", ""},
        {"1889.tif", true, 0, 1889, "", ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.file);
        bool structured = !c.structured;
        const PictureRecord r = packmaker::RecordFromFileName(c.file, structured);
        EXPECT_EQ(structured, c.structured);
        EXPECT_EQ(r.Number, c.number);
        EXPECT_EQ(r.Year, c.year);
        EXPECT_EQ(r.Title, c.title);
        EXPECT_EQ(r.Author, c.author);
    }
}

TEST(YearOfDate, FourLeadingDigitsOnly)
{
    const std::pair<const char*, int> cases[] = {
        {"1889-06-01", 1889}, {"1889:06:01 10:00:00", 1889}, {" 1503", 1503}, {"1503", 1503},
        {"12345", 0},         {"189", 0},                    {"about 1900", 0}, {"", 0}, {"0000-01-01", 0}};
    for (const auto& [date, year] : cases)
        EXPECT_EQ(packmaker::YearOfDate(date), year) << date;
}

TEST(CsvRecords, ReadsQuotedFieldsHeadersAndLooksUpByPathThenName)
{
    const auto plain = packmaker::ParseCsvRecords(
        "\xEF\xBB\xBF"
        "a.jpg,Sunflowers,Vincent,1888\r\n"
        "\"sub/b, c.png\",\"Title, with \"\"quotes\"\"\",\"Two\nLines\",\n"
        "\n"
        ",ignored,,\n");
    ASSERT_EQ(plain.error, "");
    ASSERT_EQ(plain.byFile.size(), 2u);
    const PictureRecord* a = packmaker::FindCsvRecord(plain, "x/a.jpg", "a.jpg");
    ASSERT_NE(a, nullptr);
    EXPECT_EQ(a->Title, "Sunflowers");
    EXPECT_EQ(a->Author, "Vincent");
    EXPECT_EQ(a->Year, 1888);
    const PictureRecord* b = packmaker::FindCsvRecord(plain, "sub/b, c.png", "b, c.png");
    ASSERT_NE(b, nullptr);
    EXPECT_EQ(b->Title, "Title, with \"quotes\"");
    EXPECT_EQ(b->Author, "Two\nLines");
    EXPECT_EQ(b->Year, 0);
    EXPECT_EQ(packmaker::FindCsvRecord(plain, "b, c.png", "b, c.png"), nullptr);

    // A header line may put the columns in any order.
    const auto named = packmaker::ParseCsvRecords("Year,Author,File,Title\n1500,Dürer,hare.tif,Hare\n");
    ASSERT_EQ(named.byFile.count("hare.tif"), 1u);
    EXPECT_EQ(named.byFile.at("hare.tif").Title, "Hare");
    EXPECT_EQ(named.byFile.at("hare.tif").Author, "Dürer");
    EXPECT_EQ(named.byFile.at("hare.tif").Year, 1500);

    EXPECT_NE(packmaker::ParseCsvRecords("a.jpg,\"open\n").error, "");
    EXPECT_NE(packmaker::ParseCsvRecords("title,author\nx,y\n").error, "");
}

} // namespace
