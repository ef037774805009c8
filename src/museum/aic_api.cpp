#include "museum/aic_api.h"

#include "museum/json_answer.h"

#include <QJsonArray>
#include <QUrlQuery>

namespace museum {

QUrl AicSearchUrl(const QString& base, const QString& query, int page, int limit)
{
    QUrl url(base + QStringLiteral("/api/v1/artworks/search"));
    QUrlQuery q;
    if (!query.isEmpty())
        q.addQueryItem(QStringLiteral("q"), query);
    q.addQueryItem(QStringLiteral("query[term][is_public_domain]"), QStringLiteral("true"));
    q.addQueryItem(QStringLiteral("fields"), QStringLiteral("id,title,image_id,artist_title,date_start,is_public_domain,credit_line"));
    q.addQueryItem(QStringLiteral("limit"), QString::number(limit));
    q.addQueryItem(QStringLiteral("page"), QString::number(page));
    url.setQuery(q);
    return url;
}

QString AicImageUrl(const QString& iiifBase, const QString& imageId, int width)
{
    QString base = iiifBase;
    while (base.endsWith(QLatin1Char('/')))
        base.chop(1);
    return QStringLiteral("%1/%2/full/%3,/0/default.jpg").arg(base, imageId).arg(width);
}

QString AicPageUrl(const QString& id)
{
    return QStringLiteral("https://www.artic.edu/artworks/") + id;
}

SearchPage ParseAicSearch(const QByteArray& body)
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
    const QString iiif = TextField(answer->value(QLatin1String("config")).toObject(), "iiif_url");
    const QJsonObject pagination = answer->value(QLatin1String("pagination")).toObject();
    page.total = IntField(pagination, "total").value_or(0);
    page.more = IntField(pagination, "current_page").value_or(0) < IntField(pagination, "total_pages").value_or(0);
    for (const QJsonValue& entry : data.toArray()) {
        if (!entry.isObject())
            continue;
        const QJsonObject record = entry.toObject();
        Work work;
        work.id = TextField(record, "id");
        work.title = TextField(record, "title");
        work.artist = TextField(record, "artist_title");
        work.year = IntField(record, "date_start");
        work.publicDomain = record.value(QLatin1String("is_public_domain")).toBool(false);
        const QString imageId = TextField(record, "image_id");
        if (!imageId.isEmpty() && !iiif.isEmpty()) {
            work.imageUrl = AicImageUrl(iiif, imageId, kAicLargeWidth);
            // The size the museum's own pages use, which its server always gives.
            work.fallbackImageUrls = {AicImageUrl(iiif, imageId, kAicSmallWidth)};
        }
        work.pageUrl = AicPageUrl(work.id);
        work.creditLine = TextField(record, "credit_line");
        if (work.publicDomain)
            work.licence = PublicDomainLicence();
        if (work.id.isEmpty())
            continue;
        page.works.push_back(std::move(work));
    }
    if (!data.toArray().isEmpty() && iiif.isEmpty())
        page.error = QStringLiteral("the search answer names no IIIF server (config.iiif_url)");
    if (!page.error.isEmpty())
        page.works.clear();
    return page;
}

} // namespace museum
