#include "museum/smk_api.h"

#include "museum/json_answer.h"

#include <QJsonArray>
#include <QJsonObject>
#include <QRegularExpression>
#include <QUrlQuery>

#include <algorithm>

namespace museum {
namespace {

// The year at the start of an ISO date ("1479-11-29T00:00:00.000Z", "-0500-01-01...").
std::optional<int> YearOf(const QString& date)
{
    static const QRegularExpression year(QStringLiteral("^(-?\\d{1,4})-"));
    const QRegularExpressionMatch match = year.match(date.trimmed());
    if (!match.hasMatch())
        return std::nullopt;
    const int value = match.captured(1).toInt();
    return value == 0 ? std::nullopt : std::optional<int>(value);
}

QJsonObject FirstObject(const QJsonObject& record, const char* name)
{
    const QJsonArray list = record.value(QLatin1String(name)).toArray();
    return list.isEmpty() ? QJsonObject() : list.first().toObject();
}

} // namespace

QUrl SmkSearchUrl(const QString& base, const QString& query, int offset, int rows)
{
    QUrl url(base + QStringLiteral("/api/v1/art/search/"));
    QUrlQuery q;
    q.addQueryItem(QStringLiteral("keys"), query.isEmpty() ? QStringLiteral("*") : query);
    q.addQueryItem(QStringLiteral("filters"), QStringLiteral("[has_image:true],[public_domain:true]"));
    q.addQueryItem(QStringLiteral("offset"), QString::number(offset));
    q.addQueryItem(QStringLiteral("rows"), QString::number(rows));
    q.addQueryItem(QStringLiteral("lang"), QStringLiteral("en"));
    url.setQuery(q);
    return url;
}

QString SmkCreatorName(const QJsonObject& production)
{
    const QString forename = TextField(production, "creator_forename");
    const QString surname = TextField(production, "creator_surname");
    if (!forename.isEmpty() && !surname.isEmpty())
        return forename + QLatin1Char(' ') + surname;
    const QString creator = TextField(production, "creator");
    const qsizetype comma = creator.indexOf(QLatin1String(", "));
    return comma > 0 ? creator.mid(comma + 2) + QLatin1Char(' ') + creator.left(comma) : creator;
}

SearchPage ParseSmkSearch(const QByteArray& body, int offset, int maxSide)
{
    SearchPage page;
    const std::optional<QJsonObject> answer = AnswerObject(body, page.error);
    if (!answer)
        return page;
    const QJsonValue items = answer->value(QLatin1String("items"));
    if (!items.isArray()) {
        page.error = QStringLiteral("the search answer has no \"items\" list");
        return page;
    }
    const QJsonArray records = items.toArray();
    page.total = IntField(*answer, "found").value_or(offset + static_cast<int>(records.size()));
    page.more = !records.isEmpty() && offset + records.size() < page.total;
    for (const QJsonValue& entry : records) {
        const QJsonObject record = entry.toObject();
        Work work;
        work.id = TextField(record, "object_number");
        if (work.id.isEmpty())
            continue;
        work.title = TextField(FirstObject(record, "titles"), "title");
        work.artist = SmkCreatorName(FirstObject(record, "production"));
        work.year = YearOf(TextField(FirstObject(record, "production_date"), "start"));
        work.publicDomain = record.value(QLatin1String("public_domain")).toBool(false);
        const QString iiif = TextField(record, "image_iiif_id");
        const QString thumbnail = TextField(record, "image_thumbnail");
        if (!iiif.isEmpty()) {
            const int own = std::max(IntField(record, "image_width").value_or(0), IntField(record, "image_height").value_or(0));
            const int side = own > 0 ? std::min(own, maxSide) : maxSide;
            work.imageUrl = QStringLiteral("%1/full/!%2,%2/0/default.jpg").arg(iiif).arg(side);
            if (!thumbnail.isEmpty())
                work.fallbackImageUrls = {thumbnail};
        } else {
            work.imageUrl = TextField(record, "image_native");
            if (work.imageUrl.isEmpty())
                work.imageUrl = thumbnail;
        }
        work.pageUrl = QStringLiteral("https://open.smk.dk/en/artwork/image/") + QString::fromLatin1(QUrl::toPercentEncoding(work.id));
        work.creditLine = QStringLiteral("Statens Museum for Kunst, %1").arg(work.id);
        if (work.publicDomain)
            work.licence = PublicDomainLicence();
        page.works.push_back(std::move(work));
    }
    return page;
}

} // namespace museum
