// The autostart entry: its Exec line must start exactly the program, whatever the
// characters of its path.
#include "platform/autostart.h"

#include "support/temp_env.h"

#include <QFile>
#include <QFileInfo>

#include <gtest/gtest.h>

namespace {

// Reads an Exec value back as a session would: first the string escapes of the
// file format, then the quoting of the Exec key (the Desktop Entry rules).
QStringList SplitExec(const QString& value)
{
    QString s;
    for (qsizetype i = 0; i < value.size(); ++i) {
        if (value[i] == '\\' && i + 1 < value.size()) {
            const QChar n = value[++i];
            s += n == 's' ? QChar(' ') : n == 'n' ? QChar('\n') : n == 't' ? QChar('\t') : n == 'r' ? QChar('\r') : n;
        } else {
            s += value[i];
        }
    }
    QStringList args;
    QString current;
    bool quoted = false, any = false;
    for (qsizetype i = 0; i < s.size(); ++i) {
        const QChar c = s[i];
        const QChar next = i + 1 < s.size() ? s[i + 1] : QChar();
        if (c == '%' && next == '%') {
            current += '%';
            ++i;
        } else if (quoted) {
            if (c == '"')
                quoted = false;
            else if (c == '\\' && QStringLiteral("\"`$\\").contains(next))
                current += s[++i];
            else
                current += c;
        } else if (c == ' ') {
            if (any)
                args << current;
            current.clear();
            any = false;
        } else {
            any = true;
            if (c == '"')
                quoted = true;
            else
                current += c;
        }
    }
    if (any)
        args << current;
    return args;
}

QString ExecLine(const QByteArray& entry)
{
    for (const QByteArray& line : entry.split('\n')) {
        if (line.startsWith("Exec="))
            return QString::fromUtf8(line.mid(5));
    }
    return {};
}

} // namespace

TEST(Autostart, ExecStartsTheProgramWhateverItsPath)
{
    const QStringList paths = {
        "/usr/bin/ambience",
        "/opt/My Apps/ambience",
        "/home/o'neil/\"quoted\" dir/ambience",
        "/tmp/back\\slash/$HOME/`date`/100%/ambience",
        "/tmp/tab\tand\nnewline/ambience",
        QString::fromUtf8("/home/j\xc3\xbcrgen/\xe2\x84\xa2/ambience"),
    };
    for (const QString& path : paths) {
        const QByteArray entry = platform::AutostartEntry(path, "Ambience");
        EXPECT_EQ(entry.count('\n'), entry.split('\n').size() - 1);
        EXPECT_TRUE(entry.startsWith("[Desktop Entry]\n"));
        EXPECT_EQ(SplitExec(ExecLine(entry)), QStringList({path, "/startup"})) << path.toStdString();
    }
}

TEST(Autostart, WrittenForTheProgramFolderAndRemoved)
{
    TempEnv env;
    const QString folder = env.Root() + "/odd $dir \"x\"";
    qputenv("AMBIENCE_PROGRAM_DIR", folder.toUtf8()); // restored by TempEnv
    EXPECT_EQ(platform::DesktopProgramPath(), folder + "/ambience");
    EXPECT_EQ(platform::AutostartFilePath(), env.ConfigHome() + "/autostart/ambience.desktop");

    QString error;
    ASSERT_TRUE(platform::SetAutostart(true, platform::DesktopProgramPath(), "Ambience", &error))
        << error.toStdString();
    QFile file(platform::AutostartFilePath());
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(SplitExec(ExecLine(file.readAll())), QStringList({folder + "/ambience", "/startup"}));
    file.close();

    EXPECT_TRUE(platform::SetAutostart(false, {}, {}, &error));
    EXPECT_FALSE(QFileInfo::exists(platform::AutostartFilePath()));
    EXPECT_TRUE(platform::SetAutostart(false, {}, {}, &error)); // already gone: no error
}
