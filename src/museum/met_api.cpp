#include "museum/met_api.h"

#include "museum/json_answer.h"

#include <QJsonArray>
#include <QUrlQuery>

namespace museum {

QUrl MetSearchUrl(const QString& base, const QString& query, int offset, int limit)
{
    QUrl url(base + QStringLiteral("/public/collection/v1.1/search"));
    QUrlQuery q;
    q.addQueryItem(QStringLiteral("hasImages"), QStringLiteral("true"));
    q.addQueryItem(QStringLiteral("q"), query);
    q.addQueryItem(QStringLiteral("offset"), QString::number(offset));
    q.addQueryItem(QStringLiteral("limit"), QString::number(limit));
    url.setQuery(q);
    return url;
}

QUrl MetObjectUrl(const QString& base, const QString& id)
{
    return QUrl(base + QStringLiteral("/public/collection/v1/objects/") + id);
}

SearchPage ParseMetSearch(const QByteArray& body, int offset)
{
    SearchPage page;
    const std::optional<QJsonObject> answer = AnswerObject(body, page.error);
    if (!answer)
        return page;
    const QJsonValue ids = answer->value(QLatin1String("objectIDs"));
    // The Met answers a search without matches with "objectIDs": null.
    if (!ids.isArray() && !ids.isNull()) {
        page.error = QStringLiteral("the search answer has no \"objectIDs\" list");
        return page;
    }
    for (const QJsonValue& id : ids.toArray())
        if (id.isDouble())
            page.ids.push_back(QString::number(static_cast<qint64>(id.toDouble())));
    page.total = IntField(*answer, "total").value_or(static_cast<int>(page.ids.size()));
    page.more = !page.ids.empty() && offset + static_cast<int>(page.ids.size()) < page.total;
    return page;
}

Work ParseMetObject(const QByteArray& body, QString& error, QString* message)
{
    Work work;
    const std::optional<QJsonObject> answer = AnswerObject(body, error);
    if (!answer)
        return work;
    work.id = TextField(*answer, "objectID");
    if (work.id.isEmpty()) {
        const QString said = TextField(*answer, "message");
        if (!said.isEmpty() && message)
            *message = said;
        else
            error = QStringLiteral("the object record has no \"objectID\"");
        return work;
    }
    work.title = TextField(*answer, "title");
    work.artist = TextField(*answer, "artistDisplayName");
    // "Circle of", "Workshop of": without it a workshop's picture is the master's.
    const QString prefix = TextField(*answer, "artistPrefix");
    if (!prefix.isEmpty() && !work.artist.isEmpty())
        work.artist = prefix + QLatin1Char(' ') + work.artist;
    // The Met writes 0 for an unknown begin date.
    const std::optional<int> year = IntField(*answer, "objectBeginDate");
    if (year && *year != 0)
        work.year = year;
    work.publicDomain = answer->value(QLatin1String("isPublicDomain")).toBool(false);
    const QString original = TextField(*answer, "primaryImage");
    const QString small = TextField(*answer, "primaryImageSmall");
    work.imageUrl = original.isEmpty() ? small : original;
    if (!original.isEmpty() && !small.isEmpty())
        work.fallbackImageUrls = {small};
    work.pageUrl = TextField(*answer, "objectURL");
    work.creditLine = TextField(*answer, "creditLine");
    if (work.publicDomain)
        work.licence = PublicDomainLicence();
    return work;
}

} // namespace museum
