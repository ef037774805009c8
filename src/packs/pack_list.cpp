#include "packs/pack_list.h"

#include "packs/ordering.h"
#include "packs/pack_folders.h"

#include <QDir>
#include <QFileInfo>

#include <algorithm>

TPackList* PackList = nullptr;

namespace packs {

std::vector<std::string> PackFilesIn(const std::string& folder)
{
    QDir dir(QString::fromStdString(folder));
    dir.setNameFilters({QStringLiteral("*.zip")});
    dir.setFilter(QDir::Files | QDir::Hidden | QDir::System | QDir::Readable | QDir::NoDotAndDotDot);
    dir.setSorting(QDir::Name);
    std::vector<std::string> files;
    const QFileInfoList infos = dir.entryInfoList();
    for (const QFileInfo& info : infos) {
        // QDir matches name filters without regard to case; keep that explicit
        // check here so "*.ZIP" written by another system is listed as well.
        if (!info.fileName().endsWith(QStringLiteral(".zip"), Qt::CaseInsensitive))
            continue;
        files.push_back(info.absoluteFilePath().toStdString());
    }
    return files;
}

int FindPackByPath(const TPackList& list, const std::string& path)
{
    const QFileInfo wanted(QString::fromStdString(path));
    const QString canonical = wanted.canonicalFilePath();
    for (int i = 0; i < list.Count(); ++i) {
        const QFileInfo info(QString::fromStdString(list.PackAt(i).Path));
        if (!canonical.isEmpty() && info.canonicalFilePath() == canonical)
            return i;
        if (info.absoluteFilePath() == wanted.absoluteFilePath())
            return i;
    }
    return -1;
}

} // namespace packs

TPackList::~TPackList()
{
    StoreCurrents();
}

void TPackList::StoreCurrents() const
{
    for (const TPack& pack : packs_)
        pack.StoreCurrent();
}

void TPackList::Clear()
{
    StoreCurrents();
    packs_.clear();
}

void TPackList::Rescan(const std::string& folder)
{
    Rescan(std::vector<std::string>{folder});
}

void TPackList::Rescan(const std::vector<std::string>& folders)
{
    Clear(); // the loads below read each stored Current back
    for (const std::string& file : packs::CatalogueFiles(folders)) {
        TPack pack(file);
        if (pack.IsValid())
            packs_.push_back(std::move(pack));
    }
    std::stable_sort(packs_.begin(), packs_.end(), packs::CatalogueLess);
}
