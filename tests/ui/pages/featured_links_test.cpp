#include "ui/featured_links.h"

#include <gtest/gtest.h>

namespace {

TEST(FeaturedLinks, SectionsAreEntriesInTextOrderWithEmptyDefaults)
{
    const auto links = ui::ParseFeaturedLinks(QStringLiteral(
        "\r\nName=before any section\r\n[9]\r\nname = Zebra\u2122 \r\nLINK=https://a.example/?q=1&r=2\r\n"
        "Link=https://ignored.example/\r\n; a comment\r\n# another\r\nno equals sign\r\n=no key\r\n"
        "[1]\nDescription=Only this\n[x]\rLink2=mail@b.example\r"));
    ASSERT_EQ(links.size(), 3u);
    // The section names play no part: position counts.
    EXPECT_EQ(links[0].name, QStringLiteral("Zebra\u2122"));
    EXPECT_EQ(links[0].link, "https://a.example/?q=1&r=2"); // "=" inside the value stays
    EXPECT_TRUE(links[0].link2.isEmpty());
    EXPECT_TRUE(links[0].description.isEmpty());
    EXPECT_TRUE(links[1].name.isEmpty());
    EXPECT_EQ(links[1].description, "Only this");
    EXPECT_EQ(links[2].link2, "mail@b.example");
    EXPECT_TRUE(ui::ParseFeaturedLinks(QStringLiteral("Name=x\n\n")).empty());
}

} // namespace
