#include "museum/museums.h"

#include <QByteArray>

namespace museum {
namespace {

// The Art Institute asks anonymous clients for at most 60 requests a minute
// (api.artic.edu/docs, "Usage policy"). The Met documents 80 a second
// (metmuseum.github.io), but its firewall blocks a client for 30 seconds or more
// after about 30 quick requests (reports of 2025 in metmuseum/openaccess on
// GitHub): a token bucket of twenty, refilled one a second, sends a burst of
// twenty at the start and then one a second, never a second burst while the
// requests keep coming. Cleveland documents no limit, so we keep to ten a second;
// Statens Museum for Kunst documents none either, and we keep to one a second.
// The Rijksmuseum's data services document no limit; each work costs three
// records there, so we allow two requests a second, in bursts of ten at most.
const MuseumInfo kMuseums[] = {
    {Source::Aic, "aic", "Art Institute of Chicago", "https://api.artic.edu", "AMBIENCE_API_BASE_AIC", {60, 60000}},
    {Source::Met, "met", "The Metropolitan Museum of Art", "https://collectionapi.metmuseum.org",
     "AMBIENCE_API_BASE_MET", {1, 1000, 20}},
    {Source::Cma, "cma", "Cleveland Museum of Art", "https://openaccess-api.clevelandart.org", "AMBIENCE_API_BASE_CMA",
     {10, 1000}},
    {Source::Smk, "smk", "Statens Museum for Kunst", "https://api.smk.dk", "AMBIENCE_API_BASE_SMK", {10, 10000}},
    {Source::Rijks, "rijks", "Rijksmuseum", "https://data.rijksmuseum.nl", "AMBIENCE_API_BASE_RIJKS", {10, 5000}},
};

} // namespace

const MuseumInfo& Info(Source source)
{
    for (const MuseumInfo& info : kMuseums)
        if (info.source == source)
            return info;
    return kMuseums[0];
}

const std::vector<Source>& AllSources()
{
    static const std::vector<Source> sources = [] {
        std::vector<Source> all;
        for (const MuseumInfo& info : kMuseums)
            all.push_back(info.source);
        return all;
    }();
    return sources;
}

std::optional<Source> SourceFromCode(const QString& code)
{
    for (const MuseumInfo& info : kMuseums)
        if (code.compare(QLatin1String(info.code), Qt::CaseInsensitive) == 0)
            return info.source;
    return std::nullopt;
}

QString ApiBase(Source source, const QString& given)
{
    QString base = given;
    if (base.isEmpty())
        base = qEnvironmentVariable(Info(source).environment);
    if (base.isEmpty())
        base = QString::fromLatin1(Info(source).defaultBase);
    while (base.endsWith(QLatin1Char('/')))
        base.chop(1);
    return base;
}

QString ShortName(Source source)
{
    const QString name = QString::fromLatin1(Info(source).name);
    return name.startsWith(QLatin1String("The ")) ? name.mid(4) : name;
}

QString DefaultQuery()
{
    return QStringLiteral("landscape");
}

} // namespace museum
