#include "change/wall_rows.h"

#include "packs/pack.h"
#include "packs/picture_source.h"

#include <QFileInfo>

namespace change {

gallery::WallEntry WallRowOf(const TPack& pack, const TPic& picture)
{
    gallery::WallEntry row;
    row.packFile = QFileInfo(QString::fromStdString(pack.Path)).fileName();
    row.packName = QString::fromStdString(pack.Name);
    row.entry = QString::fromStdString(picture.EntryName);
    row.title = QString::fromStdString(picture.Title);
    row.year = picture.Year != 0 ? QString::number(picture.Year) : QString();
    row.author = QString::fromStdString(picture.Author);
    return row;
}

void ReadWorkSource(const std::string& packPath, const std::string& password, gallery::WallEntry& row)
{
    if (packPath.empty() || row.entry.isEmpty())
        return;
    const auto source = packs::ReadPictureSource(packPath, row.entry.toStdString(), password);
    if (!source.ok())
        return; // most packs carry no sources: nothing to tell
    row.source.page = QString::fromStdString(source->Page);
    row.source.credit = QString::fromStdString(source->Credit);
    row.source.licence = QString::fromStdString(source->Licence);
    // The entry name may have had to shorten the title; the source keeps it whole.
    if (!source->Title.empty())
        row.title = QString::fromStdString(source->Title);
}

} // namespace change
