// ambience-cli render, run as a pack author would run it.
#include "graphics/image_tools.h"
#include "support/temp_env.h"

#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

struct CliRun {
    int code = -1;
    QString out, err;
};

CliRun RunCli(const QStringList& args)
{
    QProcess p;
    p.start(BuildBinDir() + QStringLiteral("/ambience-cli"), QStringList{QStringLiteral("render")} + args);
    p.waitForFinished(60000);
    return {p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1, QString::fromLocal8Bit(p.readAllStandardOutput()),
            QString::fromLocal8Bit(p.readAllStandardError())};
}

class RenderCommand : public testing::Test {
protected:
    void SetUp() override
    {
        if (!QFileInfo(BuildBinDir() + QStringLiteral("/ambience-cli")).isExecutable())
            GTEST_SKIP() << "ambience-cli is not built";
    }
    QTemporaryDir dir;
    const QString picture = TestDataDir() + QStringLiteral("/graphics/cmyk.jpg");
};

TEST_F(RenderCommand, WritesEachOutputTypeAtTheNaturalOrGivenSize)
{
    const QString png = dir.filePath(QStringLiteral("out.png"));
    CliRun r = RunCli({picture, png});
    ASSERT_EQ(r.code, 0) << r.err.toStdString();
    EXPECT_TRUE(r.out.contains(QStringLiteral("32 x 32"))) << r.out.toStdString();
    QImage image(png);
    ASSERT_EQ(image.size(), QSize(32, 32));
    EXPECT_NEAR(image.pixelColor(8, 8).red(), 255, 6);

    const QString bmp = dir.filePath(QStringLiteral("out.bmp"));
    r = RunCli({picture, bmp, QStringLiteral("--size"), QStringLiteral("64x16")});
    ASSERT_EQ(r.code, 0) << r.err.toStdString();
    if (HaveImageMagick()) {
        EXPECT_EQ(ReadWithImageMagick(bmp).size(), QSize(64, 16));
    }

    const QString jpg = dir.filePath(QStringLiteral("out.jpg"));
    r = RunCli({QStringLiteral("--size"), QStringLiteral("10x20"), picture, jpg});
    ASSERT_EQ(r.code, 0) << r.err.toStdString();
    EXPECT_EQ(QImage(jpg).size(), QSize(10, 20));
}

TEST_F(RenderCommand, PlaysAMetafileOnWhitePaper)
{
    const QString wmf = dir.filePath(QStringLiteral("half.wmf"));
    WriteBytes(wmf, HalfRedWmf());
    const QString png = dir.filePath(QStringLiteral("half.png"));
    const CliRun r = RunCli({wmf, png, QStringLiteral("--size"), QStringLiteral("40x20")});
    ASSERT_EQ(r.code, 0) << r.err.toStdString();
    EXPECT_TRUE(r.out.contains(QStringLiteral("Windows metafile, 100 x 100"))) << r.out.toStdString();
    const QImage image(png);
    ASSERT_EQ(image.size(), QSize(40, 20));
    EXPECT_EQ(image.pixelColor(5, 10), QColor(Qt::red));
    EXPECT_EQ(image.pixelColor(35, 10), QColor(Qt::white));
}

TEST_F(RenderCommand, ReportsBadInputClearly)
{
    const QString out = dir.filePath(QStringLiteral("out.png"));
    CliRun r = RunCli({dir.filePath(QStringLiteral("missing.jpg")), out});
    EXPECT_NE(r.code, 0);
    EXPECT_TRUE(r.err.contains(QStringLiteral("missing.jpg"))) << r.err.toStdString();

    const QString broken = dir.filePath(QStringLiteral("broken.jpg"));
    auto data = ReadTestFile(QStringLiteral("baseline.jpg"));
    data.resize(data.size() / 2);
    WriteBytes(broken, data);
    r = RunCli({broken, out});
    EXPECT_NE(r.code, 0);
    EXPECT_TRUE(r.err.contains(QStringLiteral("Truncated JPEG picture"))) << r.err.toStdString();
    EXPECT_FALSE(QFileInfo::exists(out));

    EXPECT_EQ(RunCli({picture, dir.filePath(QStringLiteral("out.gif"))}).code, 2);
    EXPECT_EQ(RunCli({picture, out, QStringLiteral("--size"), QStringLiteral("0x5")}).code, 2);
    EXPECT_EQ(RunCli({picture}).code, 2);
}

} // namespace
