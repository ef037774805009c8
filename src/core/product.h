#pragma once
// The application record: names, version, web addresses and registry paths that
// every subsystem reads. Filled once, in a fixed order, and only read afterwards.
#include <QString>

struct TProduct {
    QString NoticeLine;
    QString ProductName;
    QString ProductTitle;
    QString ProductVersion;
    QString RegistryRoot;
    QString OptionsKey;
    QString SiteAddress;
    QString SupportAddress;
    QString ArtPageAddress;

    // Fills the fields in the order above. programFolder is the folder of the
    // running program (ending with "/"); the site pages live in its "site/".
    explicit TProduct(const QString& programFolder);
};

// The one instance; set by the process entry (or a test) for the lifetime of the process.
extern TProduct* Product;
