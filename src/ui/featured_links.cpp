#include "ui/featured_links.h"

#include "core/random.h"

#include <QStringList>

namespace ui {
namespace {

void SetOnce(QString& field, bool& seen, const QString& value)
{
    if (seen)
        return;
    seen = true;
    field = value;
}

} // namespace

std::vector<FeaturedLink> ParseFeaturedLinks(const QString& text)
{
    std::vector<FeaturedLink> links;
    struct Seen {
        bool name = false, link = false, link2 = false, description = false;
    } seen;
    // CR LF, LF or a lone CR all end a line.
    QString normalised = text;
    normalised.replace(QStringLiteral("\r\n"), QStringLiteral("\n")).replace(QLatin1Char('\r'), QLatin1Char('\n'));
    const QStringList lines = normalised.split(QLatin1Char('\n'));
    for (const QString& raw : lines) {
        const QString line = raw.trimmed();
        if (line.isEmpty() || line.startsWith(QLatin1Char(';')) || line.startsWith(QLatin1Char('#')))
            continue;
        if (line.startsWith(QLatin1Char('[')) && line.endsWith(QLatin1Char(']'))) {
            links.emplace_back();
            seen = Seen{};
            continue;
        }
        const qsizetype equals = line.indexOf(QLatin1Char('='));
        if (links.empty() || equals <= 0)
            continue;
        const QString key = line.left(equals).trimmed();
        const QString value = line.mid(equals + 1).trimmed();
        FeaturedLink& entry = links.back();
        if (key.compare(QLatin1String("Name"), Qt::CaseInsensitive) == 0)
            SetOnce(entry.name, seen.name, value);
        else if (key.compare(QLatin1String("Link"), Qt::CaseInsensitive) == 0)
            SetOnce(entry.link, seen.link, value);
        else if (key.compare(QLatin1String("Link2"), Qt::CaseInsensitive) == 0)
            SetOnce(entry.link2, seen.link2, value);
        else if (key.compare(QLatin1String("Description"), Qt::CaseInsensitive) == 0)
            SetOnce(entry.description, seen.description, value);
    }
    return links;
}

int DrawFeaturedIndex(int count)
{
    if (count <= 0)
        return -1;
    const int i = RandomBelow(count + 5);
    return i >= count ? 0 : i;
}

QString FeaturedPicturePath(const QString& folder, int index)
{
    return folder + QString::number(10 + index) + QStringLiteral(".png");
}

} // namespace ui
