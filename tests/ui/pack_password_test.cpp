// Encrypted packs in the window: the password asked once through the dialog seam,
// looked up in and kept in the secret store, and passed over by the agent's
// automatic change.
#include "ui/window_fixture.h"

#include "archive/errors.h"
#include "graphics/picture.h"
#include "packs/pack.h"
#include "packs/pack_list.h"
#include "platform/secret_store.h"
#include "ui/pack_password_dialog.h"
#include "ui/window_agent.h"

#include <QCoreApplication>
#include <QDialogButtonBox>
#include <QLineEdit>

namespace uitest {
namespace {

const std::string kLockedName = "Locked with 7-Zip"; // tests/data/packs/aes-7zip.zip, password "secret"

class PackPasswordTest : public WindowTest {
protected:
    void SetUp() override
    {
        WindowTest::SetUp();
        ASSERT_TRUE(QFile::copy(TestDataDir() + "/packs/aes-7zip.zip", PackPath("Locked.zip")));
    }
    // The window over the test's own secret store.
    void OpenWithSecrets()
    {
        auto scripted = std::make_unique<ScriptedDialogs>();
        dialogs = scripted.get();
        context = std::make_unique<ui::AppContext>(platform::Registry::CurrentUser(), recorder, &secrets);
        window = std::make_unique<ui::TAMMF>(*context, std::move(scripted), QStringList());
    }
    int RowOf(const std::string& name)
    {
        for (int i = 0; i < window->Catalogue().Count(); ++i)
            if (window->Catalogue().PackAt(i).Name == name)
                return i;
        return -1;
    }
    // Selects the pack and lets the questions that follow a selection be asked.
    void SelectPack(const std::string& name)
    {
        const int row = RowOf(name);
        ASSERT_GE(row, 0);
        Select(row);
        QCoreApplication::processEvents();
    }
    std::optional<std::string> Kept()
    {
        auto read = secrets.Read(packs::PackPasswordKey(PackPath("Locked.zip").toStdString()));
        return read.ok() ? *read : std::nullopt;
    }
    core::Result<change::ChangeDone> AgentChange()
    {
        ui::TWindowAgentHost host(*window);
        std::optional<core::Result<change::ChangeDone>> outcome;
        EXPECT_TRUE(host.ExpoRandomExecute([&outcome](const core::Result<change::ChangeDone>& r) { outcome = r; }));
        EXPECT_TRUE(QTest::qWaitFor([&outcome] { return outcome.has_value(); }, 120000));
        return outcome.value_or(core::MakeError(1, "the change did not end"));
    }

