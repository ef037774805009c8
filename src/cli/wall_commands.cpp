// ambience-cli now, history and show-again: what the record of the wall says is
// on each monitor and was shown before, and a change back to one of those.
#include "change/remote_request.h"
#include "cli/command.h"
#include "cli/context.h"
#include "cli/exit_code.h"
#include "cli/exposition_job.h"
#include "cli/hand_over.h"
#include "cli/output.h"
#include "cli/pack_support.h"
#include "gallery/wall_record.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <string>

namespace {

// The record, or the exit code after saying why it cannot be read.
gallery::WallRecord* RecordOrSay(cli::Context& context)
{
    gallery::WallRecord* record = context.Record();
    if (!record)
        cli::PrintError(context.RecordProblem());
    return record;
}

QString Caption(const gallery::WallEntry& e)
{
    if (e.packFile.isEmpty())
        return QStringLiteral("no picture (a gradient only)");
    QString text = e.title.isEmpty() ? e.entry : e.title;
    QStringList about;
    if (!e.year.isEmpty())
        about << e.year;
    if (!e.author.isEmpty())
        about << e.author;
    if (!about.isEmpty())
        text += QStringLiteral(" (%1)").arg(about.join(QStringLiteral(", ")));
    return text;
}

QString MonitorName(const gallery::WallEntry& e)
{
    QString name = e.monitor.isEmpty() ? QStringLiteral("the screen") : e.monitor;
    return e.primary ? name + QStringLiteral(" (primary)") : name;
}

QString Marks(const gallery::WallEntry& e)
{
    QStringList marks;
    if (e.favourite)
        marks << QStringLiteral("favourite");
    if (e.banned)
        marks << QStringLiteral("never shown again");
    return marks.join(QStringLiteral(", "));
}

int RunNow(const QStringList& args)
{
    if (!args.isEmpty()) {
        cli::PrintError(QStringLiteral("unexpected argument \"%1\"\nusage: ambience-cli now").arg(args.first()));
        return cli::ExitUsage;
    }
    cli::Context context;
    gallery::WallRecord* record = RecordOrSay(context);
    if (!record)
        return cli::ExitFailed;
    const auto wall = record->OnWall();
    if (!wall.ok()) {
        cli::PrintError(QString::fromStdString(wall.error().text));
        return cli::ExitFailed;
    }
    if (wall->empty()) {
        cli::Say(QStringLiteral("Nothing is recorded on the wall yet: no change was made since the record began."));
        return cli::ExitDone;
    }
    cli::Say(QStringLiteral("Set: %1").arg(wall->front().time.toLocalTime().toString(Qt::ISODate)));
    for (const gallery::WallEntry& e : *wall) {
        cli::Say(QStringLiteral("Monitor: %1").arg(MonitorName(e)));
        cli::Say(QStringLiteral("  Picture: %1").arg(Caption(e)));
        if (!e.packFile.isEmpty() && !e.packName.isEmpty())
            cli::Say(QStringLiteral("  Pack: %1 (%2), %3").arg(e.packName, e.packFile, e.entry));
        else if (!e.packFile.isEmpty())
            cli::Say(QStringLiteral("  Pack: %1, %2").arg(e.packFile, e.entry));
        if (!e.source.page.isEmpty())
            cli::Say(QStringLiteral("  Source: %1").arg(e.source.page));
        if (!e.source.credit.isEmpty())
            cli::Say(QStringLiteral("  Credit: %1").arg(e.source.credit));
        if (!e.source.licence.isEmpty())
            cli::Say(QStringLiteral("  Licence: %1").arg(e.source.licence));
        if (const QString marks = Marks(e); !marks.isEmpty())
            cli::Say(QStringLiteral("  Marked: %1").arg(marks));
        cli::Say(QStringLiteral("  Entry: %1").arg(e.id));
    }
    return cli::ExitDone;
}

QJsonObject ToJson(const gallery::WallEntry& e)
{
    return QJsonObject{
        {QStringLiteral("entry"), e.id},
        {QStringLiteral("change"), e.change},
        {QStringLiteral("time"), e.time.toString(Qt::ISODateWithMs)},
        {QStringLiteral("monitor"), e.monitor},
        {QStringLiteral("primary"), e.primary},
        {QStringLiteral("packFile"), e.packFile},
        {QStringLiteral("packName"), e.packName},
        {QStringLiteral("picture"), e.entry},
        {QStringLiteral("title"), e.title},
        {QStringLiteral("year"), e.year},
        {QStringLiteral("author"), e.author},
        {QStringLiteral("exposition"), e.exposition},
        {QStringLiteral("thumbnail"), e.thumbnail},
        {QStringLiteral("sourcePage"), e.source.page},
        {QStringLiteral("credit"), e.source.credit},
        {QStringLiteral("licence"), e.source.licence},
        {QStringLiteral("favourite"), e.favourite},
        {QStringLiteral("banned"), e.banned},
    };
}

int RunHistory(QStringList args)
{
    const bool json = cli::TakeFlag(args, QStringLiteral("--json"));
    bool missing = false;
    const std::optional<QString> limitText = cli::TakeOption(args, QStringLiteral("--limit"), missing);
    int limit = 0;
    bool numeric = true;
    if (limitText)
        limit = limitText->toInt(&numeric);
    if (missing || !numeric || (limitText && limit < 1) || !args.isEmpty()) {
        const QString why = !args.isEmpty() ? QStringLiteral("unexpected argument \"%1\"").arg(args.first())
                                            : QStringLiteral("--limit wants a number of changes, 1 or more");
        cli::PrintError(why + QStringLiteral("\nusage: ambience-cli history [--limit N] [--json]"));
        return cli::ExitUsage;
    }
    cli::Context context;
    gallery::WallRecord* record = RecordOrSay(context);
    if (!record)
        return cli::ExitFailed;
    const auto rows = record->History(limit);
    if (!rows.ok()) {
        cli::PrintError(QString::fromStdString(rows.error().text));
        return cli::ExitFailed;
    }
    if (json) {
        QJsonArray list;
        for (const gallery::WallEntry& e : *rows)
            list.append(ToJson(e));
        cli::PrintLine(stdout, QString::fromUtf8(QJsonDocument(list).toJson(QJsonDocument::Indented)).trimmed());
        return cli::ExitDone;
    }
    // Newest first; one line per monitor, the entry number first for show-again.
    for (const gallery::WallEntry& e : *rows) {
        QString line = QStringLiteral("%1  %2  %3  %4")
                           .arg(e.id, 5)
                           .arg(e.time.toLocalTime().toString(QStringLiteral("yyyy-MM-dd HH:mm:ss")),
                                MonitorName(e), Caption(e));
        if (!e.packFile.isEmpty())
            line += QStringLiteral("  [%1]").arg(e.packName.isEmpty() ? e.packFile : e.packName);
        if (const QString marks = Marks(e); !marks.isEmpty())
            line += QStringLiteral("  (%1)").arg(marks);
        cli::Say(line);
    }
    return cli::ExitDone;
}

// The exposition options but the picture's: the picture is the entry's.
std::string ShowAgainUsage()
{
    std::string options = cli::ExpositionOptionsUsage;
    const std::string picture = "[--pack NAME|FILE] [--picture N] ";
    if (const auto at = options.find(picture); at != std::string::npos)
        options.erase(at, picture.size());
    return "N [--local] " + options;
}

int RunShowAgain(QStringList args)
{
    const bool local = cli::TakeFlag(args, QStringLiteral("--local"));
    const QString usage = QStringLiteral("usage: ambience-cli show-again ") + QString::fromStdString(ShowAgainUsage());
    bool numeric = false;
    const qint64 id = args.isEmpty() ? 0 : args.takeFirst().toLongLong(&numeric);
    if (!numeric || id < 1) {
        cli::PrintError(QStringLiteral("show-again wants the number of an entry of ambience-cli history\n") + usage);
        return cli::ExitUsage;
    }
    cli::ExpositionRequest request;
    QString error;
    if (!cli::ParseExpositionOptions(args, request, error) || !args.isEmpty()) {
        if (error.isEmpty())
            error = QStringLiteral("unexpected argument \"%1\"").arg(args.first());
        cli::PrintError(error + QLatin1Char('\n') + usage);
        return cli::ExitUsage;
    }
    if (!request.pack.isEmpty() || request.picture || request.exportPath) {
        cli::PrintError(QStringLiteral("show-again takes its picture from the history; --pack and --picture do not "
                                       "apply\n") + usage);
        return cli::ExitUsage;
    }
    gallery::PictureKey picture;
    {
        cli::Context context;
        gallery::WallRecord* record = RecordOrSay(context);
        if (!record)
            return cli::ExitFailed;
        const auto entry = record->Entry(id);
        if (!entry.ok()) {
            cli::PrintError(QString::fromStdString(entry.error().text));
            return cli::ExitFailed;
        }
        if (entry->packFile.isEmpty()) {
            cli::PrintError(QStringLiteral("entry %1 showed no picture of a pack; use refresh for a new gradient")
                                .arg(id));
            return cli::ExitFailed;
        }
        picture = entry->Key();
    }
    // As next and back: without options the running program makes the change.
    const bool hasOptions = request.size || !request.monitors.empty() || request.seed || !request.overrides.isEmpty();
    if (!local && !hasOptions)
        if (const std::optional<int> code = cli::HandOver(change::RemoteShowRequest(picture)))
            return *code;
    request.show = picture;
    return cli::RunExposition(request);
}

const std::string showAgainUsage = ShowAgainUsage();

cli::Registrar now{{"now", "",
                    "Tells what is on the wall: for each monitor the picture, its pack, the work's source page "
                    "where the pack names one, and the history entry.",
                    [](const QStringList& a) { return RunNow(a); }}};
cli::Registrar history{{"history", "[--limit N] [--json]",
                        "Lists the pictures of the last changes (the last 1,000 are kept), newest first, one line per "
                        "monitor with its entry number; --limit the last N changes, --json every field as JSON.",
                        [](const QStringList& a) { return RunHistory(a); }}};
cli::Registrar showAgain{{"show-again", showAgainUsage.c_str(),
                          "Sets the picture of history entry N as wallpaper again (through the running Ambience "
                          "when there is one).",
                          [](const QStringList& a) { return RunShowAgain(a); }}};

} // namespace
