// ambience-cli pack fetch aic|met|cma|smk|rijks [--query TEXT] [...]: a pack of public-domain
// works from a museum's open-access collection, written to a file or installed.
#include "cli/pack_fetch_command.h"

#include "cli/context.h"
#include "cli/pack_support.h"

#include "archive/errors.h"
#include "museum/fetch.h"
#include "packmaker/pack_maker.h"
#include "packs/pack_folders.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QUrl>

#include <atomic>
#include <csignal>
#include <optional>
#include <cstdio>
#include <unistd.h>

namespace cli {

const char* const kPackFetchUsage =
    "fetch aic|met|cma|smk|rijks [--query TEXT] [--count N] [--name NAME] [--out FILE.zip [--force] | --install] [--api-base URL]";

namespace {

std::atomic<bool> interrupted{false};

void OnInterrupt(int)
{
    interrupted = true;
}

int Usage(const QString& problem)
{
    PrintError(problem + QStringLiteral("\nusage: ambience-cli pack ") + QString::fromLatin1(kPackFetchUsage));
    return 2;
}

// "aic (Art Institute of Chicago), ... or rijks (Rijksmuseum)", from the table of museums.
QString MuseumList()
{
    QStringList names;
    for (const museum::Source source : museum::AllSources())
        names << QStringLiteral("%1 (%2)").arg(QLatin1String(museum::Info(source).code), QLatin1String(museum::Info(source).name));
    const QString last = names.takeLast();
    return names.join(QStringLiteral(", ")) + QStringLiteral(" or ") + last;
}

QString Bytes(std::int64_t bytes)
{
    if (bytes < 1024 * 1024)
        return QStringLiteral("%1 KB").arg((bytes + 1023) / 1024);
    return QStringLiteral("%1 MB").arg(static_cast<double>(bytes) / (1024.0 * 1024.0), 0, 'f', 1);
}

// The progress: on a terminal one line that is rewritten; elsewhere a line for
// each stage and each image, so that logs stay readable.
class ProgressPrinter {
public:
    explicit ProgressPrinter(bool terminal) : terminal_(terminal) {}

    void Show(const museum::FetchProgress& p)
    {
        if (!p.note.isEmpty()) {
            EndLine();
            PrintLine(stdout, p.note);
        }
        QString line;
        switch (p.stage) {
        case museum::FetchStage::Searching:
            line = QStringLiteral("Searching: %1 work(s) found").arg(p.worksFound);
            break;
        case museum::FetchStage::Downloading:
            line = QStringLiteral("Works found: %1, images: %2 of %3, downloaded: %4")
                       .arg(p.worksFound).arg(p.imagesDone).arg(p.imagesWanted).arg(Bytes(p.bytes));
            break;
        case museum::FetchStage::Packing:
            line = QStringLiteral("Making the pack of %1 image(s): %2%").arg(p.imagesDone).arg(static_cast<int>(p.writing * 100));
            break;
        }
        if (terminal_) {
            if (line != last_) {
                const QByteArray text = line.toUtf8();
                std::fprintf(stdout, "\r%-78s", text.constData());
                std::fflush(stdout);
                open_ = true;
            }
        } else if (p.stage != stage_ || (p.stage == museum::FetchStage::Downloading && p.imagesDone != done_)) {
            // Without a terminal: one line per stage and per image.
            if (p.stage != museum::FetchStage::Searching || p.note.isEmpty())
                PrintLine(stdout, line);
        }
        last_ = line;
        stage_ = p.stage;
        done_ = p.imagesDone;
    }

