// The store on disk: typed values, the framework's error texts, damage handling.
#include "platform/registry.h"

#include "support/temp_env.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <gtest/gtest.h>

using platform::Registry;
using platform::RegistryError;
using platform::RegistryValue;

namespace {

const QString kKey = QStringLiteral("\\Software\\Ambience\\Ambience\\Options");

QByteArray ReadAll(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

void WriteRaw(const QString& path, const QByteArray& bytes)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    f.write(bytes);
}

template <typename F>
std::string ErrorOf(F&& f)
{
    try {
        f();
    } catch (const RegistryError& e) {
        return e.what();
    }
    return "(no error)";
}

QStringList Backups(const TempEnv& env)
{
    return QDir(env.ConfigHome() + "/Ambience").entryList({"registry.reg.damaged-*"}, QDir::Files);
}

} // namespace

TEST(RegistryStore, DefaultPathFollowsXdgConfigHome)
{
    TempEnv env;
    EXPECT_EQ(Registry::DefaultPath(), env.RegistryFile());
}

TEST(RegistryStore, TypedValuesAndTheirErrors)
{
    TempEnv env;
    Registry store(env.RegistryFile());
    EXPECT_FALSE(store.KeyExists(kKey));
    EXPECT_EQ(store.ReadInteger(kKey, "Missing"), std::nullopt);

    store.WriteInteger(kKey, "Int", -5);
    store.WriteString(kKey, "Text", "hello");
    store.WriteBinary(kKey, "Bytes", QByteArray("\x00\x01", 2));
    store.WriteFloat(kKey, "When", 45678.25);
    store.WriteBinary(kKey, "Seven", QByteArray(7, '\x01'));
    store.WriteBinary(kKey, "Nine", QByteArray(9, '\x01'));

    // Keys above the written one exist too, in any letter case, with or without
    // the leading backslash.
    EXPECT_TRUE(store.KeyExists("\\Software\\Ambience"));
    EXPECT_TRUE(store.KeyExists("software\\AMBIENCE\\ambience\\options"));
    EXPECT_EQ(store.ReadInteger(kKey, "int"), -5);
    EXPECT_EQ(store.ReadString(kKey, "Text"), QStringLiteral("hello"));
    EXPECT_EQ(store.ReadBinary(kKey, "Bytes"), QByteArray("\x00\x01", 2));
    EXPECT_EQ(store.ReadFloat(kKey, "When"), 45678.25);

    EXPECT_EQ(ErrorOf([&] { store.ReadInteger(kKey, "Text"); }), "Invalid data type for 'Text'");
    EXPECT_EQ(ErrorOf([&] { store.ReadString(kKey, "Int"); }), "Invalid data type for 'Int'");
    EXPECT_EQ(ErrorOf([&] { store.ReadBinary(kKey, "Text"); }), "Invalid data type for 'Text'");
    EXPECT_EQ(ErrorOf([&] { store.ReadFloat(kKey, "Int"); }), "Invalid data type for 'Int'");
    EXPECT_EQ(ErrorOf([&] { store.ReadFloat(kKey, "Seven"); }), "Invalid data type for 'Seven'");
    EXPECT_EQ(ErrorOf([&] { store.ReadFloat(kKey, "Nine"); }), "Failed to get data for 'Nine'");

    // A name that cannot be written as a line of the file is refused, not mangled.
    EXPECT_EQ(ErrorOf([&] { store.WriteInteger(kKey, "two\nlines", 1); }), "Failed to set data for 'two\nlines'");

    // Overwriting changes the type; deleting a missing value is no error.
    store.WriteString(kKey, "Int", "now text");
    EXPECT_EQ(store.Value(kKey, "Int"), RegistryValue::String("now text"));
    EXPECT_TRUE(store.DeleteValue(kKey, "Int"));
    EXPECT_FALSE(store.DeleteValue(kKey, "Int"));
    EXPECT_FALSE(store.DeleteValue("\\No\\Such\\Key", "Int"));

    // Another store object on the same file sees all of it.
    Registry other(env.RegistryFile());
    EXPECT_EQ(other.ReadString(kKey, "Text"), QStringLiteral("hello"));
    EXPECT_TRUE(ReadAll(env.RegistryFile()).startsWith("Windows Registry Editor Version 5.00\n"));
}

TEST(RegistryStore, WritesOfTwoObjectsOnOneFileAreBothKept)
{
    TempEnv env;
    Registry a(env.RegistryFile());
    Registry b(env.RegistryFile());
    a.WriteInteger(kKey, "A", 1);
    EXPECT_EQ(b.ReadInteger(kKey, "A"), 1); // b has now read (and cached) the file
    a.WriteInteger(kKey, "A2", 2);
    b.WriteInteger(kKey, "B", 3); // must re-read, not write its stale copy
    EXPECT_EQ(a.ReadInteger(kKey, "A2"), 2);
    EXPECT_EQ(a.ReadInteger(kKey, "B"), 3);

    // A hand edit in place is seen as well.
    QByteArray text = ReadAll(env.RegistryFile());
    text.replace("\"B\"=dword:00000003", "\"B\"=dword:00000009");
    WriteRaw(env.RegistryFile(), text);
    EXPECT_EQ(a.ReadInteger(kKey, "B"), 9);
}

