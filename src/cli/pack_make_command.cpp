// ambience-cli pack make SOURCE... --name NAME [...]: makes a pack from picture
// files and folders, then writes it to a file or installs it.
#include "cli/pack_make_command.h"

#include "cli/context.h"
#include "cli/pack_support.h"

#include "archive/errors.h"
#include "packmaker/pack_maker.h"
#include "packs/pack_folders.h"

#include <QDir>
#include <QFileInfo>

#include <atomic>
#include <csignal>
#include <optional>
#include <cstdio>
#include <unistd.h>

namespace cli {

const char* const kPackMakeUsage =
    "make SOURCE... --name NAME [--author A] [--icon N] [--label L] [--out FILE.zip [--force] | --install] "
    "[--password P] [--max-side PX] [--from CSV]";

namespace {

std::atomic<bool> interrupted{false};

void OnInterrupt(int)
{
    interrupted = true;
}

QString Q(const std::string& s)
{
    return QString::fromStdString(s);
}

int Usage(const QString& problem)
{
    PrintError(problem + QStringLiteral("\nusage: ambience-cli pack ") + QString::fromLatin1(kPackMakeUsage));
    return 2;
}

QString Size(int w, int h)
{
    return QStringLiteral("%1 x %2").arg(w).arg(h);
}

// What the command line asks for.
struct MakeCommand {
    packmaker::MakeRequest request;
    bool install = false;
    bool force = false;
};

// Reads the options and the sources; an exit code when they are wrong (told).
std::optional<int> ParseArguments(const QStringList& arguments, MakeCommand& command)
{
    QStringList args = arguments;
    bool missing = false;
    packmaker::MakeRequest& request = command.request;
    struct Text {
        const char* option;
        std::string* field;
    };
    for (const Text& t : {Text{"--name", &request.Name}, Text{"--author", &request.Author},
                          Text{"--label", &request.Label}, Text{"--password", &request.Password},
                          Text{"--from", &request.CsvPath}, Text{"--out", &request.Output}}) {
        if (const auto value = TakeOption(args, QString::fromLatin1(t.option), missing))
            *t.field = value->toStdString();
        if (missing)
            return Usage(QStringLiteral("%1 needs a value").arg(QString::fromLatin1(t.option)));
    }
    struct Number {
        const char* option;
        int* field;
        int min, max;
    };
    for (const Number& n : {Number{"--icon", &request.Icon, -1000000, 1000000},
                            Number{"--max-side", &request.MaxSide, 16, 65500}}) {
        if (const auto value = TakeOption(args, QString::fromLatin1(n.option), missing)) {
            bool ok = false;
            const int v = value->toInt(&ok);
            if (!ok || v < n.min || v > n.max)
                return Usage(QStringLiteral("%1 takes a whole number from %2 to %3").arg(QString::fromLatin1(n.option)).arg(n.min).arg(n.max));
            *n.field = v;
        }
        if (missing)
            return Usage(QStringLiteral("%1 needs a value").arg(QString::fromLatin1(n.option)));
    }
    command.install = TakeFlag(args, QStringLiteral("--install"));
    command.force = TakeFlag(args, QStringLiteral("--force"));
    for (const QString& arg : args)
        if (arg.startsWith(QLatin1String("--")))
            return Usage(QStringLiteral("unknown option %1").arg(arg));
    if (args.isEmpty())
        return Usage(QStringLiteral("name the pictures or folders to make the pack of"));
    if (request.Name.empty())
        return Usage(QStringLiteral("the pack needs a --name"));
    if (command.install && !request.Output.empty())
        return Usage(QStringLiteral("give either --out or --install"));
    for (const QString& arg : args)
        request.Sources.push_back(RawPathArgument(arg));
    return std::nullopt;
}

// The pack file: the one given, or one named after the pack here or in the
// user's packs folder. An exit code when it cannot be written (told).
std::optional<int> ChooseOutput(MakeCommand& command)
{
    packmaker::MakeRequest& request = command.request;
    const packs::PackFolders folders = packs::CurrentPackFolders();
    if (command.install) {
        if (folders.User.empty()) {
            PrintError(QStringLiteral("there is no folder for your own packs (neither XDG_DATA_HOME nor HOME is set)"));
            return 1;
        }
        QDir().mkpath(Q(folders.User));
        request.Output = folders.User + packmaker::PackFileName(request.Name);
    } else if (request.Output.empty()) {
        request.Output = packmaker::PackFileName(request.Name);
    }
    request.Output = QFileInfo(Q(request.Output)).absoluteFilePath().toStdString();
    if (const core::Result<void> target = CheckPackOutput(Q(request.Output), command.force); !target.ok()) {
        PrintError(QString::fromStdString(target.error().text));
        return 1;
    }
    return std::nullopt;
}

// Each picture as it is taken, then the archive's writing on a terminal.
class ProgressPrinter {
public:
    void Show(const packmaker::MakeProgress& p)
    {
        if (p.Picture) {
            const packmaker::TakenPicture& t = *p.Picture;
            const QString how = t.AsIs ? QStringLiteral("as it is")
                                       : (t.Width ? QStringLiteral("%1 -> %2").arg(Size(t.Width, t.Height), Size(t.OutWidth, t.OutHeight))
                                                  : QStringLiteral("as it is"));
            PrintLine(stdout, QStringLiteral("[%1/%2] %3 -> \"%4\" (%5)")
                                  .arg(p.Done).arg(p.Total)
                                  .arg(Q(t.Source), Q(t.EntryName), how));
            std::fflush(stdout);
        } else if (terminal_) {
            const int percent = static_cast<int>(p.Writing * 100);
            if (percent != lastWriting_) {
                std::fprintf(stdout, "\rWriting the pack: %3d%%", percent);
                std::fflush(stdout);
                lastWriting_ = percent;
            }
        }
    }

