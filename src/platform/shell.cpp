#include "platform/shell.h"

#include "platform/tool_run.h"

#include <QDesktopServices>
#include <QFileInfo>
#include <QGuiApplication>
#include <QProcess>
#include <QUrl>

namespace platform {

bool OpenWithShell(const QString& address)
{
    const QString text = address.trimmed();
    // A plain absolute path is a local file too.
    QUrl url = text.startsWith(QLatin1Char('/')) ? QUrl::fromLocalFile(text) : QUrl(text, QUrl::TolerantMode);
    if (!url.isValid() || url.scheme().isEmpty())
        return false;
    // Only what the program links to: web pages, mail and local files. Anything
    // else (custom handlers, javascript:, ...) is not ours to launch.
    const QString scheme = url.scheme().toLower();
    if (scheme != u"http" && scheme != u"https" && scheme != u"mailto" && scheme != u"file")
        return false;
    if (scheme == u"file") {
        const QString local = url.toLocalFile();
        if (local.isEmpty())
            return false;
        const QFileInfo info(local);
        if (info.isDir()) {
            // A folder of web pages is opened at its front page; a plain folder
            // opens in the file manager.
            const QFileInfo index(info.absoluteFilePath() + QStringLiteral("/index.html"));
            url = QUrl::fromLocalFile(index.exists() ? index.absoluteFilePath() : info.absoluteFilePath());
        }
    }

    // Qt's own services where a real desktop platform runs (portals, the
    // desktop's handlers); they start the program detached.
    if (qGuiApp) {
        const QString platformName = QGuiApplication::platformName();
        if (platformName != u"offscreen" && platformName != u"minimal")
            return QDesktopServices::openUrl(url);
    }
    const QString opener = FindTool(QStringLiteral("xdg-open"));
    if (opener.isEmpty())
        return false;
    return QProcess::startDetached(opener, {url.toString(QUrl::FullyEncoded)});
}

} // namespace platform