TEST(RegistryStore, DamagedFileIsKeptAsBackupAndReplacedByACleanOne)
{
    TempEnv env;
    const QByteArray damaged = QByteArray("Windows Registry Editor Version 5.00\n\n"
                                          "[HKEY_CURRENT_USER\\Software\\Ambience\\Ambience\\Options]\n"
                                          "\"PictureSize\"=dword:00000002\n")
                               + QByteArray("\x89PNG\x00\x01\x02 garbage\xff\xfe\n", 18)
                               + "\"BackgroundType\"=dword:00000004\n";
    WriteRaw(env.RegistryFile(), damaged);

    Registry store(env.RegistryFile());
    EXPECT_EQ(store.ReadInteger(kKey, "PictureSize"), 2);
    EXPECT_EQ(store.ReadInteger(kKey, "BackgroundType"), 4);
    const QString backup = store.TakeDamageNotice();
    ASSERT_FALSE(backup.isEmpty());
    EXPECT_TRUE(QFileInfo(backup).fileName().startsWith("registry.reg.damaged-"));
    EXPECT_EQ(ReadAll(backup), damaged);
    EXPECT_TRUE(store.TakeDamageNotice().isEmpty()); // told once

    // A second process finding the same damage reuses the backup.
    Registry second(env.RegistryFile());
    EXPECT_EQ(second.TakeDamageNotice(), backup);
    EXPECT_EQ(Backups(env).size(), 1);

    // The damaged file stays until the next write, which writes a clean one.
    EXPECT_EQ(ReadAll(env.RegistryFile()), damaged);
    store.WriteInteger(kKey, "ColorInfluence", 4);
    const QByteArray clean = ReadAll(env.RegistryFile());
    EXPECT_FALSE(clean.contains("garbage"));
    Registry fresh(env.RegistryFile());
    EXPECT_EQ(fresh.ReadInteger(kKey, "PictureSize"), 2);
    EXPECT_EQ(fresh.ReadInteger(kKey, "ColorInfluence"), 4);
    EXPECT_TRUE(fresh.TakeDamageNotice().isEmpty());
    EXPECT_EQ(Backups(env).size(), 1);
}

TEST(RegistryStore, DamageFoundFirstByAWriteIsBackedUpBeforeReplacing)
{
    TempEnv env;
    const QByteArray damaged = QByteArray(300, '\0') + "\n[HKEY_CURRENT_USER\\Software\\Ambience\\Ambience\\Options]\n"
                                                       "\"DesktopsChanged\"=dword:0000000c\n";
    WriteRaw(env.RegistryFile(), damaged);
    Registry store(env.RegistryFile());
    store.WriteInteger(kKey, "PictureSize", 0);
    EXPECT_EQ(store.ReadInteger(kKey, "DesktopsChanged"), 12);
    const QString backup = store.TakeDamageNotice();
    ASSERT_FALSE(backup.isEmpty());
    EXPECT_EQ(ReadAll(backup), damaged);
}

TEST(RegistryStore, AFileThatCannotBeReadIsNeverReplaced)
{
    TempEnv env;
    // A folder where the file should be: not readable as a file, not to be overwritten.
    QDir().mkpath(env.RegistryFile());
    Registry store(env.RegistryFile());
    EXPECT_EQ(store.ReadInteger(kKey, "PictureSize"), std::nullopt);
    EXPECT_EQ(ErrorOf([&] { store.WriteInteger(kKey, "PictureSize", 1); }), "Failed to set data for 'PictureSize'");
    EXPECT_TRUE(QFileInfo(env.RegistryFile()).isDir());
}

TEST(RegistryStore, SymbolicLinkToTheFileIsKept)
{
    TempEnv env;
    const QString real = env.Root() + "/dotfiles/registry.reg";
    QDir().mkpath(env.Root() + "/dotfiles");
    QDir().mkpath(env.ConfigHome() + "/Ambience");
    ASSERT_TRUE(QFile::link(real, env.RegistryFile()));
    Registry store(env.RegistryFile());
    store.WriteInteger(kKey, "PictureSize", 3);
    EXPECT_TRUE(QFileInfo(env.RegistryFile()).isSymLink());
    EXPECT_TRUE(ReadAll(real).contains("\"PictureSize\"=dword:00000003"));
}

