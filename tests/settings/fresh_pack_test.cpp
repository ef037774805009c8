// "Keep a museum pack fresh" in the store: the value's form, what is refused, and
// the renewal record that belongs to one pack only.
#include "platform/registry.h"
#include "settings/fresh_pack.h"
#include "support/temp_env.h"

#include <gtest/gtest.h>

namespace {

const QString kKey = QStringLiteral("\\Software\\Ambience\\Ambience");

TEST(FreshPack, ValueFormAndWhatIsRefused)
{
    struct Case {
        const char* text;
        bool ok;
        const char* why; // a word the error must hold
    };
    const Case cases[] = {
        {"aic|landscape|40|7|Art Institute of Chicago - Landscapes.zip", true, ""},
        {" SMK | still life | 1 | 365 | x.zip ", true, ""},
        {"aic|landscape|40|7", false, "form"},
        {"aic|landscape|40|7|x.zip|extra", false, "form"},
        {"|landscape|40|7|x.zip", false, "museum"},
        {"aic|landscape|0|7|x.zip", false, "works"},
        {"aic|landscape|201|7|x.zip", false, "works"},
        {"aic|landscape|forty|7|x.zip", false, "works"},
        {"aic|landscape|40|0|x.zip", false, "days"},
        {"aic|landscape|40|366|x.zip", false, "days"},
        {"aic|landscape|40|7|", false, "file"},
        {"aic|landscape|40|7|../elsewhere/x.zip", false, "file"},
    };
    for (const Case& c : cases) {
        const core::Result<settings::FreshPack> fresh = settings::ParseFreshPack(QString::fromUtf8(c.text));
        ASSERT_EQ(fresh.ok(), c.ok) << c.text;
        if (!c.ok) {
            EXPECT_NE(fresh.error().text.find(c.why), std::string::npos) << c.text << ": " << fresh.error().text;
            continue;
        }
        // What is read is written back the same way.
        EXPECT_EQ(settings::ParseFreshPack(settings::FreshPackText(*fresh)).value(), *fresh) << c.text;
    }
    const settings::FreshPack smk = settings::ParseFreshPack(" SMK | still life | 1 | 365 | x.zip ").value();
    EXPECT_EQ(smk.museum, "smk");
    EXPECT_EQ(smk.theme, "still life");
    EXPECT_EQ(smk.count, 1);
    EXPECT_EQ(smk.everyDays, 365);
    EXPECT_EQ(settings::FreshPackTheme(" cats | dogs "), "cats dogs");
}

TEST(FreshPack, StoredOffByDefaultAndItsRecordBelongsToOnePack)
{
    TempEnv env;
    platform::Registry store(env.RegistryFile());
    const core::Result<std::optional<settings::FreshPack>> none = settings::LoadFreshPack(store, kKey);
    ASSERT_TRUE(none.ok());
    EXPECT_FALSE(none->has_value());
    EXPECT_EQ(settings::DescribeFreshPack(store, kKey), QStringList{"FreshMuseumPack = (off)"});

    settings::FreshPack fresh{"cma", "seascape", 20, 3, "seas.zip"};
    ASSERT_TRUE(settings::SaveFreshPack(store, kKey, fresh).ok());
    const QDateTime renewed(QDate(2026, 12, 1), QTime(8, 0), Qt::UTC);
    const QDateTime tried(QDate(2026, 12, 4), QTime(9, 30), Qt::UTC);
    ASSERT_TRUE(settings::SaveFreshPackRecord(store, kKey, {renewed, tried}).ok());

    platform::Registry again(env.RegistryFile()); // as another process reads it
    EXPECT_EQ(settings::LoadFreshPack(again, kKey).value(), fresh);
    settings::FreshPackRecord record = settings::LoadFreshPackRecord(again, kKey);
    EXPECT_EQ(record.renewed, renewed);
    EXPECT_EQ(record.tried, tried);
    const QString line = settings::DescribeFreshPack(again, kKey).join('\n');
    EXPECT_TRUE(line.startsWith("FreshMuseumPack = cma|seascape|20|3|seas.zip (20 works")) << line.toStdString();
    EXPECT_TRUE(line.contains("last renewed 2026-12-01 08:00 UTC")) << line.toStdString();

    // The same pack kept otherwise keeps its record; another pack starts without one.
    fresh.everyDays = 5;
    ASSERT_TRUE(settings::SaveFreshPack(store, kKey, fresh).ok());
    EXPECT_EQ(settings::LoadFreshPackRecord(store, kKey).renewed, renewed);
    fresh.pack = "other.zip";
    ASSERT_TRUE(settings::SaveFreshPack(store, kKey, fresh).ok());
    record = settings::LoadFreshPackRecord(store, kKey);
    EXPECT_FALSE(record.renewed.isValid());
    EXPECT_FALSE(record.tried.isValid());

    // Turned off: nothing of it is left in the store.
    ASSERT_TRUE(settings::SaveFreshPack(store, kKey, std::nullopt).ok());
    EXPECT_FALSE(store.Value(kKey, "FreshMuseumPack").has_value());

    // A value typed by hand that does not read is said, not taken for "off".
    store.WriteString(kKey, "FreshMuseumPack", "aic|landscape");
    EXPECT_FALSE(settings::LoadFreshPack(store, kKey).ok());
    EXPECT_TRUE(settings::DescribeFreshPack(store, kKey).join("").contains("not understood"));
}

} // namespace
