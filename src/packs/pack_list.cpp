#include "packs/pack_list.h"

#include "packs/ordering.h"

#include "archive/errors.h"
#include "archive/zip.h"
#include "packs/pack_folders.h"

#include <QDir>
#include <QFileInfo>

#include <algorithm>
#include <cerrno>
#include <cstring>

#include <dirent.h>

namespace packs {

std::vector<std::string> PackFilesIn(const std::string& folder)
{
    QDir dir(QString::fromStdString(folder));
    dir.setNameFilters({QStringLiteral("*.zip")});
    // Unreadable files are listed too: the catalogue leaves them out, and a caller
    // that reports what it left out can say why.
    dir.setFilter(QDir::Files | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
    dir.setSorting(QDir::Name);
    std::vector<std::string> files;
    const QFileInfoList infos = dir.entryInfoList();
    for (const QFileInfo& info : infos) {
        // QDir matches name filters without regard to case; keep that explicit
        // check here so "*.ZIP" written by another system is listed as well.
        if (!info.fileName().endsWith(QStringLiteral(".zip"), Qt::CaseInsensitive))
            continue;
        // A FIFO or a device of that name would block the reader, or never end.
        if (!info.isFile())
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

bool TPackList::StoreCurrents() const
{
    bool stored = true;
    for (int i = 0; i < Count(); ++i)
        stored = StoreCurrent(i) && stored;
    return stored;
}

bool TPackList::StoreCurrent(int index) const
{
    return !store_ || packs::StoreCurrent(*store_, PackAt(index));
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

void TPackList::Rescan(const std::vector<std::string>& folders, packs::ScanReport* report)
{
    Clear(); // the loads below read each stored Current back
    if (report) {
        for (const std::string& folder : folders) {
            // A folder that is not there yet (the user's, before the first
            // install) is no problem; one that is there but cannot be listed is.
            DIR* dir = ::opendir(folder.c_str());
            if (dir)
                ::closedir(dir);
            else if (errno != ENOENT)
                report->UnreadableFolders.push_back(folder + ": " + std::strerror(errno));
        }
    }
    for (const std::string& file : packs::CatalogueFiles(folders)) {
        TPack pack(file);
        if (pack.IsValid()) {
            if (store_)
                pack.Current = packs::ReadStoredCurrent(*store_, pack.Path);
            packs_.push_back(std::move(pack));
        } else if (report) {
            std::string reason;
            if (pack.OpenError == archiva::ErrorAccessDenied)
                reason = "unreadable: " + archiva::ErrorText(pack.OpenError);
            else if (pack.OpenError != 0)
                reason = "damaged: " + archiva::ErrorText(pack.OpenError);
            else if (archiva::zip archive(file); archive.ReadDirectory(), archive.Entries.empty())
                reason = "damaged: no directory of ZIP entries could be read (a file cut short, or no ZIP archive)";
            else
                reason = "not a pack: it has no description with a name, or no pictures";
            report->LeftOutFiles.push_back({file, reason});
        }
    }
    std::stable_sort(packs_.begin(), packs_.end(), packs::CatalogueLess);
}