    void EndLine()
    {
        if (terminal_ && lastWriting_ >= 0)
            std::fprintf(stdout, "\n");
    }

private:
    const bool terminal_ = ::isatty(STDOUT_FILENO) != 0;
    int lastWriting_ = -1;
};

// The files left out, what was made, and the exit code.
int Report(const MakeCommand& command, const core::Result<packmaker::MadePack>& result, const packmaker::MadePack& soFar)
{
    const packmaker::MadePack& told = result.ok() ? *result : soFar;
    for (const packmaker::SkippedFile& s : told.Skipped)
        PrintLine(stdout, QStringLiteral("Skipped %1: %2").arg(Q(s.Path), Q(s.Reason)));
    if (!result.ok()) {
        PrintError(Q(result.error().text));
        return result.error().code == archiva::ErrorCancelled ? 130 : 1;
    }
    PrintLine(stdout, QStringLiteral("%1 picture(s) taken, %2 skipped").arg(told.Taken.size()).arg(told.Skipped.size()));
    SayPackWritten(Q(command.request.Name), Q(told.Archive), command.install);
    return 0;
}

} // namespace

int RunPackMake(const QStringList& arguments)
{
    MakeCommand command;
    if (const std::optional<int> refused = ParseArguments(arguments, command))
        return *refused;
    Context context; // the application record, for the registry keys
    if (const std::optional<int> refused = ChooseOutput(command))
        return *refused;

    // Ctrl+C stops the make and leaves nothing behind; a file-size limit makes the
    // write fail with EFBIG instead of ending the process mid-write.
    std::signal(SIGINT, OnInterrupt);
    std::signal(SIGTERM, OnInterrupt);
    std::signal(SIGXFSZ, SIG_IGN);

    ProgressPrinter printer;
    packmaker::MadePack soFar;
    const core::Result<packmaker::MadePack> result = packmaker::MakePack(
        command.request, [&printer](const packmaker::MakeProgress& p) { printer.Show(p); }, &interrupted, &soFar);
    printer.EndLine();
    return Report(command, result, soFar);
}

} // namespace cli
