// The Xfce way on the real xfdesktop and xfconfd, on a private X display
// (tests/desktop/with_desktop.sh) and a private session bus.
#include "desktop/desktop_programs.h"
#include "platform/tool_run.h"
#include "platform/wallpaper.h"
#include "support/temp_env.h"

#include <QDir>
#include <QFile>
#include <QThread>

#include <gtest/gtest.h>

#include <map>
#include <optional>

namespace {

// Every property of the channel with its value, as xfconf-query lists them.
std::map<QString, QString> XfconfProperties()
{
    std::map<QString, QString> props;
    const auto run = platform::RunTool(QStringLiteral("xfconf-query"),
                                       {QStringLiteral("-c"), QStringLiteral("xfce4-desktop"), QStringLiteral("-l"),
                                        QStringLiteral("-v")});
    for (const QString& line : QString::fromUtf8(run.out).split(QLatin1Char('\n'), Qt::SkipEmptyParts)) {
        const qsizetype space = line.indexOf(QLatin1Char(' '));
        if (space > 0)
            props[line.left(space)] = line.mid(space).trimmed();
    }
    return props;
}

bool ListsAWallpaper()
{
    for (const auto& [prop, value] : XfconfProperties()) {
        if (prop.endsWith(QLatin1String("/last-image")))
            return true;
    }
    return false;
}

// What an Xfce user has after some use: wallpapers of their own, one workspace
// with no picture shown (style 0), one with no style stored, and a monitor they
// no longer have.
const char* const kUsedProfile = R"(<?xml version="1.0" encoding="UTF-8"?>
<channel name="xfce4-desktop" version="1.0">
  <property name="backdrop" type="empty">
    <property name="screen0" type="empty">
      <property name="monitorscreen" type="empty">
        <property name="workspace0" type="empty">
          <property name="color-style" type="int" value="0"/>
          <property name="image-style" type="int" value="0"/>
          <property name="last-image" type="string" value="/usr/share/backgrounds/xfce/xfce-shapes.svg"/>
        </property>
        <property name="workspace1" type="empty">
          <property name="last-image" type="string" value="/home/someone/Pictures/gone.png"/>
        </property>
      </property>
      <property name="monitorVGA-9" type="empty">
        <property name="workspace0" type="empty">
          <property name="image-style" type="int" value="3"/>
          <property name="last-image" type="string" value="/home/someone/Pictures/old.jpg"/>
        </property>
      </property>
    </property>
  </property>
</channel>
)";

class XfceDesktop : public ::testing::Test {
protected:
    void SetUp() override
    {
        const QString missing = MissingPrograms({QStringLiteral("xfdesktop"), QStringLiteral("xfconf-query")});
        if (!missing.isEmpty())
            GTEST_SKIP() << missing.toStdString();
        if (ScreenSize().isEmpty())
            GTEST_SKIP() << "needs an X display (tests/desktop/with_desktop.sh)";
        env.Set("XDG_CURRENT_DESKTOP", "XFCE");
    }

    // The copy the setter makes lands in the data folder; the source may be anywhere.
    QString Save(const QImage& image, const QString& name)
    {
        const QString path = home.Root() + QLatin1Char('/') + name;
        EXPECT_TRUE(image.save(path, "BMP"));
        return path;
    }

    TempEnv home;
    EnvGuard env;
};

