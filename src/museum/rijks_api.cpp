#include "museum/rijks_api.h"

#include "museum/json_answer.h"

#include <QJsonArray>
#include <QRegularExpression>
#include <QUrlQuery>

#include <functional>

namespace museum {
namespace {

// Getty AAT terms the records classify their parts with.
const QLatin1String kEnglish("http://vocab.getty.edu/aat/300388277");
const QLatin1String kAccessionNumber("http://vocab.getty.edu/aat/300312355");
const QLatin1String kCreditLine("http://vocab.getty.edu/aat/300026687");
const QLatin1String kWebPage("http://vocab.getty.edu/aat/300264578");
const QLatin1String kPublicDomainMark("https://creativecommons.org/publicdomain/mark/1.0/");
const QLatin1String kZero("https://creativecommons.org/publicdomain/zero/1.0/");

QJsonArray List(const QJsonObject& object, const char* name)
{
    return object.value(QLatin1String(name)).toArray();
}

// The identifiers of a list of references ("classified_as", "language"): each an
// object with an "id", or (in some records) the identifier as plain text.
bool Names(const QJsonArray& references, QLatin1String id)
{
    for (const QJsonValue& reference : references)
        if ((reference.isString() ? reference.toString() : TextField(reference.toObject(), "id")) == id)
            return true;
    return false;
}

// The content of the first entry of `entries` that passes `wanted`, preferring one
// in English.
QString EnglishContent(const QJsonArray& entries, const std::function<bool(const QJsonObject&)>& wanted)
{
    QString any;
    for (const QJsonValue& value : entries) {
        const QJsonObject entry = value.toObject();
        const QString content = TextField(entry, "content");
        if (content.isEmpty() || !wanted(entry))
            continue;
        if (Names(List(entry, "language"), kEnglish))
            return content;
        if (any.isEmpty())
            any = content;
    }
    return any;
}

QString FirstId(const QJsonObject& object, const char* name)
{
    const QJsonArray list = List(object, name);
    return list.isEmpty() ? QString() : TextField(list.first().toObject(), "id");
}

std::optional<int> YearOf(const QString& date)
{
    static const QRegularExpression year(QStringLiteral("^(-?\\d{1,4})-"));
    const QRegularExpressionMatch match = year.match(date.trimmed());
    if (!match.hasMatch())
        return std::nullopt;
    const int value = match.captured(1).toInt();
    return value == 0 ? std::nullopt : std::optional<int>(value);
}

// The maker as the record states it; else the names of those who carried out the
// production, in English where given.
QString Maker(const QJsonObject& production)
{
    const QString statement = EnglishContent(List(production, "referred_to_by"), [](const QJsonObject&) { return true; });
    if (!statement.isEmpty())
        return statement;
    QStringList names;
    for (const QJsonValue& part : List(production, "part")) {
        for (const QJsonValue& actor : List(part.toObject(), "carried_out_by")) {
            QString name;
            for (const QJsonValue& notation : List(actor.toObject(), "notation")) {
                const QJsonObject n = notation.toObject();
                if (name.isEmpty() || TextField(n, "@language") == QLatin1String("en"))
                    name = TextField(n, "@value");
            }
            if (!name.isEmpty() && !names.contains(name))
                names << name;
        }
    }
    return names.join(QStringLiteral(", "));
}

// The museum's web page of the object, where the record names one.
QString WebPage(const QJsonObject& record)
{
    for (const QJsonValue& subject : List(record, "subject_of"))
        for (const QJsonValue& carrier : List(subject.toObject(), "digitally_carried_by")) {
            const QJsonObject digital = carrier.toObject();
            if (Names(List(digital, "classified_as"), kWebPage) || TextField(digital, "format") == QLatin1String("text/html")) {
                const QString page = FirstId(digital, "access_point");
                if (page.startsWith(QLatin1String("https://")))
                    return page;
            }
        }
    return {};
}

} // namespace

QString RijksRecordBase(const QString& searchBase, const QString& defaultSearchBase)
{
    return searchBase == defaultSearchBase ? QStringLiteral("https://id.rijksmuseum.nl") : searchBase;
}

QUrl RijksSearchUrl(const QString& base, const QString& query, const QString& pageToken)
{
    QUrl url(base + QStringLiteral("/search/collection"));
    QUrlQuery q;
    if (!query.isEmpty())
        q.addQueryItem(QStringLiteral("description"), query);
    q.addQueryItem(QStringLiteral("imageAvailable"), QStringLiteral("true"));
    if (!pageToken.isEmpty())
        q.addQueryItem(QStringLiteral("pageToken"), pageToken);
    url.setQuery(q);
    return url;
}

QUrl RijksRecordUrl(const QString& recordBase, const QString& id)
{
    static const QRegularExpression identifier(QStringLiteral("^https?://id\\.rijksmuseum\\.nl/(\\d{1,40})$"));
    const QRegularExpressionMatch match = identifier.match(id.trimmed());
    if (!match.hasMatch())
        return {};
    return QUrl(recordBase + QLatin1Char('/') + match.captured(1));
}

SearchPage ParseRijksSearch(const QByteArray& body)
{
    SearchPage page;
    const std::optional<QJsonObject> answer = AnswerObject(body, page.error);
    if (!answer)
        return page;
    const QJsonValue items = answer->value(QLatin1String("orderedItems"));
    // An empty result may leave the list out.
    if (!items.isArray() && !items.isUndefined()) {
        page.error = QStringLiteral("the search answer's \"orderedItems\" is no list");
        return page;
    }
    for (const QJsonValue& item : items.toArray()) {
        const QString id = TextField(item.toObject(), "id");
        if (!id.isEmpty())
            page.ids.push_back(id);
    }
    page.total = IntField(answer->value(QLatin1String("partOf")).toObject(), "totalItems").value_or(static_cast<int>(page.ids.size()));
    const QUrl next(TextField(answer->value(QLatin1String("next")).toObject(), "id"));
    page.nextToken = QUrlQuery(next).queryItemValue(QStringLiteral("pageToken"), QUrl::FullyDecoded);
    page.more = !page.nextToken.isEmpty() && !page.ids.empty();
    return page;
}

Work ParseRijksObject(const QByteArray& body, QString& visualItem, QString& error)
{
    Work work;
    visualItem.clear();
    const std::optional<QJsonObject> record = AnswerObject(body, error);
    if (!record)
        return work;
    if (TextField(*record, "type") != QLatin1String("HumanMadeObject")) {
        error = QStringLiteral("the record is no object (its type is \"%1\")").arg(TextField(*record, "type"));
        return work;
    }
    const QJsonArray identifiers = List(*record, "identified_by");
    work.title = EnglishContent(identifiers, [](const QJsonObject& e) { return TextField(e, "type") == QLatin1String("Name"); });
    work.id = EnglishContent(identifiers, [](const QJsonObject& e) {
        return TextField(e, "type") == QLatin1String("Identifier") && Names(List(e, "classified_as"), kAccessionNumber);
    });
    const QString persistent = TextField(*record, "id");
    if (work.id.isEmpty())
        work.id = persistent.section(QLatin1Char('/'), -1);
    const QJsonObject production = record->value(QLatin1String("produced_by")).toObject();
    work.year = YearOf(TextField(production.value(QLatin1String("timespan")).toObject(), "begin_of_the_begin"));
    work.artist = Maker(production);
    work.creditLine = EnglishContent(List(*record, "referred_to_by"),
                                     [](const QJsonObject& e) { return Names(List(e, "classified_as"), kCreditLine); });
    work.pageUrl = WebPage(*record);
    if (work.pageUrl.isEmpty())
        work.pageUrl = persistent;
    visualItem = FirstId(*record, "shows");
    return work;
}

QString ParseRijksVisualItem(const QByteArray& body, bool& publicDomain, QString& licence, QString& error)
{
    publicDomain = false;
    licence.clear();
    const std::optional<QJsonObject> record = AnswerObject(body, error);
    if (!record)
        return {};
    for (const QJsonValue& right : List(*record, "subject_to")) {
        const QJsonArray kinds = List(right.toObject(), "classified_as");
        if (Names(kinds, kPublicDomainMark)) {
            publicDomain = true;
            licence = QStringLiteral("Public Domain Mark 1.0");
        } else if (Names(kinds, kZero)) {
            publicDomain = true;
            licence = PublicDomainLicence();
        }
    }
    return FirstId(*record, "digitally_shown_by");
}

QStringList ParseRijksDigitalObject(const QByteArray& body, int maxSide, QString& error)
{
    const std::optional<QJsonObject> record = AnswerObject(body, error);
    if (!record)
        return {};
    const QString image = FirstId(*record, "access_point");
    if (!image.startsWith(QLatin1String("http")))
        return {};
    // {service}/{region}/{size}/{rotation}/{quality}.{format} (IIIF Image API).
    static const QRegularExpression iiif(QStringLiteral("^(.+)/[^/]+/[^/]+/[^/]+/default\\.(jpg|jpeg)$"));
    const QRegularExpressionMatch match = iiif.match(image);
    if (!match.hasMatch())
        return {image};
    const QString service = match.captured(1);
    return {QStringLiteral("%1/full/!%2,%2/0/default.jpg").arg(service).arg(maxSide),
            service + QStringLiteral("/full/max/0/default.jpg")};
}

} // namespace museum
