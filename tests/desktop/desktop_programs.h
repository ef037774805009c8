#pragma once
// Real desktop programs inside a test: a private session for them (home folders
// and a D-Bus session bus of the test's own, so xfconfd and dconf keep their
// settings in the test's folder), the programs themselves, and what the X screen
// then shows, compared with a picture.
//
//   TempEnv home;
//   PrivateSession session(home.Root());
//   if (!session.Problem().isEmpty()) GTEST_SKIP() << session.Problem();
//   DesktopProgram xfdesktop(QStringLiteral("xfdesktop"), {}, home.Root());
//   ... set the wallpaper ...
//   const ScreenMatch m = WaitForScreen(region, picture, region.topLeft());
//   EXPECT_TRUE(m.Matches()) << m.Describe();
#include "platform/env_guard.h"

#include <QImage>
#include <QProcess>
#include <QRect>
#include <QString>
#include <QStringList>

#include <functional>
#include <ostream>

// QString in GoogleTest's failure messages as text.
inline void PrintTo(const QString& s, std::ostream* os) { *os << '"' << s.toStdString() << '"'; }

// Points HOME and the XDG folders (config, data, cache, runtime) at folders under
// root, puts the system's own gsettings ahead of any stand-in on PATH, and starts
// a dbus-daemon for the session. The folders are set before the bus starts: the
// services it starts on demand (dconf-service, xfconfd) take their environment
// from the bus, not from their client, and would otherwise write to the real home.
// Everything goes back, and the bus and its services end, with the object.
class PrivateSession {
public:
    explicit PrivateSession(const QString& root);
    ~PrivateSession();
    PrivateSession(const PrivateSession&) = delete;
    PrivateSession& operator=(const PrivateSession&) = delete;

    // Empty when the bus is up; otherwise why not, for GTEST_SKIP.
    QString Problem() const { return problem_; }
    QString Address() const { return address_; }

private:
    EnvGuard env_;
    QProcess bus_;
    QString address_;
    QString problem_;
};

// Empty when every program named is on PATH; otherwise the missing ones, for GTEST_SKIP.
QString MissingPrograms(const QStringList& programs);

// A desktop program running for the life of the object, with its output in
// logFolder/<program>.log; ended (terminate, then kill) on destruction.
class DesktopProgram {
public:
    DesktopProgram(const QString& program, const QStringList& args, const QString& logFolder);
    ~DesktopProgram();
    DesktopProgram(const DesktopProgram&) = delete;
    DesktopProgram& operator=(const DesktopProgram&) = delete;

    bool Running() const { return process_.state() == QProcess::Running; }
    QString Log() const; // what it wrote so far, for failure messages

private:
    QProcess process_;
    QString log_;
};

// Polls until ready() holds or timeoutMs passed; returns the last answer.
bool WaitUntil(const std::function<bool()>& ready, int timeoutMs = 10000);

// The X display of DISPLAY.
QSize ScreenSize();
// The screen's pixels in region (root-window coordinates) as RGB; null when the
// display cannot be read.
QImage GrabScreen(const QRect& region);
// True once a window of type _NET_WM_WINDOW_TYPE_DESKTOP is among the window
// manager's clients: a desktop program is drawing the desktop.
bool DesktopWindowShown();
// Saves the whole screen as <name>.png in the screenshots folder (build/screenshots).
void SaveScreenshot(const QString& name);

// A comparison of a part of the screen with a picture.
struct ScreenMatch {
    qint64 compared = 0;
    qint64 differing = 0;  // pixels where a channel differs by more than the tolerance
    int worst = 0;         // the largest channel difference met
    QPoint firstDiffering; // screen position of the first differing pixel
    // At most allowed of the pixels differ (a scaler's rounding at pattern edges).
    bool Matches(double allowed = 0.01) const { return compared > 0 && differing <= qint64(allowed * double(compared)); }
    QString Describe() const;
};

// Compares the screen grab shown (covering region) with picture, whose top-left
// pixel lies at pictureAt on the screen (a monitor's origin, or the screen's).
// Region pixels outside the picture count as differing.
ScreenMatch CompareWithPicture(const QImage& shown, const QRect& region, const QImage& picture, QPoint pictureAt,
                               int tolerance = 12);
// Grabs region until it shows the picture (or timeoutMs passed); the last comparison.
ScreenMatch WaitForScreen(const QRect& region, const QImage& picture, QPoint pictureAt, int timeoutMs = 8000,
                          int tolerance = 12);

// A picture of coarse blocks in distinct colours: a shifted, scaled, tiled or
// cropped picture shows as many differing pixels, while a scaler's blur at the
// block edges stays a small fraction.
QImage CoarsePattern(const QSize& size, int seed);