TEST_F(XfceDesktop, FreshAndUsedProfilesShowThePicture)
{
    const QSize size = ScreenSize();
    // xfdesktop's icons stand in the first column: the rest must be the picture.
    const QRect beyondIcons(QPoint(160, 0), QSize(size.width() - 160, size.height()));
    for (const char* profile : {"fresh", "used"}) {
        SCOPED_TRACE(profile);
        TempEnv user;
        if (qstrcmp(profile, "used") == 0) {
            const QString folder = user.ConfigHome() + QStringLiteral("/xfce4/xfconf/xfce-perchannel-xml");
            QDir().mkpath(folder);
            QFile xml(folder + QStringLiteral("/xfce4-desktop.xml"));
            ASSERT_TRUE(xml.open(QIODevice::WriteOnly));
            xml.write(kUsedProfile);
        }
        PrivateSession session(user.Root());
        if (!session.Problem().isEmpty())
            GTEST_SKIP() << session.Problem().toStdString();
        DesktopProgram xfdesktop(QStringLiteral("xfdesktop"), {}, user.Root());
        ASSERT_TRUE(xfdesktop.Running());
        // Up once its window is shown and it has stored the wallpapers of every
        // workspace (the listing no longer grows).
        ASSERT_TRUE(WaitUntil(&DesktopWindowShown)) << xfdesktop.Log().toStdString();
        ASSERT_TRUE(WaitUntil(&ListsAWallpaper)) << xfdesktop.Log().toStdString();
        std::map<QString, QString> listed;
        WaitUntil([&] {
            auto now = XfconfProperties();
            const bool settled = now.size() == listed.size();
            listed = std::move(now);
            QThread::msleep(300);
            return settled;
        });

        for (int change = 1; change <= 2; ++change) {
            const QImage picture = CoarsePattern(size, change);
            const auto result = platform::SetDesktopWallpaper(Save(picture, QStringLiteral("expo.bmp")));
            ASSERT_TRUE(result.ok()) << result.error().text;
            EXPECT_EQ(result->method, QStringLiteral("xfce"));
            EXPECT_EQ(result->description, QStringLiteral("Set on Xfce's desktop"));

            const ScreenMatch shown = WaitForScreen(beyondIcons, picture, QPoint(0, 0));
            EXPECT_TRUE(shown.Matches()) << "change " << change << ": " << shown.Describe().toStdString();
            SaveScreenshot(QStringLiteral("xfce-%1-%2").arg(QLatin1String(profile)).arg(change));

            // xfconf keeps the new file for every monitor and workspace, zoomed
            // wherever a style is stored.
            int images = 0;
            for (const auto& [prop, value] : XfconfProperties()) {
                if (prop.endsWith(QLatin1String("/last-image"))) {
                    ++images;
                    EXPECT_EQ(value.toStdString(), result->file.toStdString()) << prop.toStdString();
                } else if (prop.endsWith(QLatin1String("/image-style"))) {
                    EXPECT_EQ(value.toStdString(), "5") << prop.toStdString();
                }
            }
            EXPECT_GE(images, 1);
        }

    }
}

// A second X server of the same user, drawn by an xfdesktop of its own; ended
// with the object.
class OtherDisplay {
public:
    OtherDisplay()
    {
        const QStringList args = QStringLiteral("-displayfd 1 -screen 0 640x480x24 -nolisten tcp -auth /dev/null")
                                     .split(QLatin1Char(' '));
        server_.start(QStringLiteral("Xvfb"), args);
        while (server_.waitForReadyRead(5000) && !server_.canReadLine()) {
        }
        const QByteArray number = server_.readLine().trimmed();
        if (!number.isEmpty())
            display_ = ':' + number;
    }
    ~OtherDisplay()
    {
        program_.reset();
        server_.terminate();
        server_.waitForFinished(3000);
    }
    bool Draw(const QString& program, const QString& logFolder)
    {
        if (display_.isEmpty())
            return false;
        EnvGuard env;
        env.Set("DISPLAY", display_);
        program_.emplace(program, QStringList(), logFolder);
        return program_->Running();
    }

private:
    QProcess server_;
    QByteArray display_;
    std::optional<DesktopProgram> program_;
};

TEST_F(XfceDesktop, WithoutXfdesktopOnThisDisplayTheRootWindowShowsItAndTheUserLearnsWhy)
{
    const QSize size = ScreenSize();
    const QRect screen(QPoint(0, 0), size);
    for (const bool elsewhere : {false, true}) {
        SCOPED_TRACE(elsewhere ? "xfdesktop on another display" : "no xfdesktop");
        TempEnv user;
        PrivateSession session(user.Root());
        if (!session.Problem().isEmpty())
            GTEST_SKIP() << session.Problem().toStdString();
        OtherDisplay other;
        if (elsewhere) {
            ASSERT_TRUE(other.Draw(QStringLiteral("xfdesktop"), user.Root()));
            ASSERT_TRUE(WaitUntil(&ListsAWallpaper));
        }
        const QImage picture = CoarsePattern(size, elsewhere ? 6 : 5);
        const auto result = platform::SetDesktopWallpaper(Save(picture, QStringLiteral("root.bmp")));
        ASSERT_TRUE(result.ok()) << result.error().text;
        EXPECT_EQ(result->method, QStringLiteral("x11-root"));
        EXPECT_EQ(result->description, QStringLiteral("Xfce's desktop program, xfdesktop, is not running, so the "
                                                     "picture was put on the X root window instead"));
        const ScreenMatch shown = WaitForScreen(screen, picture, QPoint(0, 0));
        EXPECT_TRUE(shown.Matches(0)) << shown.Describe().toStdString();
        SaveScreenshot(QStringLiteral("xfce-not-running%1").arg(elsewhere ? QStringLiteral("-here") : QString()));
    }
}

} // namespace
