// ambience-cli pack show FILE|NAME [--password P] [--check]: a pack's description
// and pictures in pack order; with --check every picture is decoded.
#include "archive/errors.h"
#include "cli/exit_code.h"
#include "cli/command.h"
#include "packs/check_pictures.h"
#include "cli/context.h"
#include "cli/pack_fetch_command.h"
#include "cli/pack_make_command.h"
#include "cli/pack_support.h"

#include "graphics/picture.h"
#include "packs/install.h"
#include "packs/load_picture.h"
#include "packs/pack_list.h"

#include <QFileInfo>

#include <optional>

namespace {

constexpr const char* kUsage = "show FILE|NAME [--password P] [--check]";
constexpr int kWrongPassword = 1216;

int Usage(const QString& problem)
{
    cli::PrintError(problem + QStringLiteral("\nusage: ambience-cli pack ") + QString::fromLatin1(kUsage));
    return cli::ExitUsage;
}

QString Q(const std::string& s)
{
    return QString::fromStdString(s);
}

// The pack file named on the command line: an existing file, else an installed
// pack's name or file name.
// Nothing, with the exit code in *code, when there is none.
std::optional<std::string> ResolvePackFile(const QString& what, int* code)
{
    if (QFileInfo(what).isFile())
        return QFileInfo(what).absoluteFilePath().toStdString();
    TPackList list;
    *code = cli::ExitFailed;
    if (!cli::ScanCatalogue(list))
        return {};
    QString error;
    const auto index = cli::FindInstalledPack(list, what, error);
    if (!index) {
        cli::PrintError(QStringLiteral("no such file, and %1").arg(error));
        *code = cli::ExitUsage;
        return std::nullopt;
    }
    return list.PackAt(*index).Path;
}

int Show(QStringList args)
{
    const bool check = cli::TakeFlag(args, QStringLiteral("--check"));
    bool missing = false;
    const auto password = cli::TakeOption(args, QStringLiteral("--password"), missing);
    if (missing)
        return Usage(QStringLiteral("--password needs a value"));
    if (args.size() != 1 || args.first().startsWith(QStringLiteral("--")))
        return Usage(args.isEmpty() ? QStringLiteral("which pack?") : QStringLiteral("unexpected: ") + args.join(' '));

    cli::Context context; // the application record, for the registry keys
    int code = cli::ExitFailed;
    const auto path = ResolvePackFile(args.first(), &code);
    if (!path)
        return code;
    TPack pack(*path);
    if (pack.OpenError != 0) {
        cli::PrintError(QStringLiteral("cannot read %1: %2").arg(Q(*path), Q(packs::PackErrorMessage(pack.OpenError))));
        return cli::ExitFailed;
    }
    if (!pack.IsValid()) {
        cli::PrintError(QStringLiteral("%1: %2").arg(Q(*path), Q(packs::PackErrorMessage(archiva::ErrorInvalidPack))));
        return cli::ExitFailed;
    }
    if (password)
        pack.PackPassword = password->toStdString();

    auto out = [](const QString& line) { cli::PrintLine(stdout, line); };
    out(QStringLiteral("File:            %1").arg(Q(pack.Path)));
    out(QStringLiteral("Name:            %1").arg(Q(pack.Name)));
    out(QStringLiteral("Author:          %1").arg(Q(pack.Author)));
    out(QStringLiteral("Label:           %1").arg(Q(pack.Label)));
    out(QStringLiteral("Icon:            %1").arg(pack.Icon));
    out(QStringLiteral("Preview picture: %1").arg(pack.PreviewPicture));
    out(QStringLiteral("Current picture: %1").arg(pack.Current + 1));
    out(QStringLiteral("Pictures:        %1").arg(pack.Pictures.size()));
    out(QString());
    out(check ? QStringLiteral("No.\tYear\tTitle\tAuthor\tEntry\tCheck") : QStringLiteral("No.\tYear\tTitle\tAuthor\tEntry"));

    // With --check every picture is decoded, all in one run over the archive.
    std::vector<QString> checks(pack.Pictures.size());
    int failures = 0;
    if (check) {
        packs::DecodeAllPictures(pack, [&](int i, int code, const graphics::Picture& picture, const std::string& detail) {
            if (code == 0) {
                checks[static_cast<size_t>(i)] =
                    QStringLiteral("\tok %1 x %2 %3")
                        .arg(picture.Width())
                        .arg(picture.Height())
                        .arg(picture.IsRaster() ? QStringLiteral("pixels") : QStringLiteral("pixels (metafile)"));
                return;
            }
            ++failures;
            // The detail names the picture and the cause; the code's text is the fallback.
            QString text = QStringLiteral("\terror %1: %2")
                               .arg(code)
                               .arg(detail.empty() ? Q(packs::PackErrorMessage(code)) : Q(detail));
            if (code == kWrongPassword && !password)
                text += QStringLiteral(" (the pack is encrypted: give --password)");
            checks[static_cast<size_t>(i)] = text;
        });
    }
    for (std::size_t i = 0; i < pack.Pictures.size(); ++i) {
        const TPic& pic = pack.Pictures[i];
        out(QStringLiteral("%1\t%2\t%3\t%4\t%5")
                .arg(i + 1)
                .arg(pic.Year != 0 ? QString::number(pic.Year) : QStringLiteral("-"))
                .arg(Q(pic.Title), Q(pic.Author), Q(pic.EntryName))
            + checks[i]);
    }
    if (check && failures > 0) {
        cli::PrintError(QStringLiteral("%1 of %2 pictures could not be decoded").arg(failures).arg(pack.Pictures.size()));
        return cli::ExitFailed;
    }
    return cli::ExitDone;
}

int RunPack(const QStringList& args)
{
    if (!args.isEmpty() && args.first() == QLatin1String("make"))
        return cli::RunPackMake(args.mid(1));
    if (!args.isEmpty() && args.first() == QLatin1String("fetch"))
        return cli::RunPackFetch(args.mid(1));
    if (args.isEmpty() || args.first() != QLatin1String("show"))
        return Usage(args.isEmpty() ? QStringLiteral("pack needs a subcommand")
                                    : QStringLiteral("unknown subcommand \"%1\"").arg(args.first()));
    return Show(args.mid(1));
}

cli::Registrar registrar{{"pack",
                          "show FILE|NAME [--password P] [--check] | make SOURCE... --name NAME ... | fetch aic|met|cma|smk|rijks "
                          "[--query TEXT] [--count N] [--name NAME] [--out FILE.zip | --install] [--api-base URL]",
                          "Shows a pack's description and pictures (--check decodes every picture), makes a pack "
                          "from pictures (see \"ambience-cli pack make\"), or fetches public-domain art from a "
                          "museum's open-access collection as a pack (aic: Art Institute of Chicago, met: The "
                          "Metropolitan Museum of Art, cma: Cleveland Museum of Art, smk: Statens Museum for Kunst, "
                          "rijks: Rijksmuseum; the network is used only then).",
                          RunPack}};

} // namespace
