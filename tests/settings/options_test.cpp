// TOptions against a real store file: first start, partial and wrong values, saving.
#include "settings/options.h"

#include "core/product.h"
#include "platform/autostart.h"
#include "platform/registry.h"
#include "support/temp_env.h"

#include <QFile>
#include <QDir>
#include <QFileInfo>

#include <cstring>
#include <functional>
#include <optional>

#include <gtest/gtest.h>

using platform::Registry;
using platform::RegistryValue;

namespace {

// A TempEnv with the application record set, as the process entry would.
class OptionsTest : public ::testing::Test {
protected:
    TempEnv env;
    TProduct product{env.ProgramDir() + "/"};
    Registry store{env.RegistryFile()};
    QString key = product.OptionsKey;


    QByteArray Bytes(double v)
    {
        QByteArray b(8, '\0');
        std::memcpy(b.data(), &v, 8); // little-endian machine
        return b;
    }
};

} // namespace

TEST_F(OptionsTest, FirstStartWritesAllElevenDefaultsAndTheAutostartEntry)
{
    TOptions options(store);
    EXPECT_TRUE(options.LoadProblems().isEmpty());
    EXPECT_EQ(key, QStringLiteral("\\Software\\Ambience\\Ambience\\Options"));

    Registry reread(env.RegistryFile());
    const std::vector<std::pair<const char*, std::uint32_t>> dwords = {
        {"AutoChangeEnabled", 1}, {"AutoChangeInterval", 36}, {"AutoChangeIcon", 1},
        {"BackgroundType", 0},    {"PictureOrientation", 0},  {"PictureSize", 1},
        {"ColorInfluence", 7},    {"ColorLightness", 1},      {"ColorSaturation", 1},
        {"DesktopsChanged", 0}};
    for (const auto& [name, value] : dwords)
        EXPECT_EQ(reread.Value(key, name), RegistryValue::Dword(value)) << name;
    EXPECT_EQ(reread.Value(key, "LastDesktopChangeTime"), RegistryValue::Binary(QByteArray(8, '\0')));
    EXPECT_TRUE(QFileInfo::exists(platform::AutostartFilePath()));
}

TEST_F(OptionsTest, PartialKeyKeepsStoredValuesAndAddsTheMissingOnes)
{
    store.WriteInteger(key, "AutoChangeInterval", 7); // not offered by the page: kept as is
    store.WriteInteger(key, "BackgroundType", 3);
    store.WriteBinary(key, "LastDesktopChangeTime", Bytes(46000.75));
    TOptions options(store);
    EXPECT_EQ(options.AutoChangeInterval, 7);
    EXPECT_EQ(options.BackgroundType, 3);
    EXPECT_EQ(options.LastDesktopChangeTime, 46000.75);
    EXPECT_EQ(options.PictureSize, 1);
    EXPECT_EQ(Registry(env.RegistryFile()).ReadInteger(key, "ColorInfluence"), 7);
    EXPECT_EQ(Registry(env.RegistryFile()).ReadInteger(key, "AutoChangeInterval"), 7);
}

TEST_F(OptionsTest, WrongTypesAreReportedKeepDefaultsAndAreRewrittenWithTheRightType)
{
    store.WriteInteger(key, "AutoChangeIcon", 2);                 // before the bad ones
    store.WriteString(key, "AutoChangeInterval", "36");           // text instead of a number
    store.WriteBinary(key, "LastDesktopChangeTime", QByteArray(7, '\x01'));
    store.WriteInteger(key, "ColorSaturation", 2);                // after them
    TOptions options(store);
    EXPECT_EQ(options.LoadProblems(),
              QStringList({"Invalid data type for 'AutoChangeInterval'", "Invalid data type for 'LastDesktopChangeTime'"}));
    EXPECT_EQ(options.AutoChangeIcon, 2);
    EXPECT_EQ(options.AutoChangeInterval, 36);
    EXPECT_EQ(options.LastDesktopChangeTime, 0.0);
    EXPECT_EQ(options.ColorSaturation, 2);

    Registry reread(env.RegistryFile());
    EXPECT_EQ(reread.Value(key, "AutoChangeInterval"), RegistryValue::Dword(36));
    EXPECT_EQ(reread.Value(key, "LastDesktopChangeTime"), RegistryValue::Binary(QByteArray(8, '\0')));
    EXPECT_TRUE(TOptions(reread).LoadProblems().isEmpty());

    // Too much data for the field: the other text of the framework.
    store.WriteBinary(key, "LastDesktopChangeTime", QByteArray(12, '\0'));
    options.Load();
    EXPECT_EQ(options.LoadProblems(), QStringList({"Failed to get data for 'LastDesktopChangeTime'"}));
}

