#include "museum/cma_api.h"

#include "museum/json_answer.h"

#include <QJsonArray>
#include <QUrlQuery>

#include <algorithm>

namespace museum {

QUrl CmaSearchUrl(const QString& base, const QString& query, int skip, int limit)
{
    QUrl url(base + QStringLiteral("/api/artworks/"));
    QUrlQuery q;
    if (!query.isEmpty())
        q.addQueryItem(QStringLiteral("q"), query);
    q.addQueryItem(QStringLiteral("cc0"), QStringLiteral("1"));
    q.addQueryItem(QStringLiteral("has_image"), QStringLiteral("1"));
    q.addQueryItem(QStringLiteral("limit"), QString::number(limit));
    q.addQueryItem(QStringLiteral("skip"), QString::number(skip));
    url.setQuery(q);
    return url;
}

QString CmaCreatorName(const QString& description)
{
    const qsizetype open = description.indexOf(QLatin1String(" ("));
    return (open > 0 ? description.left(open) : description).trimmed();
}

namespace {

// The renditions of a record, largest allowed first. A rendition whose size the
// record does not give is taken at its place in the order.
QStringList Renditions(const QJsonObject& images, int maxSide)
{
    QStringList fitting, larger;
    for (const char* name : {"print", "full", "web"}) {
        const QJsonObject rendition = images.value(QLatin1String(name)).toObject();
        const QString url = TextField(rendition, "url");
        // The cache and the checks take JPEG; the full rendition is often a TIFF.
        if (url.isEmpty() || !(url.endsWith(QLatin1String(".jpg"), Qt::CaseInsensitive)
                               || url.endsWith(QLatin1String(".jpeg"), Qt::CaseInsensitive)))
            continue;
        const int side = std::max(IntField(rendition, "width").value_or(0), IntField(rendition, "height").value_or(0));
        (side > maxSide ? larger : fitting) << url;
    }
    // Only when nothing fits is a rendition larger than the pack's side taken.
    return fitting + larger;
}

} // namespace

SearchPage ParseCmaSearch(const QByteArray& body, int skip, int maxSide)
{
    SearchPage page;
    const std::optional<QJsonObject> answer = AnswerObject(body, page.error);
    if (!answer)
        return page;
    const QJsonValue data = answer->value(QLatin1String("data"));
    if (!data.isArray()) {
        page.error = QStringLiteral("the search answer has no \"data\" list");
        return page;
    }
    page.total = IntField(answer->value(QLatin1String("info")).toObject(), "total").value_or(0);
    const QJsonArray records = data.toArray();
    page.more = skip + records.size() < page.total && !records.isEmpty();
    for (const QJsonValue& entry : records) {
        if (!entry.isObject())
            continue;
        const QJsonObject record = entry.toObject();
        Work work;
        work.id = TextField(record, "id");
        if (work.id.isEmpty())
            continue;
        work.title = TextField(record, "title");
        work.year = IntField(record, "creation_date_earliest");
        QStringList artists;
        for (const QJsonValue& creator : record.value(QLatin1String("creators")).toArray()) {
            const QString name = CmaCreatorName(TextField(creator.toObject(), "description"));
            if (!name.isEmpty())
                artists << name;
        }
        work.artist = artists.join(QStringLiteral(", "));
        work.publicDomain = TextField(record, "share_license_status").compare(QLatin1String("CC0"), Qt::CaseInsensitive) == 0;
        QStringList renditions = Renditions(record.value(QLatin1String("images")).toObject(), maxSide);
        if (!renditions.isEmpty())
            work.imageUrl = renditions.takeFirst();
        work.fallbackImageUrls = renditions;
        work.pageUrl = TextField(record, "url");
        work.creditLine = TextField(record, "creditline");
        if (work.publicDomain)
            work.licence = PublicDomainLicence();
        page.works.push_back(std::move(work));
    }
    return page;
}

} // namespace museum
