// The application record: names and addresses other parts build on.
#include "core/product.h"

#include <QUrl>

#include <gtest/gtest.h>

TEST(Product, FieldsAndHowTheyAreBuiltFromEachOther)
{
    const TProduct p("/opt/ambience/");
    EXPECT_EQ(p.ProductName, "Ambience");
    EXPECT_EQ(p.ProductTitle, p.ProductName + QChar(0x2122));
    EXPECT_EQ(p.ProductVersion, "3.00");
    EXPECT_TRUE(p.NoticeLine.startsWith(QChar(0x00A9)));
    EXPECT_EQ(p.RegistryRoot, "\\Software\\Ambience\\Ambience");
    EXPECT_EQ(p.OptionsKey, p.RegistryRoot + "\\Options");
    EXPECT_TRUE(p.SiteAddress.endsWith('/'));
    EXPECT_EQ(p.ArtPageAddress, p.SiteAddress + "art/");
    EXPECT_TRUE(p.SupportAddress.contains('@'));
    // The site pages are the local ones beside the program.
    EXPECT_EQ(QUrl(p.SiteAddress).toLocalFile(), "/opt/ambience/site/");
}

TEST(Product, ProgramFolderWithSpacesGivesAValidSiteAddress)
{
    const TProduct p("/home/a user/My Programs/");
    const QUrl site(p.SiteAddress);
    ASSERT_TRUE(site.isValid());
    EXPECT_EQ(site.toLocalFile(), "/home/a user/My Programs/site/");
    EXPECT_EQ(QUrl(p.SiteAddress).resolved(QUrl("help.html")).toLocalFile(), "/home/a user/My Programs/site/help.html");
}
