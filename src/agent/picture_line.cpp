#include "agent/picture_line.h"

#include <QStringList>

#include <algorithm>

namespace agent {

namespace {
// Tips longer than this are cut by some notification areas without a mark.
constexpr int kTipLineLength = 60;
} // namespace

QString PictureLine(const gallery::WallEntry& entry, int maximum)
{
    QString text = entry.title.simplified();
    if (text.isEmpty())
        return {};
    // The year as the pack wrote it: "c. 1890" and "1890-95" are years too.
    QStringList parts;
    const QString year = entry.year.simplified();
    if (!year.isEmpty() && year != QLatin1String("0"))
        parts << year;
    if (const QString author = entry.author.simplified(); !author.isEmpty())
        parts << author;
    if (!parts.isEmpty())
        text += QStringLiteral(" (") + parts.join(QStringLiteral(", ")) + QLatin1Char(')');
    if (text.size() > maximum) {
        qsizetype keep = std::max(0, maximum - 3);
        // Never cut a character that needs two UTF-16 units in half.
        if (keep > 0 && text.at(keep - 1).isHighSurrogate())
            --keep;
        text = text.left(keep) + QStringLiteral("...");
    }
    return text;
}

QString TrayTip(const QString& productTitle, const std::optional<gallery::WallEntry>& onWall)
{
    if (!onWall)
        return productTitle;
    const QString line = PictureLine(*onWall, kTipLineLength);
    return line.isEmpty() ? productTitle : productTitle + QLatin1Char('\n') + line;
}

} // namespace agent
