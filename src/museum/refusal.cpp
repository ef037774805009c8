#include "museum/refusal.h"

namespace museum {

Refusal RefusalOf(int status, const QByteArray& cfMitigated, const QByteArray& contentType, const QByteArray& body)
{
    if (status != 403 && status != 429 && status != 503)
        return Refusal::None;
    if (cfMitigated.trimmed().toLower() == "challenge")
        return Refusal::BrowserChallenge;
    if (!contentType.toLower().contains("html") && !body.trimmed().startsWith('<'))
        return Refusal::None;
    if (body.contains("Just a moment...") || body.contains("challenge-platform"))
        return Refusal::BrowserChallenge;
    if (status == 403 && (body.contains("Incapsula") || body.contains("Request unsuccessful")))
        return Refusal::Firewall;
    return Refusal::None;
}

} // namespace museum
