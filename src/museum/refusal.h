#pragma once
// Answers that are no answer about the address asked for: a server's firewall or
// bot protection stands in front of it. Recognised from the status, the headers
// and the first bytes of the page, so that the user is told once and plainly
// instead of every work being skipped as if its image were damaged.
#include <QByteArray>

namespace museum {

enum class Refusal {
    None,
    // Cloudflare's managed challenge (header "cf-mitigated: challenge", an HTML
    // page "Just a moment..."): it wants a browser running its script; waiting
    // does not help.
    BrowserChallenge,
    // A rate firewall's block page (Imperva Incapsula's "Request unsuccessful"):
    // it lifts after a while without requests.
    Firewall,
};

// `body` need only hold the page's beginning.
Refusal RefusalOf(int status, const QByteArray& cfMitigated, const QByteArray& contentType, const QByteArray& body);

} // namespace museum
