// ambience-cli options [NAME=VALUE ...]: shows the settings, or changes and saves them.
#include "cli/exit_code.h"
#include "cli/command.h"
#include "cli/output.h"

#include "core/product.h"
#include "platform/folders.h"
#include "platform/registry.h"
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

    if (!args.isEmpty()) {
        QString error;
        if (!ApplyOptionAssignments(*options, args, &error)) {
            cli::PrintError(error + QStringLiteral("; nothing was changed"));
            return cli::ExitUsage;
        }
        try {
            options->Save();
        } catch (const platform::RegistryError&) {
            cli::PrintError(cli::CannotSaveSettings(options->SaveProblem()) + QStringLiteral("; nothing was changed"));
            return cli::ExitFailed;
        }
    }
    for (const QString& line : DescribeOptions(*options) + DescribeDesktopSettings(*options))
        cli::Say(line);
    return cli::ExitDone;
}

cli::Registrar registrar{{"options", "[NAME=VALUE ...]",
                          "Shows the settings, or changes them (values as the Options page offers them) and saves them.",
                          RunOptions}};

} // namespace