    void EndLine()
    {
        if (open_)
            std::fprintf(stdout, "\n");
        open_ = false;
        last_.clear();
    }

private:
    bool terminal_;
    bool open_ = false;
    QString last_;
    museum::FetchStage stage_ = museum::FetchStage::Searching;
    int done_ = -1;
};

// What the command line asks for.
struct FetchCommand {
    museum::FetchRequest request;
    bool install = false;
    bool force = false;
};

// Reads the options and the museum; an exit code when they are wrong (told).
std::optional<int> ParseArguments(const QStringList& arguments, FetchCommand& command)
{
    QStringList args = arguments;
    bool missing = false;
    museum::FetchRequest& request = command.request;
    QString count;
    struct Text {
        const char* option;
        QString* field;
    };
    for (const Text& t : {Text{"--query", &request.query}, Text{"--name", &request.name}, Text{"--out", &request.output},
                          Text{"--api-base", &request.apiBase}, Text{"--count", &count}}) {
        if (const auto value = TakeOption(args, QString::fromLatin1(t.option), missing))
            *t.field = *value;
        if (missing)
            return Usage(QStringLiteral("%1 needs a value").arg(QString::fromLatin1(t.option)));
    }
    if (!count.isEmpty()) {
        bool ok = false;
        request.count = count.toInt(&ok);
        if (!ok || request.count < 1 || request.count > 500)
            return Usage(QStringLiteral("--count takes a whole number from 1 to 500"));
    }
    command.install = TakeFlag(args, QStringLiteral("--install"));
    command.force = TakeFlag(args, QStringLiteral("--force"));
    for (const QString& arg : args)
        if (arg.startsWith(QLatin1String("--")))
            return Usage(QStringLiteral("unknown option %1").arg(arg));
    if (args.size() != 1)
        return Usage(args.isEmpty() ? QStringLiteral("which museum? ") + MuseumList()
                                    : QStringLiteral("unexpected: ") + args.mid(1).join(' '));
    const std::optional<museum::Source> source = museum::SourceFromCode(args.first());
    if (!source)
        return Usage(QStringLiteral("\"%1\" is no museum this command knows; give %2").arg(args.first(), MuseumList()));
    request.source = *source;
    if (command.install && !request.output.isEmpty())
        return Usage(QStringLiteral("give either --out or --install"));
    if (!request.apiBase.isEmpty()) {
        const QUrl base(request.apiBase);
        if (!base.isValid() || (base.scheme() != QLatin1String("http") && base.scheme() != QLatin1String("https")))
            return Usage(QStringLiteral("--api-base takes a web address (http:// or https://)"));
    }
    return std::nullopt;
}

// The pack file: the one given, or one named after the pack here or in the
// user's packs folder. An exit code when it cannot be written (told).
std::optional<int> ChooseOutput(FetchCommand& command)
{
    museum::FetchRequest& request = command.request;
    const QString name = request.name.trimmed().isEmpty() ? museum::DefaultPackName(request.source, request.query)
                                                          : request.name.trimmed();
    const std::string file = packmaker::PackFileName(name.toStdString());
    if (command.install) {
        const packs::PackFolders folders = packs::CurrentPackFolders();
        if (folders.User.empty()) {
            PrintError(QStringLiteral("there is no folder for your own packs (neither XDG_DATA_HOME nor HOME is set)"));
            return 1;
        }
        QDir().mkpath(QString::fromStdString(folders.User));
        request.output = QString::fromStdString(folders.User + file);
    } else if (request.output.isEmpty()) {
        request.output = QString::fromStdString(file);
    }
    request.output = QFileInfo(request.output).absoluteFilePath();
    if (const core::Result<void> target = CheckPackOutput(request.output, command.force); !target.ok()) {
        PrintError(QString::fromStdString(target.error().text));
        return 1;
    }
    return std::nullopt;
}

// What the fetch made, and the exit code.
int Report(const core::Result<museum::FetchedPack>& result, bool installed)
{
    if (!result.ok()) {
        PrintError(QString::fromStdString(result.error().text));
        return result.error().code == archiva::ErrorCancelled ? 130 : 1;
    }
    const museum::FetchedPack& made = *result;
    PrintLine(stdout, QStringLiteral("%1 work(s) in the pack: %2 downloaded (%3), %4 from the cache, %5 skipped; "
                                     "%6 request(s) to the museum")
                          .arg(made.works)
                          .arg(made.downloaded)
                          .arg(Bytes(made.bytes))
                          .arg(made.fromCache)
                          .arg(made.skipped.size())
                          .arg(made.requests));
    SayPackWritten(made.packName, made.archive, installed);
    return 0;
}

} // namespace

int RunPackFetch(const QStringList& arguments)
{
    FetchCommand command;
    if (const std::optional<int> refused = ParseArguments(arguments, command))
        return *refused;
    Context context; // the application record, for the registry keys and our name
    if (const std::optional<int> refused = ChooseOutput(command))
        return *refused;
    const museum::FetchRequest& request = command.request;

    // Ctrl+C stops the fetch and leaves no pack and no partial image behind.
    std::signal(SIGINT, OnInterrupt);
    std::signal(SIGTERM, OnInterrupt);
    std::signal(SIGXFSZ, SIG_IGN);

    PrintLine(stdout, QStringLiteral("Asking the %1 for public-domain works: \"%2\"")
                          .arg(museum::ShortName(request.source),
                               request.query.trimmed().isEmpty() ? museum::DefaultQuery() : request.query.trimmed()));
    ProgressPrinter printer(::isatty(STDOUT_FILENO) != 0);
    const core::Result<museum::FetchedPack> result =
        museum::Fetch(request, [&](const museum::FetchProgress& p) { printer.Show(p); }, &interrupted);
    printer.EndLine();
    return Report(result, command.install);
}

} // namespace cli
