// ambience-cli options [NAME=VALUE ...]: shows the settings, or changes and saves them.
#include "cli/exit_code.h"
#include "cli/command.h"
#include "cli/output.h"

#include "core/product.h"
#include "museum/museums.h"
#include "platform/folders.h"
#include "platform/registry.h"
#include "settings/fresh_pack.h"
#include "settings/option_text.h"
#include "settings/options.h"

#include <cstdio>
#include <memory>
#include <optional>

namespace {

int RunOptions(const QStringList& args)
{
    platform::Registry& store = platform::Registry::CurrentUser();
    // Showing the settings never writes: another process may be changing them.
    std::optional<TOptions> options;
    options.emplace(store, TOptions::AtStart::LoadOnly);
    for (const QString& notice : TakeSettingsNotices(*options, store))
        cli::PrintError(notice);

    // FreshMuseumPack is text, not one of the numbered settings: taken apart here.
    QStringList numbered = args;
    std::optional<std::optional<settings::FreshPack>> fresh;
    for (qsizetype i = numbered.size() - 1; i >= 0; --i) {
        const QString name = numbered[i].section(QLatin1Char('='), 0, 0).trimmed();
        if (name.compare(QLatin1String(settings::kFreshPackValue), Qt::CaseInsensitive) != 0)
            continue;
        const QString value = numbered.takeAt(i).section(QLatin1Char('='), 1).trimmed();
        if (value.isEmpty() || value.compare(QLatin1String("off"), Qt::CaseInsensitive) == 0) {
            fresh.emplace(std::nullopt);
            continue;
        }
        core::Result<settings::FreshPack> parsed = settings::ParseFreshPack(value);
        if (parsed && !museum::SourceFromCode(parsed->museum))
            parsed = core::MakeError(13, QStringLiteral("there is no museum \"%1\"").arg(parsed->museum).toStdString());
        if (!parsed) {
            cli::PrintError(QString::fromStdString(parsed.error().text) + QStringLiteral("; nothing was changed"));
            return cli::ExitUsage;
        }
        fresh.emplace(*parsed);
    }
    if (!numbered.isEmpty() || fresh) {
        QString error;
        if (!ApplyOptionAssignments(*options, numbered, &error)) {
            cli::PrintError(error + QStringLiteral("; nothing was changed"));
            return cli::ExitUsage;
        }
        try {
            options->Save();
        } catch (const platform::RegistryError&) {
            cli::PrintError(cli::CannotSaveSettings(options->SaveProblem()) + QStringLiteral("; nothing was changed"));
            return cli::ExitFailed;
        }
        if (fresh) {
            if (const core::Result<void> saved = settings::SaveFreshPack(store, ProductNames().RegistryRoot, *fresh); !saved) {
                cli::PrintError(cli::CannotSaveSettings(QString::fromStdString(saved.error().text)));
                return cli::ExitFailed;
            }
        }
    }
    for (const QString& line : DescribeOptions(*options) + DescribeDesktopSettings(*options)
                                   + settings::DescribeFreshPack(store, ProductNames().RegistryRoot))
        cli::Say(line);
    return cli::ExitDone;
}

cli::Registrar registrar{{"options", "[NAME=VALUE ...]",
                          "Shows the settings, or changes them (values as the Options page offers them) and saves them. "
                          "FreshMuseumPack=museum|theme|count|days|pack file keeps a pack of your packs folder fresh; =off stops it.",
                          RunOptions}};

} // namespace
