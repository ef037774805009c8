// ambience-cli favourite, ban and unban: the person's marks on a picture, kept in
// the record of the wall by pack file and entry name (they survive a reinstall).
// Banning the picture on the wall leaves the wallpaper as it is: the mark steers
// the next change (next, back, random, the automatic change), and "ambience-cli
// next" moves on at once when that is wanted.
#include "cli/command.h"
#include "cli/context.h"
#include "cli/exit_code.h"
#include "cli/output.h"
#include "cli/pack_support.h"
#include "gallery/wall_record.h"
#include "packs/pack_list.h"

#include <QFileInfo>

namespace {

enum class Mark { Favourite, Banned };

// The picture on the primary monitor, or nothing after saying why.
std::optional<gallery::PictureKey> WallPicture(gallery::WallRecord& record)
{
    const auto key = record.PrimaryPicture();
    if (!key.ok()) {
        cli::PrintError(QString::fromStdString(key.error().text));
        return std::nullopt;
    }
    if (key->empty()) {
        cli::PrintError(QStringLiteral("no picture of a pack is on the wall (see ambience-cli now); name one: PACK "
                                       "PICTURE"));
        return std::nullopt;
    }
    return *key;
}

// PACK (an installed pack's file or name) and PICTURE (its entry name or its number
// in the pack, from 1). A pack that is not installed is taken by file name and
// the picture by entry name, so a mark can be taken back after the pack is gone.
std::optional<gallery::PictureKey> NamedPicture(const QString& packText, const QString& pictureText)
{
    TPackList list;
    QString error;
    std::optional<int> pack;
    if (cli::ScanCatalogue(list))
        pack = cli::FindInstalledPack(list, packText, error);
    if (!pack) {
        if (packText.endsWith(QLatin1String(".zip"), Qt::CaseInsensitive))
            return gallery::PictureKey{QFileInfo(packText).fileName(), pictureText};
        cli::PrintError(error.isEmpty() ? QStringLiteral("no installed pack is called \"%1\"").arg(packText) : error);
        return std::nullopt;
    }
    const TPack& found = list.PackAt(*pack);
    const QString file = QFileInfo(QString::fromStdString(found.Path)).fileName();
    bool numeric = false;
    const int number = pictureText.toInt(&numeric);
    const int count = int(found.Pictures.size());
    if (numeric) {
        if (number < 1 || number > count) {
            cli::PrintError(QStringLiteral("the pack \"%1\" has %2 pictures; there is no picture %3")
                                .arg(QString::fromStdString(found.Name))
                                .arg(count)
                                .arg(number));
            return std::nullopt;
        }
        return gallery::PictureKey{file, QString::fromStdString(found.Pictures[size_t(number - 1)].EntryName)};
    }
    for (const TPic& picture : found.Pictures)
        if (QString::fromStdString(picture.EntryName) == pictureText)
            return gallery::PictureKey{file, pictureText};
    cli::PrintError(QStringLiteral("the pack \"%1\" holds no picture \"%2\"")
                        .arg(QString::fromStdString(found.Name), pictureText));
    return std::nullopt;
}

int SetMark(Mark mark, bool on, const QStringList& places)
{
    cli::Context context;
    gallery::WallRecord* record = context.Record();
    if (!record) {
        cli::PrintError(context.RecordProblem());
        return cli::ExitFailed;
    }
    std::optional<gallery::PictureKey> picture =
        places.isEmpty() ? WallPicture(*record) : NamedPicture(places[0], places[1]);
    if (!picture)
        return places.isEmpty() ? cli::ExitFailed : cli::ExitUsage;
    const core::Result<void> set =
        mark == Mark::Favourite ? record->SetFavourite(*picture, on) : record->SetBanned(*picture, on);
    if (!set.ok()) {
        cli::PrintError(QString::fromStdString(set.error().text));
        return cli::ExitFailed;
    }
    const QString what = QStringLiteral("%1 (%2)").arg(picture->entry, picture->packFile);
    if (mark == Mark::Favourite)
        cli::Say(on ? QStringLiteral("Favourite: %1").arg(what) : QStringLiteral("No longer a favourite: %1").arg(what));
    else
        cli::Say(on ? QStringLiteral("Never shown again: %1").arg(what) : QStringLiteral("Allowed again: %1").arg(what));
    return cli::ExitDone;
}

int RunFavourite(const QStringList& args)
{
    const bool on = args.isEmpty() || args.first() == QLatin1String("on");
    if (args.size() > 1 || (!args.isEmpty() && args.first() != QLatin1String("on") && args.first() != QLatin1String("off"))) {
        cli::PrintError(QStringLiteral("favourite takes \"on\" or \"off\"\nusage: ambience-cli favourite [on|off]"));
        return cli::ExitUsage;
    }
    return SetMark(Mark::Favourite, on, {});
}

int RunBan(const char* command, bool on, const QStringList& args)
{
    if (args.size() != 0 && args.size() != 2) {
        cli::PrintError(QStringLiteral("%1 takes a pack and a picture, or nothing for the picture on the wall\n"
                                       "usage: ambience-cli %1 [PACK PICTURE]")
                            .arg(QString::fromLatin1(command)));
        return cli::ExitUsage;
    }
    return SetMark(Mark::Banned, on, args);
}

cli::Registrar favourite{{"favourite", "[on|off]",
                          "Marks the picture on the wall as a favourite (or, with off, no longer); with "
                          "FavouritesOnly=on, random and the automatic change draw from the favourites.",
                          [](const QStringList& a) { return RunFavourite(a); }}};
cli::Registrar ban{{"ban", "[PACK PICTURE]",
                    "Never shows the picture again (default: the one on the wall, which stays until the next "
                    "change): next, back, random and the automatic change pass over it. PICTURE is its number in "
                    "the pack or its entry name.",
                    [](const QStringList& a) { return RunBan("ban", true, a); }}};
cli::Registrar unban{{"unban", "[PACK PICTURE]",
                      "Allows a picture banned with ban to be shown again (default: the one on the wall).",
                      [](const QStringList& a) { return RunBan("unban", false, a); }}};

} // namespace