TEST_F(OptionsTest, NonzeroBooleanLoadsAsTrueAndIsWrittenBackAsOne)
{
    store.WriteInteger(key, "AutoChangeEnabled", 5);
    TOptions options(store);
    EXPECT_TRUE(options.AutoChangeEnabled);
    EXPECT_EQ(Registry(env.RegistryFile()).Value(key, "AutoChangeEnabled"), RegistryValue::Dword(1));
}

TEST_F(OptionsTest, AutostartEntryFollowsAutoChangeEnabled)
{
    const QString entry = platform::AutostartFilePath();
    {
        // Stored off: an entry added by hand goes at start-up.
        store.WriteInteger(key, "AutoChangeEnabled", 0);
        QFileInfo(entry).absoluteDir().mkpath(".");
        QFile f(entry);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("[Desktop Entry]\n");
    }
    TOptions options(store);
    EXPECT_FALSE(options.AutoChangeEnabled);
    EXPECT_FALSE(QFileInfo::exists(entry));
    options.Save(); // removing a missing entry is no error
    options.AutoChangeEnabled = true;
    options.Save();
    QFile f(entry);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_TRUE(f.readAll().contains("/startup\n"));
}

TEST_F(OptionsTest, SaveFailureRaisesTheRegistryError)
{
    TOptions options(store);
    // The autostart folder replaced by a file: the entry cannot be written.
    const QString folder = QFileInfo(platform::AutostartFilePath()).absolutePath();
    QFile::remove(platform::AutostartFilePath());
    QDir(folder).removeRecursively();
    QFile blocker(folder);
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    try {
        options.Save();
        ADD_FAILURE() << "no error";
    } catch (const platform::RegistryError& e) {
        EXPECT_STREQ(e.what(), "Failed to set data for 'Ambience'");
    }
    // The values themselves were written before the entry was attempted.
    EXPECT_EQ(Registry(env.RegistryFile()).ReadInteger(key, "PictureSize"), 1);
}

// Two processes share one store: each one's save keeps what the other changed,
// and counting adds to what the store holds.
TEST_F(OptionsTest, SavesKeepWhatAnotherProcessChangedAndCountsAdd)
{
    Registry otherStore(env.RegistryFile()); // another process's view of the same file
    TOptions mine(store);
    TOptions theirs(otherStore);
    mine.BackgroundType = settings::BackgroundType::Smoothed;
    theirs.PictureSize = settings::PictureSize::Maximum;
    mine.Save();
    theirs.Save();
    mine.CountDesktopChange(100.0);
    theirs.CountDesktopChange(101.0);
    mine.CountDesktopChange(102.0);
    EXPECT_EQ(mine.DesktopsChanged, 3);

    TOptions fresh(store, TOptions::AtStart::LoadOnly);
    EXPECT_EQ(fresh.BackgroundType, settings::BackgroundType::Smoothed);
    EXPECT_EQ(fresh.PictureSize, settings::PictureSize::Maximum);
    EXPECT_EQ(fresh.DesktopsChanged, 3);
    EXPECT_EQ(fresh.LastDesktopChangeTime, 102.0);

    // The counter stops at its largest value instead of wrapping.
    store.WriteInteger(key, "DesktopsChanged", 2147483647);
    mine.CountDesktopChange(103.0);
    EXPECT_EQ(mine.DesktopsChanged, 2147483647);
    EXPECT_EQ(store.ReadInteger(key, "DesktopsChanged"), 2147483647);
}

// A store that cannot be written does not stop the program: the settings live in
// memory and the problem names the file and the real cause.
TEST_F(OptionsTest, AnUnwritableStoreLeavesTheSettingsInMemoryWithTheCause)
{
    struct Case {
        const char* what;
        std::function<void()> spoil;
        const char* cause;
    };
    const QString folder = env.ConfigHome() + "/Ambience";
    const Case cases[] = {
        {"a file where the folder belongs",
         [&] {
             QDir(folder).removeRecursively();
             QFile f(folder);
             ASSERT_TRUE(f.open(QIODevice::WriteOnly));
         },
         "registry.reg"},
        {"an oversized file",
         [&] {
             QDir().mkpath(folder);
             QFile f(env.RegistryFile());
             ASSERT_TRUE(f.open(QIODevice::WriteOnly));
             ASSERT_TRUE(f.resize(40 << 20));
         },
         "too large"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        c.spoil();
        Registry spoilt(env.RegistryFile());
        std::optional<TOptions> options;
        ASSERT_NO_THROW(options.emplace(spoilt));
        EXPECT_TRUE(options->SaveProblem().contains(c.cause)) << options->SaveProblem().toStdString();
        options->BackgroundType = settings::BackgroundType::Solid;
        EXPECT_THROW(options->Save(), platform::RegistryError);
        EXPECT_EQ(options->BackgroundType, settings::BackgroundType::Solid);
        QFile::remove(env.RegistryFile());
        QFile::remove(folder);
    }
}
