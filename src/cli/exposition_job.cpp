#include "cli/exposition_job.h"

#include "change/size_limits.h"

#include "cli/exit_code.h"
#include "core/random.h"
#include "cli/context.h"
#include "compose/canvas.h"
#include "gallery/wall_record.h"
#include "change/picture_selection.h"
#include "cli/pack_password.h"
#include "cli/pack_support.h"
#include "platform/wallpaper.h"
#include "packs/pack_list.h"
#include "packs/selection.h"
#include "platform/registry.h"
#include "platform/monitors.h"
#include "platform/screen.h"
#include "settings/options.h"

#include <QFileInfo>
#include <QGuiApplication>
#include <QRegularExpression>

#include <cstdio>
#include <thread>
#include <unistd.h>

namespace cli {

const char* const ExpositionOptionsUsage =
    "[--size WxH | --monitors WxH+X+Y,...] [--pack NAME|FILE] [--picture N] [--password P] [--seed N] [--background TYPE] [--orientation O] "
    "[--size-class S] [--influence I] [--lightness L] [--saturation S]";

namespace {

struct Override {
    const char* option;
    const char* setting;
};
constexpr Override Overrides[] = {
    {"--background", "BackgroundType"}, {"--orientation", "PictureOrientation"}, {"--size-class", "PictureSize"},
    {"--influence", "ColorInfluence"},  {"--lightness", "ColorLightness"},       {"--saturation", "ColorSaturation"},
};

// A progress bar on stderr, drawn only when stderr is a terminal. Reset on -100,
// otherwise it only moves forward, like the window's.
class ProgressBar {
public:
    ProgressBar() : enabled_(isatty(fileno(stderr)) == 1) {}
    ~ProgressBar() { Finish(); }
    void Report(int value)
    {
        if (!enabled_)
            return;
        if (value == -100)
            position_ = 0;
        else if (value > position_)
            position_ = std::min(value, 100);
        else
            return;
        const int filled = position_ * 30 / 100;
        std::fprintf(stderr, "\r[%s%s] %3d%%", std::string(filled, '#').c_str(), std::string(30 - filled, ' ').c_str(),
                     position_);
        std::fflush(stderr);
        drawn_ = true;
    }
    void Finish()
    {
        if (drawn_)
            std::fputs("\r\033[K", stderr);
        drawn_ = false;
    }

private:
    bool enabled_;
    bool drawn_ = false;
    int position_ = 0;
};

} // namespace

const char* SettingOfOption(const QString& option)
{
    for (const Override& o : Overrides)
        if (option == QLatin1String(o.option))
            return o.setting;
    return nullptr;
}

bool ParseCanvasSize(const QString& text, QSize& size)
{
    static const QRegularExpression form(QStringLiteral("^(\\d{1,5})[xX](\\d{1,5})$"));
    const auto match = form.match(text.trimmed());
    if (!match.hasMatch())
        return false;
    const int w = match.captured(1).toInt();
    const int h = match.captured(2).toInt();
    if (w < 1 || h < 1 || w > 32767 || h > 32767)
        return false;
    size = QSize(w, h);
    return true;
}

bool ParseExpositionOptions(QStringList& args, ExpositionRequest& request, QString& error)
{
    bool missing = false;
    auto take = [&](const char* name) {
        auto value = TakeOption(args, QString::fromLatin1(name), missing);
        if (missing && error.isEmpty())
            error = QStringLiteral("%1 needs a value").arg(QString::fromLatin1(name));
        return value;
    };
    if (auto size = take("--size")) {
        QSize parsed;
        if (!ParseCanvasSize(*size, parsed)) {
            error = QStringLiteral("--size wants WIDTHxHEIGHT in pixels, for example 1920x1080, not \"%1\"").arg(*size);
            return false;
        }
        request.size = parsed;
    }
    if (auto monitors = take("--monitors")) {
        if (request.size) {
            error = QStringLiteral("--size and --monitors cannot be given together");
            return false;
        }
        QString why;
        if (!platform::ParseMonitorList(*monitors, request.monitors, why)) {
            error = QStringLiteral("--monitors: %1").arg(why);
            return false;
        }
    }
    if (auto pack = take("--pack"))
        request.pack = *pack;
    if (auto picture = take("--picture")) {
        bool ok = false;
        const int n = picture->toInt(&ok);
        if (!ok || n < 1) {
            error = QStringLiteral("--picture wants a picture number from 1, not \"%1\"").arg(*picture);
            return false;
        }
        request.picture = n;
    }
    if (auto password = take("--password"))
        request.password = *password;
    if (auto seed = take("--seed")) {
        bool ok = false;
        const quint32 n = seed->toUInt(&ok);
        if (!ok) {
            error = QStringLiteral("--seed wants a whole number from 0 to 4294967295, not \"%1\"").arg(*seed);
            return false;
        }
        request.seed = n;
    }
    for (const Override& o : Overrides) {
        if (auto value = take(o.option))
            request.overrides << QString::fromLatin1(o.setting) + QLatin1Char('=') + *value;
    }
    if (!error.isEmpty())
        return false;
    for (const QString& arg : std::as_const(args)) {
        if (arg.startsWith(QLatin1String("-"))) {
            error = QStringLiteral("unknown option \"%1\"").arg(arg);
            return false;
        }
    }
    return true;
}

namespace {

// The picture to step from: the one asked for by pack and number, else the one
// shown last. An exit code when the request names a picture that is not there.
std::optional<int> ChooseStart(const ExpositionRequest& request, const TPackList& list, change::ChangeRequest& change)
{
    const std::vector<int> counts = packs::PictureCounts(list);
    const int total = packs::TotalPictureCount(counts);
    if (!request.pack.isEmpty()) {
        QString error;
        const std::optional<int> pack = FindInstalledPack(list, request.pack, error);
        if (!pack) {
            PrintError(error);
            return cli::ExitUsage;
        }
        const int count = counts[*pack];
        if (request.picture && *request.picture > count) {
            PrintError(QStringLiteral("the pack \"%1\" has %2 pictures; there is no picture %3")
                           .arg(QString::fromStdString(list.PackAt(*pack).Name))
                           .arg(count)
                           .arg(*request.picture));
            return cli::ExitUsage;
        }
        change.from = packs::CurrentPictureIndex(counts, *pack,
                                                 request.picture ? *request.picture - 1 : list.PackAt(*pack).Current);
    } else if (request.picture) {
        if (*request.picture > total) {
            PrintError(QStringLiteral("there are %1 pictures in the installed packs; there is no picture %2")
                           .arg(total)
                           .arg(*request.picture));
            return cli::ExitUsage;
        }
        change.from = *request.picture - 1;
    }
    return std::nullopt;
}

// The canvas: the size asked for, else the monitors given, else the screen's
// when there is one to ask, else 1920 x 1080.
void ChooseCanvas(const ExpositionRequest& request, change::ChangeRequest& change)
{
    change.size = QSize(1920, 1080);
    const QString platformName = QGuiApplication::platformName();
    if (request.size) {
        change.size = *request.size;
    } else if (!request.monitors.empty()) {
        change.monitors = request.monitors;
        change.size = change.monitors.front().geometry.size();
    } else if (platformName != QLatin1String("offscreen") && platformName != QLatin1String("minimal")) {
        const platform::ScreenInfo screen = platform::PrimaryScreen(change.size);
        change.size = screen.size;
        change.workArea = screen.workArea;
        change.monitors = platform::DesktopMonitors(change.size);
    }
}

// What was composed: the pack and picture, the size and the other monitors.
void SayWhatWasShown(const change::ChangeDone& result)
{
    if (result.pack >= 0) {
        Say(QStringLiteral("Pack: %1 (%2)").arg(result.packName, result.packFile));
        Say(QStringLiteral("Picture: %1 of %2 in the pack, %3 of %4 in all: %5")
                .arg(result.pictureInPack + 1)
                .arg(result.packPictureCount)
                .arg(result.index + 1)
                .arg(result.total)
                .arg(result.description));
    } else {
        Say(result.total == 0 ? QStringLiteral("Picture: none (no packs are installed)")
                              : QStringLiteral("Picture: none (none is selected; try next, back or random)"));
    }
    Say(QStringLiteral("Size: %1 x %2").arg(result.size.width()).arg(result.size.height()));
    for (const auto& other : result.otherMonitors) {
        Say(QStringLiteral("Monitor %1: %2 x %3, picture %4: %5")
                .arg(other.name)
                .arg(other.size.width())
                .arg(other.size.height())
                .arg(other.index >= 0 ? QString::number(other.index + 1) : QStringLiteral("none"), other.description));
    }
}

void PrintNotices(const change::ChangeDone& told)
{
    for (const QString& notice : told.notices)
        PrintError(notice);
}

// Reports a change that did not happen, with what was told before it, and gives
// the exit code.
int ReportFailure(const core::Error& error, const change::ChangeDone& soFar)
{
    PrintNotices(soFar);
    const QString problem = QString::fromStdString(error.text);
    if (error.code == change::kBadChangeRequest) {
        PrintError(problem);
        return cli::ExitUsage;
    }
    // Once the picture was chosen, what it is; else it could not be read.
    if (!soFar.size.isEmpty())
        SayWhatWasShown(soFar);
    PrintError(problem);
    return cli::ExitFailed;
}

// Reports the outcome and gives the exit code.
int Report(const ExpositionRequest& request, const core::Result<change::ChangeDone>& outcome,
           const change::ChangeDone& soFar)
{
    if (!outcome.ok())
        return ReportFailure(outcome.error(), soFar);
    const change::ChangeDone& result = *outcome;
    PrintNotices(result);
    SayWhatWasShown(result);
    if (request.exportPath) {
        Say(QStringLiteral("Exported: %1").arg(*request.exportPath));
        return cli::ExitDone;
    }
    int code = ExitDone;
    if (!result.unset) {
        Say(QStringLiteral("Wallpaper: %1").arg(result.wallpaperShown));
    } else {
        QString line = QStringLiteral("Wallpaper: not set.");
        if (!result.unsetReason.isEmpty())
            line += QLatin1Char(' ') + result.unsetReason;
        Say(line + QStringLiteral(" The picture is %1.").arg(result.file));
        code = ExitWallpaperUnset;
    }
    if (!result.settingsProblem.isEmpty()) {
        PrintError(CannotSaveSettings(result.settingsProblem));
        return cli::ExitFailed;
    }
    return code;
}

} // namespace

int RunExposition(const ExpositionRequest& request)
{
    // The captions need the installed fonts: they are read while the picture loads.
    std::jthread fonts(compose::LoadInstalledFonts);
    Context context;
    TOptions& options = context.LoadOptions();
    for (const QString& notice : context.Notices())
        PrintError(notice);

    if (request.seed)
        SeedRandom(*request.seed);
    else
        RandomizeFromEnvironmentOrClock();

    TPackList list(&context.Store());
    if (!ScanCatalogue(list))
        return cli::ExitFailed;
    // An export changes no wallpaper and is not recorded; it only reads the record
    // for the picture on the wall, so it makes none and is silent about a damaged one.
    gallery::WallRecord* record = nullptr;
    if (!request.exportPath)
        record = context.Record();
    else if (context.RecordExists())
        record = context.Record();
    if (!request.exportPath && !context.RecordProblem().isEmpty())
        PrintError(context.RecordProblem());
    change::CatalogueSelection selection(list, record);
    // Encrypted packs open with --password, the password kept in the desktop's
    // keyring, or one typed on the terminal.
    PackPasswordSource passwords(request.password, &context.Secrets(),
                                 isatty(STDIN_FILENO) == 1 && isatty(STDERR_FILENO) == 1);
    selection.SetUnlock([&passwords](TPack& pack, int index, QString& why) { return passwords.Unlock(pack, index, why); });

    change::ChangeRequest change;
    change.step = request.step;
    change.picture = request.show;
    change.overrides = request.overrides;
    change.exportPath = request.exportPath;
    if (const std::optional<int> refused = ChooseStart(request, list, change))
        return *refused;
    ChooseCanvas(request, change);
    if (!request.exportPath && (request.size || !request.monitors.empty()))
        if (const std::optional<QString> problem = change::TypedWallpaperSizeProblem(change.size, change.monitors)) {
            PrintError(*problem);
            return cli::ExitUsage;
        }

    ProgressBar bar;
    change.progress = [&bar](int v) { bar.Report(v); };
    change::ChangeDone soFar;
    const core::Result<change::ChangeDone> result =
        change::ChangeDesktop(change, selection, options, context.Setter(), &soFar);
    bar.Finish();
    if (!result.ok() && passwords.Refused()) {
        // What the command line must add: the pack's password.
        PrintNotices(soFar);
        PrintError(QString::fromStdString(result.error().text));
        return cli::ExitUsage;
    }
    return Report(request, result, soFar);
}

} // namespace cli
