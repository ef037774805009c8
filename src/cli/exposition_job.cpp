#include "cli/exposition_job.h"

#include "app/datetime.h"
#include "app/product.h"
#include "app/random.h"
#include "cli/context.h"
#include "cli/pack_support.h"
#include "compose/captions.h"
#include "compose/expo.h"
#include "graphics/picture.h"
#include "packs/load_picture.h"
#include "packs/pack_list.h"
#include "packs/selection.h"
#include "platform/registry.h"
#include "platform/screen.h"
#include "settings/option_text.h"
#include "settings/options.h"

#include <QFileInfo>
#include <QGuiApplication>
#include <QRegularExpression>

#include <cstdio>
#include <unistd.h>

namespace cli {

const char* const ExpositionOptionsUsage =
    "[--size WxH] [--pack NAME|FILE] [--picture N] [--seed N] [--background TYPE] [--orientation O] "
    "[--size-class S] [--influence I] [--lightness L] [--saturation S]";

namespace {

// The CLI's own memory of the last picture it showed, so next and back continue
// from it: "<pack file name>/<entry name>" under the registry root.
const QString LastPictureValue = QStringLiteral("LastPicture");

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

QString PackFileName(const TPack& pack) { return QFileInfo(QString::fromStdString(pack.Path)).fileName(); }

// Global index of the picture the CLI showed last, or nullopt when it is gone.
std::optional<int> LastPictureIndex(const TPackList& list, const std::vector<int>& counts)
{
    std::optional<QString> stored;
    try {
        stored = platform::Registry::CurrentUser().ReadString(Product->RegistryRoot, LastPictureValue);
    } catch (const platform::RegistryError&) {
        return std::nullopt;
    }
    if (!stored)
        return std::nullopt;
    const qsizetype slash = stored->indexOf(QLatin1Char('/'));
    if (slash <= 0)
        return std::nullopt;
    const QString file = stored->left(slash);
    const std::string entry = stored->mid(slash + 1).toStdString();
    for (int p = 0; p < list.Count(); ++p) {
        if (PackFileName(list.PackAt(p)) != file)
            continue;
        const auto& pictures = list.PackAt(p).Pictures;
        for (size_t i = 0; i < pictures.size(); ++i)
            if (pictures[i].EntryName == entry)
                return packs::CurrentPictureIndex(counts, p, static_cast<int>(i));
    }
    return std::nullopt;
}

void Say(const QString& line) { std::fprintf(stdout, "%s\n", line.toUtf8().constData()); }

} // namespace

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

int RunExposition(const ExpositionRequest& request)
{
    Context context;
    QString error;
    if (!context.LoadOptions(error)) {
        PrintError(error);
        return 1;
    }
    for (const QString& notice : context.Notices())
        PrintError(notice);

    // Overrides are checked like the Options page's values and apply to this run only.
    TOptions settings = *Options;
    if (!request.overrides.isEmpty() && !ApplyOptionAssignments(settings, request.overrides, &error)) {
        PrintError(error);
        return 2;
    }
    if (request.seed)
        SeedRandom(*request.seed);
    else
        RandomizeFromEnvironmentOrClock();

    TPackList list;
    list.Rescan(CatalogueFolders());
    const std::vector<int> counts = packs::PictureCounts(list);
    const int total = packs::TotalPictureCount(counts);

    // The current picture: the one asked for, else the one shown last, else none.
    int current = total;
    if (!request.pack.isEmpty()) {
        const std::optional<int> pack = FindInstalledPack(list, request.pack, error);
        if (!pack) {
            PrintError(error);
            return 2;
        }
        const int count = counts[*pack];
        if (request.picture && *request.picture > count) {
            PrintError(QStringLiteral("the pack \"%1\" has %2 pictures; there is no picture %3")
                           .arg(QString::fromStdString(list.PackAt(*pack).Name))
                           .arg(count)
                           .arg(*request.picture));
            return 2;
        }
        current = packs::CurrentPictureIndex(counts, *pack,
                                             request.picture ? *request.picture - 1 : list.PackAt(*pack).Current);
    } else if (request.picture) {
        if (*request.picture > total) {
            PrintError(QStringLiteral("there are %1 pictures in the installed packs; there is no picture %2")
                           .arg(total)
                           .arg(*request.picture));
            return 2;
        }
        current = *request.picture - 1;
    } else if (auto last = LastPictureIndex(list, counts)) {
        current = *last;
    }

    int k = current;
    switch (request.step) {
    case PictureStep::Current:
        break;
    case PictureStep::Random:
        k = packs::RandomPictureIndex(total);
        break;
    case PictureStep::Next:
        k = packs::NextPictureIndex(current, total);
        break;
    case PictureStep::Back:
        k = packs::BackPictureIndex(current, total);
        break;
    }

    const bool exporting = !request.exportPath.isEmpty();
    graphics::Picture picture;
    const TPic* record = nullptr;
    TPack* pack = nullptr;
    auto position = packs::LocatePicture(counts, k);
    // A picture that cannot be read (a damaged entry, a password we do not have)
    // must not stop next, back and random for good: they go on to the following
    // picture in their direction, saying which one they left out.
    for (int tries = 0; position; ++tries) {
        pack = &list.PackAt(position->Pack);
        record = &pack->Pictures[static_cast<size_t>(position->Picture)];
        std::string detail;
        if (LoadPicture(*pack, picture, position->Picture, &detail) == 0)
            break;
        if (request.step == PictureStep::Current || tries + 1 >= total) {
            PrintError(QString::fromStdString(detail));
            return 1;
        }
        PrintError(QString::fromStdString(detail) + QStringLiteral(" (left out)"));
        k = request.step == PictureStep::Back ? packs::BackPictureIndex(k, total) : packs::NextPictureIndex(k, total);
        position = packs::LocatePicture(counts, k);
    }
    // Like selecting the picture in the window: the pack remembers it.
    if (position && !exporting)
        pack->Current = position->Picture;

    QSize size(1920, 1080);
    QRect workArea;
    const QString platformName = QGuiApplication::platformName();
    if (request.size) {
        size = *request.size;
    } else if (platformName != QLatin1String("offscreen") && platformName != QLatin1String("minimal")) {
        const platform::ScreenInfo screen = platform::PrimaryScreen(size);
        size = screen.size;
        workArea = screen.workArea;
    }

    ProgressBar bar;
    TExpo expo(position ? &picture : nullptr, record, [&bar](int v) { bar.Report(v); }, size, workArea,
               compose::ExpoSettings::From(settings));
    const compose::ExpoResult composed = expo.Compose();
    if (!composed.ok) {
        bar.Finish();
        PrintError(composed.error);
        return 1;
    }

    if (position) {
        Say(QStringLiteral("Pack: %1 (%2)").arg(QString::fromStdString(pack->Name), PackFileName(*pack)));
        Say(QStringLiteral("Picture: %1 of %2 in the pack, %3 of %4 in all: %5")
                .arg(position->Picture + 1)
                .arg(counts[position->Pack])
                .arg(k + 1)
                .arg(total)
                .arg(compose::ShortDescription(*record, 120)));
    } else {
        Say(total == 0 ? QStringLiteral("Picture: none (no packs are installed)")
                       : QStringLiteral("Picture: none (none is selected; try next, back or random)"));
    }
    Say(QStringLiteral("Size: %1 x %2").arg(size.width()).arg(size.height()));

    if (exporting) {
        const compose::ExpoResult saved = expo.SaveAs(request.exportPath);
        bar.Finish();
        if (!saved.ok) {
            PrintError(saved.error);
            return 1;
        }
        Say(QStringLiteral("Exported: %1").arg(request.exportPath));
        return 0;
    }

    const compose::WallpaperOutcome outcome = expo.SaveAsWallpaper();
    bar.Finish();
    if (!outcome.written) {
        PrintError(outcome.error);
        return 1;
    }
    int code = 0;
    if (outcome.wallpaper.ok) {
        Say(QStringLiteral("Wallpaper: set through %1").arg(outcome.wallpaper.method));
    } else {
        Say(QStringLiteral("Wallpaper: not set (%1); the picture is %2").arg(outcome.wallpaper.detail, outcome.path));
        code = 3;
    }

    // Count the change like the window does, and remember the picture for next/back.
    Options->DesktopsChanged += 1;
    Options->LastDesktopChangeTime = Now();
    if (!context.SaveOptions(error)) {
        PrintError(error);
        return 1;
    }
    try {
        auto& store = platform::Registry::CurrentUser();
        if (position)
            store.WriteString(Product->RegistryRoot, LastPictureValue,
                              PackFileName(*pack) + QLatin1Char('/') + QString::fromStdString(record->EntryName));
        else
            store.DeleteValue(Product->RegistryRoot, LastPictureValue);
    } catch (const platform::RegistryError& e) {
        PrintError(QStringLiteral("cannot remember the picture: %1").arg(QString::fromStdString(e.what())));
    }
    return code;
}

} // namespace cli
