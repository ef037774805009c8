#pragma once
// A folder of stand-in desktop tools (tests/platform/stubs/desktop-tool.sh under
// each tool's name) that becomes the whole PATH, and the calls they recorded.
#include "env_guard.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QStringList>
#include <QTemporaryDir>

#include <memory>
#include <vector>

class StubTools {
public:
    explicit StubTools(EnvGuard& env)
    {
        const QString bin = dir_.filePath(QStringLiteral("bin"));
        QDir().mkpath(bin);
        QDir().mkpath(State());
        const QString script = bin + QStringLiteral("/desktop-tool");
        QFile::copy(QStringLiteral(PLATFORM_STUB_SCRIPT), script);
        QFile::setPermissions(script, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        for (const char* tool : {"gsettings", "xfconf-query", "qdbus", "qdbus6", "pcmanfm", "pcmanfm-qt", "swaymsg",
                                 "swww", "xdg-open", "plasma-apply-wallpaperimage", "xfdesktop", "swaybg", "hyprctl",
                                 "hyprpaper"})
            QFile::link(script, bin + QLatin1Char('/') + QLatin1String(tool));
        env.Set("PATH", QFile::encodeName(bin));
        env.Set("STUB_LOG", QFile::encodeName(dir_.filePath(QStringLiteral("calls.log"))));
        env.Set("STUB_STATE", QFile::encodeName(State()));
    }

    QString Bin() const { return dir_.filePath(QStringLiteral("bin")); }
    QString State() const { return dir_.filePath(QStringLiteral("state")); }

    void WriteState(const QString& name, const QStringList& lines) const
    {
        QFile file(State() + QLatin1Char('/') + name);
        file.open(QIODevice::WriteOnly | QIODevice::Truncate);
        file.write(lines.join(QLatin1Char('\n')).toUtf8() + '\n');
    }

    // Every recorded call: the tool's name, then its arguments.
    std::vector<QStringList> Calls() const
    {
        std::vector<QStringList> calls;
        QFile log(dir_.filePath(QStringLiteral("calls.log")));
        if (!log.open(QIODevice::ReadOnly))
            return calls;
        const QString text = QString::fromUtf8(log.readAll());
        for (const QString& call : text.split(QChar(0x1e), Qt::SkipEmptyParts))
            calls.push_back(call.split(QChar(0x1f)));
        return calls;
    }

    void ClearCalls() const { QFile::remove(dir_.filePath(QStringLiteral("calls.log"))); }

    // Runs a stand-in desktop program (xfdesktop, "pcmanfm-qt --desktop") until
    // StopDesktops() or the end of the test.
    bool RunDesktop(const QString& tool, const QStringList& args = {})
    {
        desktops_.push_back(std::make_unique<QProcess>());
        desktops_.back()->start(dir_.filePath(QStringLiteral("bin/") + tool), args);
        return desktops_.back()->waitForStarted(10000);
    }
    void StopDesktops()
    {
        for (auto& p : desktops_) {
            p->closeWriteChannel();
            if (!p->waitForFinished(10000))
                p->kill();
            p->waitForFinished(1000);
        }
        desktops_.clear();
    }
    ~StubTools() { StopDesktops(); }

private:
    QTemporaryDir dir_;
    std::vector<std::unique_ptr<QProcess>> desktops_;
};
