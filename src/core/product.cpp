#include "core/product.h"

#include <QUrl>

TProduct::TProduct(const QString& programFolder)
{
    NoticeLine = QStringLiteral("\u00A9 2026 The Ambience developers");
    ProductName = QStringLiteral("Ambience");
    ProductTitle = ProductName + QChar(0x2122);
    ProductVersion = QStringLiteral("3.00");
    RegistryRoot = QStringLiteral("\\Software\\Ambience\\Ambience");
    OptionsKey = RegistryRoot + QStringLiteral("\\Options");
    SiteAddress = QUrl::fromLocalFile(programFolder + QStringLiteral("site/")).toString();
    if (!SiteAddress.endsWith(QLatin1Char('/')))
        SiteAddress += QLatin1Char('/');
    SupportAddress = QStringLiteral("ambience@example.org");
    ArtPageAddress = SiteAddress + QStringLiteral("art/");
}
