// Real ambience-cli processes killed (SIGKILL) at random moments while they
// install a pack, export an exposition or set the wallpaper: what they leave is at
// worst a temporary file of the program's one form, which the next start or the
// next write into that folder removes; the targets are never half-written.
#include "packs/zip_builder.h"
#include "support/temp_env.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QImage>
#include <QProcess>
#include <QRandomGenerator>
#include <QThread>

#include <gtest/gtest.h>

#include <signal.h>

namespace {

QStringList Temporaries(const QString& folder)
{
    return QDir(folder).entryList({".ambience-*.tmp"}, QDir::Files | QDir::Hidden | QDir::System);
}

int RunCli(const QStringList& args)
{
    QProcess p;
    p.start(BuildBinDir() + "/ambience-cli", args);
    p.waitForFinished(120000);
    return p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
}

struct Operation {
    const char* name;
    QStringList args;
    QString folder; // where it writes
};

TEST(Leftovers, KilledWritersLeaveNothingAfterTheNextStart)
{
    TempEnv env;
    const QString downloads = env.Root() + "/downloads";
    const QString exports = env.Root() + "/exports";
    const QString wallpaper = env.DataHome() + "/Ambience/Ambience";
    const QString userPacks = env.DataHome() + "/Ambience/Packs";
    QDir().mkpath(downloads);
    QDir().mkpath(exports);
    QDir().mkpath(wallpaper);
    QDir().mkpath(userPacks);
    // A large pack makes its copy (into the user's packs folder) take a while; its
    // pictures need not decode.
    const QByteArray filler(24 << 20, 'x');
    ASSERT_TRUE(ZipBuilder().Add("01 - Big.jpg", filler).Comment(PackComment("Big")).WriteTo(downloads + "/big.zip"));
    ASSERT_TRUE(ZipBuilder().Add("01 - Tiny.jpg", TinyJpeg()).Comment(PackComment("Tiny")).WriteTo(env.ProgramDir() + "/tiny.zip"));

    const Operation operations[] = {
        {"install", {"install", downloads + "/big.zip"}, userPacks},
        {"export", {"export", exports + "/expo.bmp", "--size", "3000x2000", "--seed", "1"}, exports},
        {"refresh", {"refresh", "--local", "--size", "3000x2000", "--seed", "1"}, wallpaper},
    };
    const int rounds = 70;
    int leftoversSeen = 0;
    QRandomGenerator random(12345);
    for (const Operation& op : operations) {
        SCOPED_TRACE(op.name);
        // How long a whole run takes here, so the kills land all over it.
        QElapsedTimer timer;
        timer.start();
        ASSERT_EQ(RunCli(op.args) == 1, false);
        const qint64 whole = std::max<qint64>(timer.elapsed(), 20);
        for (int round = 0; round < rounds; ++round) {
            QProcess p;
            p.start(BuildBinDir() + "/ambience-cli", op.args);
            ASSERT_TRUE(p.waitForStarted());
            if (round % 2 == 0) {
                // At a random moment of the run.
                QThread::msleep(static_cast<unsigned long>(random.bounded(whole)));
            } else {
                // While the temporary file is being written, when that can be caught.
                QElapsedTimer wait;
                wait.start();
                while (Temporaries(op.folder).isEmpty() && wait.elapsed() < whole * 2 && p.state() == QProcess::Running)
                    QThread::usleep(200);
            }
            ::kill(static_cast<pid_t>(p.processId()), SIGKILL);
            p.waitForFinished(30000);
            leftoversSeen += static_cast<int>(Temporaries(op.folder).size()) > 0;
        }
    }
    // The kills did catch writers in the middle, or this proves nothing.
    EXPECT_GT(leftoversSeen, 0);

    // A start clears the program's own folders; the export folder is cleared by
    // the next write into it.
    EXPECT_EQ(RunCli({"packs"}), 0);
    EXPECT_EQ(Temporaries(userPacks), QStringList{});
    EXPECT_EQ(Temporaries(wallpaper), QStringList{});
    EXPECT_EQ(RunCli({"export", exports + "/other.jpg", "--size", "64x48"}), 0);
    EXPECT_EQ(Temporaries(exports), QStringList{});

    // The record of the wall clears its thumbnails' leftovers when it is opened;
    // closed by the last process, it is one file again.
    EXPECT_EQ(RunCli({"now"}), 0);
    EXPECT_EQ(Temporaries(wallpaper + "/wall-thumbnails"), QStringList{});

    // Nothing else is left anywhere, and whatever is there is whole.
    const auto all = [](const QString& folder) {
        return QDir(folder).entryList(QDir::Files | QDir::Hidden | QDir::System, QDir::Name);
    };
    EXPECT_EQ(all(env.ProgramDir()), QStringList{"tiny.zip"});
    EXPECT_EQ(all(userPacks), QStringList{"big.zip"});
    EXPECT_EQ(all(exports), (QStringList{"expo.bmp", "other.jpg"}));
    EXPECT_EQ(all(wallpaper), (QStringList{"ambience.bmp", "wall.sqlite"}));
    for (const QString& picture : {exports + "/expo.bmp", wallpaper + "/ambience.bmp"}) {
        EXPECT_EQ(QImage(picture).size(), QSize(3000, 2000)) << picture.toStdString();
    }
    EXPECT_EQ(QFile(userPacks + "/big.zip").size(), QFile(downloads + "/big.zip").size());
}

} // namespace