TEST(RegistryStore, ALinkToAFileThatHoldsNoSettingsIsNeverWritten)
{
    // What a link may point at by mistake: a system file, a picture, an empty file.
    const QByteArray targets[] = {QByteArray("myhost\n"), QByteArray("\x89PNG\r\n\x1a\n\x00\x00\x00\rIHDR", 16),
                                  QByteArray("[not a key\n\"x\"=nothing\n")};
    for (const QByteArray& contents : targets) {
        TempEnv env;
        const QString target = env.Root() + "/elsewhere/hostname";
        WriteRaw(target, contents);
        QDir().mkpath(env.ConfigHome() + "/Ambience");
        ASSERT_TRUE(QFile::link(target, env.RegistryFile()));

        Registry store(env.RegistryFile());
        EXPECT_EQ(store.ReadInteger(kKey, "PictureSize"), std::nullopt);
        EXPECT_TRUE(store.TakeDamageNotice().isEmpty()); // the failed write below says why instead
        for (int attempt = 0; attempt < 2; ++attempt) {
            QString cause;
            try {
                store.WriteInteger(kKey, "PictureSize", 3);
            } catch (const RegistryError& e) {
                EXPECT_EQ(std::string(e.what()), "Failed to set data for 'PictureSize'");
                cause = e.Cause();
            }
            EXPECT_TRUE(cause.contains(target) && cause.contains("does not hold settings")) << cause.toStdString();
        }
        EXPECT_EQ(ReadAll(target), contents);
        EXPECT_TRUE(QFileInfo(env.RegistryFile()).isSymLink());
        EXPECT_TRUE(Backups(env).isEmpty());
    }
}

TEST(RegistryStore, ALinkToASettingsFileIsReadAndWrittenThrough)
{
    TempEnv env;
    const QString target = env.Root() + "/dotfiles/registry.reg";
    WriteRaw(target, "Windows Registry Editor Version 5.00\n\n"
                     "[HKEY_CURRENT_USER\\Software\\Ambience\\Ambience\\Options]\n\"PictureSize\"=dword:00000002\n");
    QDir().mkpath(env.ConfigHome() + "/Ambience");
    ASSERT_TRUE(QFile::link(target, env.RegistryFile()));
    Registry store(env.RegistryFile());
    EXPECT_EQ(store.ReadInteger(kKey, "PictureSize"), 2);
    store.WriteInteger(kKey, "ColorInfluence", 4);
    EXPECT_TRUE(QFileInfo(env.RegistryFile()).isSymLink());
    EXPECT_EQ(Registry(target).ReadInteger(kKey, "ColorInfluence"), 4);
    EXPECT_EQ(Registry(target).ReadInteger(kKey, "PictureSize"), 2);
}

TEST(RegistryStore, TheCurrentUsersStoreFollowsTheConfigFolderOfTheMoment)
{
    // Tests of one process each bring their own folder: none may get the first one's file.
    for (int i = 0; i < 3; ++i) {
        TempEnv env;
        Registry& store = Registry::CurrentUser();
        EXPECT_EQ(store.FilePath(), env.RegistryFile());
        EXPECT_EQ(store.ReadInteger(kKey, "Run"), std::nullopt);
        store.WriteInteger(kKey, "Run", i);
        EXPECT_EQ(Registry(env.RegistryFile()).ReadInteger(kKey, "Run"), i);
    }
}

namespace {
QStringList* capturedWarnings = nullptr;
void CaptureWarning(QtMsgType type, const QMessageLogContext&, const QString& message)
{
    if (type == QtWarningMsg && capturedWarnings)
        capturedWarnings->append(message);
}
} // namespace

TEST(RegistryStore, AFileThatCannotBeReadIsReportedOncePerProblem)
{
    TempEnv env;
    QDir().mkpath(env.RegistryFile()); // a folder where the file should be
    QStringList warnings;
    capturedWarnings = &warnings;
    const QtMessageHandler previous = qInstallMessageHandler(CaptureWarning);
    Registry store(env.RegistryFile());
    for (const char* name : {"PictureSize", "ColorInfluence", "BackgroundType", "DesktopsChanged"})
        EXPECT_EQ(store.ReadInteger(kKey, name), std::nullopt);
    const qsizetype afterReads = warnings.size();
    // Mended and broken again: the new problem is told again.
    QDir().rmdir(env.RegistryFile());
    EXPECT_EQ(store.ReadInteger(kKey, "PictureSize"), std::nullopt);
    QDir().mkpath(env.RegistryFile());
    EXPECT_EQ(store.ReadInteger(kKey, "PictureSize"), std::nullopt);
    qInstallMessageHandler(previous);
    capturedWarnings = nullptr;
    EXPECT_EQ(afterReads, 1) << warnings.join('\n').toStdString();
    EXPECT_EQ(warnings.size(), 2) << warnings.join('\n').toStdString();
}