    platform::MemorySecretStore secrets;
};

TEST_F(PackPasswordTest, SelectingALockedPackAsksOrUsesTheKeptPassword)
{
    struct Case {
        const char* name;
        std::optional<std::string> stored;
        std::vector<QString> answers;
        size_t questions;
        bool lastSaysWrong;
        bool shown;
        std::optional<std::string> kept;
    };
    const Case cases[] = {
        {"cancelled", std::nullopt, {}, 1, false, false, std::nullopt},
        {"wrong, then right", std::nullopt, {"nope", "secret"}, 2, true, true, "secret"},
        {"kept from before", "secret", {}, 0, false, true, "secret"},
        {"kept but no longer right", "stale", {"secret"}, 1, true, true, "secret"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TearDown();
        (void)secrets.Forget(packs::PackPasswordKey(PackPath("Locked.zip").toStdString()));
        if (c.stored) {
            ASSERT_TRUE(secrets.Write(packs::PackPasswordKey(PackPath("Locked.zip").toStdString()), *c.stored).ok());
        }
        OpenWithSecrets();
        dialogs->passwords.assign(c.answers.begin(), c.answers.end());
        SelectPack(kLockedName);

        ASSERT_EQ(dialogs->passwordRequests.size(), c.questions);
        if (c.questions > 0) {
            EXPECT_EQ(dialogs->passwordRequests.front().packName.toStdString(), kLockedName);
            EXPECT_EQ(dialogs->passwordRequests.back().wrongBefore, c.lastSaysWrong);
        }
        EXPECT_EQ(!Page().PreviewPicture().IsEmpty(), c.shown);
        EXPECT_EQ(Kept(), c.kept);
        EXPECT_TRUE(dialogs->messages.empty()) << dialogs->messages[0].text.toStdString();
        // Never in the settings file.
        QFile settings(platform::Registry::CurrentUser().FilePath());
        if (settings.open(QIODevice::ReadOnly)) {
            EXPECT_FALSE(settings.readAll().contains("secret"));
        }
    }
}

TEST_F(PackPasswordTest, CancelIsNotAskedAgainAndNoBlankWallpaperIsSet)
{
    ASSERT_TRUE(WriteSimplePack(PackPath("Open.zip"), "Open", 2, 2));
    OpenWithSecrets();
    SelectPack(kLockedName);
    SelectPack("Open");
    SelectPack(kLockedName);
    EXPECT_EQ(dialogs->passwordRequests.size(), 1u);
    EXPECT_TRUE(Page().PreviewPicture().IsEmpty());

    // Refresh on the unshown pack: told why, and the wallpaper stays as it was.
    window->ExpoRefreshExecute();
    ASSERT_TRUE(WaitUntilIdle());
    QCoreApplication::processEvents();
    EXPECT_EQ(dialogs->passwordRequests.size(), 1u);
    ASSERT_EQ(dialogs->WithCaption("Problem").size(), 1u);
    EXPECT_TRUE(dialogs->messages[0].text.contains("encrypted")) << dialogs->messages[0].text.toStdString();
    EXPECT_TRUE(recorder.requests.empty());
}

TEST_F(PackPasswordTest, PasswordSurvivesARescanAndIsKeptOnce)
{
    OpenWithSecrets();
    dialogs->passwords = {"secret"};
    SelectPack(kLockedName);
    ASSERT_FALSE(Page().PreviewPicture().IsEmpty());
    EXPECT_EQ(secrets.Writes(), 1);
    // The records are new after a rescan; the password known in this run is not.
    Page().FillPackList();
    SelectPack(kLockedName);
    EXPECT_FALSE(Page().PreviewPicture().IsEmpty());
    EXPECT_EQ(dialogs->passwordRequests.size(), 1u);
    EXPECT_EQ(secrets.Writes(), 1);
}

TEST_F(PackPasswordTest, AutomaticChangePassesOverLockedPacksWithoutAsking)
{
    struct Case {
        const char* name;
        bool withOpenPack;
    };
    for (const Case c : {Case{"beside an open pack", true}, Case{"only locked packs", false}}) {
        SCOPED_TRACE(c.name);
        TearDown();
        QFile::remove(PackPath("Open.zip"));
        if (c.withOpenPack) {
            ASSERT_TRUE(WriteSimplePack(PackPath("Open.zip"), "Open", 2, 2));
        }
        recorder.requests.clear();
        OpenWithSecrets();
        // Every draw of a few: none may land on the locked pack or ask for anything.
        for (int draw = 0; draw < 4; ++draw) {
            const core::Result<change::ChangeDone> result = AgentChange();
            QCoreApplication::processEvents();
            if (c.withOpenPack) {
                EXPECT_TRUE(result.ok()) << testsupport::WhyNot(result);
                EXPECT_EQ(result.ok() ? result->packName : QString(), "Open");
            } else {
                EXPECT_FALSE(result.ok());
                const QString problem = QString::fromStdString(testsupport::WhyNot(result));
                EXPECT_TRUE(problem.contains("encrypted")) << problem.toStdString();
            }
        }
        EXPECT_TRUE(dialogs->passwordRequests.empty());
        EXPECT_TRUE(dialogs->messages.empty()) << dialogs->messages[0].text.toStdString();
        EXPECT_EQ(recorder.requests.empty(), !c.withOpenPack);
        // The person's own selection asks again.
        SelectPack(kLockedName);
        EXPECT_EQ(dialogs->passwordRequests.size(), 1u);
    }
}

TEST_F(PackPasswordTest, UnreadablePictureNamesItsReasonOnce)
{
    ASSERT_TRUE(WriteSimplePack(PackPath("Gone.zip"), "Gone", 2, 2));
    OpenWithSecrets();
    ASSERT_TRUE(QFile::remove(PackPath("Gone.zip")));
    SelectPack("Gone");
    ASSERT_EQ(dialogs->messages.size(), 1u);
    const QString text = dialogs->messages[0].text;
    const QString reason = QString::fromStdString(archiva::ErrorText(archiva::ErrorFileNotFound));
    EXPECT_EQ(text.count(reason), 1) << text.toStdString();
    EXPECT_TRUE(text.contains("Gone.zip")) << text.toStdString();
}

TEST(PackPasswordDialog, NamesThePackHidesTheTextAndSaysWhenWrong)
{
    for (const bool wrong : {false, true}) {
        ui::TPackPasswordDialog dialog("Night & Day", wrong);
        EXPECT_TRUE(dialog.Question->text().contains("\"Night & Day\""));
        EXPECT_EQ(dialog.Wrong->isVisibleTo(&dialog), wrong);
        EXPECT_EQ(dialog.PackPassword->echoMode(), QLineEdit::Password);
        QPushButton* ok = dialog.Buttons->button(QDialogButtonBox::Ok);
        EXPECT_FALSE(ok->isEnabled()); // an empty password opens nothing
        QTest::keyClicks(dialog.PackPassword, "pw");
        EXPECT_TRUE(ok->isEnabled());
        EXPECT_EQ(dialog.Password(), "pw");
        // For looking at: the dialog as drawn.
        if (const QString shots = qEnvironmentVariable("AMBIENCE_SCREENSHOTS"); !shots.isEmpty()) {
            QDir().mkpath(shots);
            dialog.adjustSize();
            dialog.grab().save(shots + (wrong ? "/pack_password_wrong.png" : "/pack_password.png"));
        }
    }
}

} // namespace
} // namespace uitest
