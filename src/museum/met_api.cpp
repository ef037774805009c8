#include "museum/met_api.h"

#include "museum/json_answer.h"

#include <QJsonArray>
#include <QUrlQuery>

namespace museum {

QUrl MetSearchUrl(const QString& base, const QString& query)
{
    QUrl url(base + QStringLiteral("/public/collection/v1/search"));
    QUrlQuery q;
    q.addQueryItem(QStringLiteral("hasImages"), QStringLiteral("true"));
    q.addQueryItem(QStringLiteral("q"), query);
    url.setQuery(q);
    return url;
}

QUrl MetObjectUrl(const QString& base, const QString& id)
{
    return QUrl(base + QStringLiteral("/public/collection/v1/objects/") + id);
}

SearchPage ParseMetSearch(const QByteArray& body)
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
    return page;
}

Work ParseMetObject(const QByteArray& body, QString& error)
{
    Work work;
    const std::optional<QJsonObject> answer = AnswerObject(body, error);
    if (!answer)
        return work;
    work.id = TextField(*answer, "objectID");
    if (work.id.isEmpty()) {
        error = QStringLiteral("the object record has no \"objectID\"");
        return work;
    }
    work.title = TextField(*answer, "title");
    work.artist = TextField(*answer, "artistDisplayName");
    // The Met writes 0 for an unknown begin date.
    const std::optional<int> year = IntField(*answer, "objectBeginDate");
    if (year && *year != 0)
        work.year = year;
    work.publicDomain = answer->value(QLatin1String("isPublicDomain")).toBool(false);
    work.imageUrl = TextField(*answer, "primaryImageSmall");
    return work;
}

} // namespace museum
