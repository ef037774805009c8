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

// The names, version and keys, which are the same wherever the program lies (the
// site addresses then point nowhere useful): for code that needs no addresses.
inline TProduct ProductNames() { return TProduct(QString()); }
