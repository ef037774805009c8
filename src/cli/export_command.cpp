// ambience-cli export FILE: compose an exposition of the current picture and save
// it as a JPEG file of quality 90 (or BMP, by the extension); nothing else changes.
#include "cli/exit_code.h"
#include "cli/command.h"
#include "cli/exposition_job.h"
#include "cli/pack_support.h"

#include <string>

namespace {

const std::string usage = std::string("FILE ") + cli::ExpositionOptionsUsage;

int RunExport(QStringList args)
{
    cli::ExpositionRequest request;
    QString error;
    if (cli::ParseExpositionOptions(args, request, error) && args.size() != 1)
        error = args.isEmpty() ? QStringLiteral("which file should the exposition be saved to?")
                               : QStringLiteral("one file only, not \"%1\"").arg(args.join(QLatin1Char(' ')));
    if (!error.isEmpty()) {
        cli::PrintError(QStringLiteral("%1\nusage: ambience-cli export %2").arg(error, QString::fromStdString(usage)));
        return cli::ExitUsage;
    }
    if (args.first().isEmpty()) {
        // Not the wallpaper: an export never sets or counts anything.
        cli::PrintError(QStringLiteral("the file name is empty; nothing was written"));
        return cli::ExitUsage;
    }
    request.exportPath = args.first();
    return cli::RunExposition(request);
}

cli::Registrar registrar{{"export", usage.c_str(),
                          "Saves an exposition of the current picture as JPEG (quality 90), or BMP when FILE ends in "
                          ".bmp. The wallpaper and the settings stay as they are.",
                          [](const QStringList& a) { return RunExport(a); }}};

} // namespace
