// Settings as text: the listing and the checked NAME=VALUE changes of ambience-cli.
#include "settings/option_text.h"

#include "core/product.h"
#include "platform/registry.h"
#include "support/temp_env.h"

#include <gtest/gtest.h>

namespace {

class OptionTextTest : public ::testing::Test {
protected:
    TempEnv env;
    TProduct product{env.ProgramDir() + "/"};
    platform::Registry store{env.RegistryFile()};

};

} // namespace

TEST_F(OptionTextTest, AssignmentsAreCheckedAllBeforeAnyIsApplied)
{
    TOptions options(store);
    QString error;
    EXPECT_TRUE(ApplyOptionAssignments(options,
                                       {"backgroundtype=Embossed", "AutoChangeEnabled=false", "AutoChangeInterval=48",
                                        "ColorInfluence=5", "PictureSize=3", "ColorLightness=brighter"},
                                       &error));
    EXPECT_EQ(options.BackgroundType, 2);
    EXPECT_FALSE(options.AutoChangeEnabled);
    EXPECT_EQ(options.AutoChangeInterval, 48);
    EXPECT_EQ(options.ColorInfluence, 5);
    EXPECT_EQ(options.PictureSize, 3);
    EXPECT_EQ(options.ColorLightness, 2);

    const TOptions before = options;
    const std::vector<std::pair<QStringList, const char*>> refused = {
        {{"PictureSize=0", "AutoChangeInterval=7"}, "AutoChangeInterval"}, // first one valid, second not
        {{"AutoChangeIcon=3"}, "AutoChangeIcon"},
        {{"ColorInfluence=0"}, "ColorInfluence"},
        {{"ColorSaturation=-1"}, "ColorSaturation"},
        {{"AutoChangeEnabled=2"}, "AutoChangeEnabled"},
        {{"BackgroundType=5x"}, "BackgroundType"},
        {{"DesktopsChanged=3"}, "counter"},
        {{"LastDesktopChangeTime=1"}, "counter"},
        {{"NoSuchThing=1"}, "NoSuchThing"},
        {{"PictureSize"}, "NAME=VALUE"},
    };
    for (const auto& [args, word] : refused) {
        error.clear();
        EXPECT_FALSE(ApplyOptionAssignments(options, args, &error)) << args.join(' ').toStdString();
        EXPECT_TRUE(error.contains(word)) << error.toStdString();
        EXPECT_EQ(options.PictureSize, before.PictureSize);
        EXPECT_EQ(options.AutoChangeInterval, before.AutoChangeInterval);
    }
}

TEST_F(OptionTextTest, ListingNamesEachValueAndItsMeaning)
{
    TOptions options(store);
    options.BackgroundType = 4;
    options.ColorInfluence = 6;
    options.AutoChangeIcon = 5; // hand-edited, out of range
    options.ColorLightness = 3;
    const QStringList lines = DescribeOptions(options);
    ASSERT_EQ(lines.size(), 11);
    EXPECT_EQ(lines[0], "AutoChangeEnabled = true");
    EXPECT_EQ(lines[1], "AutoChangeInterval = 36 (hours)");
    EXPECT_EQ(lines[2], "AutoChangeIcon = 5 (not one of the offered values)");
    EXPECT_EQ(lines[3], "BackgroundType = 4 (Solid)");
    EXPECT_EQ(lines[6], "ColorInfluence = 6 (Neutral, Relaxing)");
    EXPECT_EQ(lines[7], "ColorLightness = 3 (random)");
    EXPECT_EQ(lines[10], "LastDesktopChangeTime = 0 (never)");
}

TEST_F(OptionTextTest, NoticesNameTheLoadProblemsAndTheDamagedFileOnce)
{
    store.WriteString(product.OptionsKey, "PictureSize", "big");
    {
        QFile f(env.RegistryFile());
        ASSERT_TRUE(f.open(QIODevice::Append));
        f.write("\x01\x02 junk\n");
    }
    platform::Registry fresh(env.RegistryFile());
    TOptions options(fresh);
    const QStringList notices = TakeSettingsNotices(options, fresh);
    ASSERT_EQ(notices.size(), 2);
    EXPECT_TRUE(notices[0].startsWith("Invalid data type for 'PictureSize'"));
    EXPECT_TRUE(notices[1].contains("registry.reg.damaged-"));
    EXPECT_EQ(TakeSettingsNotices(options, fresh).size(), 1); // the backup is told once
}
