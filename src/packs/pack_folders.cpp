#include "packs/pack_folders.h"

#include "archive/errors.h"
#include "packs/pack_list.h"
#include "platform/folders.h"

#include <QDir>
#include <QFileInfo>

#include <map>

#include <unistd.h>

namespace packs {
namespace {

QString Canonical(const QString& path)
{
    const QString canonical = QFileInfo(path).canonicalFilePath();
    return canonical.isEmpty() ? QDir::cleanPath(QFileInfo(path).absoluteFilePath()) : canonical;
}

bool LiesIn(const std::string& path, const std::string& folder)
{
    if (folder.empty())
        return false;
    return Canonical(QFileInfo(QString::fromStdString(path)).absolutePath()) == Canonical(QString::fromStdString(folder));
}

} // namespace

std::vector<std::string> PackFolders::ScanOrder() const
{
    std::vector<std::string> order;
    if (!Program.empty())
        order.push_back(Program);
    // A program folder that is the user's folder too (a relocated install) is read once.
    if (!User.empty() && (Program.empty() || Canonical(QString::fromStdString(User)) != Canonical(QString::fromStdString(Program))))
        order.push_back(User);
    return order;
}

PackFolders CurrentPackFolders()
{
    PackFolders folders;
    folders.Program = platform::GetSpecialFolder(platform::ProgramFolderCode).toStdString();
    folders.User = platform::GetSpecialFolder(platform::UserPacksFolderCode).toStdString();
    return folders;
}

std::vector<std::string> CatalogueFiles(const std::vector<std::string>& folders)
{
    std::map<QString, std::string> byName; // file name -> path; later folders replace earlier ones
    for (const std::string& folder : folders) {
        for (std::string& file : PackFilesIn(folder))
            byName[QFileInfo(QString::fromStdString(file)).fileName()] = std::move(file);
    }
    std::vector<std::string> files;
    files.reserve(byName.size());
    for (auto& [name, path] : byName)
        files.push_back(std::move(path));
    return files;
}

bool IsFixedBundledPack(const std::string& path, const PackFolders& folders)
{
    if (!LiesIn(path, folders.Program))
        return false;
    if (!folders.User.empty() && LiesIn(path, folders.User))
        return false;
    // access() asks the kernel with the real user's rights, as deleting would.
    return ::access(QFile::encodeName(QString::fromStdString(folders.Program)).constData(), W_OK) != 0;
}

core::Result<InstalledPack> InstallUserPack(const std::string& source, const PackFolders& folders)
{
    if (LiesIn(source, folders.Program))
        return core::MakeError(kAlreadyInstalled, "The pack is installed already: it lies in the program's packs folder");
    if (folders.User.empty())
        return CopyFailure(archiva::ErrorPathNotFound, source, {},
                           "There is no folder for your own packs (neither XDG_DATA_HOME nor HOME is set).");
    // Made here, so that a user who never installs a pack never gets the folder.
    QDir().mkpath(QString::fromStdString(folders.User));
    return InstallPack(source, folders.User);
}

std::string BundledPackRefusal(const std::string& packName)
{
    return "\"" + packName + "\" belongs to the installation; it cannot be removed by you.";
}

core::Result<void> RemoveInstalledPack(const std::string& path, const std::string& packName, const PackFolders& folders)
{
    if (IsFixedBundledPack(path, folders))
        return core::MakeError(archiva::ErrorAccessDenied, BundledPackRefusal(packName));
    return RemovePack(path);
}

} // namespace packs
