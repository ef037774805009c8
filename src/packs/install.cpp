#include "packs/install.h"

#include "archive/errors.h"
#include "archive/file_ops.h"
#include "packs/pack.h"

#include <QDir>
#include <QFileInfo>


namespace packs {
namespace {

// Two folders are the same when they resolve to the same place (links and
// relative parts followed); letter case matters, as it does on this file system.
bool SameFolder(const QString& a, const QString& b)
{
    const QString ca = QFileInfo(a).canonicalFilePath();
    const QString cb = QFileInfo(b).canonicalFilePath();
    if (!ca.isEmpty() && !cb.isEmpty())
        return ca == cb;
    return QDir::cleanPath(QFileInfo(a).absoluteFilePath()) == QDir::cleanPath(QFileInfo(b).absoluteFilePath());
}

} // namespace

core::Error CopyFailure(int code, const std::string& source, const std::string& target, const std::string& why)
{
    return core::MakeError(code, "cannot copy " + source + " to " + target + ": " + why + " The installed packs are unchanged.");
}

std::string PackErrorMessage(int code)
{
    if (code == 0)
        return {};
    return archiva::ErrorText(code) + ".";
}

core::Result<InstalledPack> InstallPack(const std::string& source, const std::string& packsFolder)
{
    const QFileInfo file(QString::fromStdString(source));
    InstalledPack installed;
    installed.Target = QDir(QString::fromStdString(packsFolder)).absoluteFilePath(file.fileName()).toStdString();

    if (archiva::LowerExtension(file.fileName().toStdString()) != ".zip")
        return core::MakeError(kNotAPackArchive,
                               source + ": Only pack archives (\".zip\" files) can be installed; nothing was installed");
    if (SameFolder(file.absolutePath(), QString::fromStdString(packsFolder)))
        return core::MakeError(kAlreadyInstalled, "The pack is installed already: it lies in the packs folder");

    {
        TPack pack(source);
        if (pack.OpenError != 0)
            return core::MakeError(pack.OpenError, "cannot read " + source + ": " + PackErrorMessage(pack.OpenError));
        if (!pack.IsValid())
            return core::MakeError(archiva::ErrorInvalidPack, source + ": " + PackErrorMessage(archiva::ErrorInvalidPack)
                                                                  + " Nothing was installed.");
        installed.PackName = pack.Name;
        // The pack is released at the end of this block; it stores its current
        // picture under its file name, which the installed copy shares.
    }

    installed.Replaced = QFileInfo::exists(QString::fromStdString(installed.Target));
    // CopyFileOver writes a temporary file and renames it over the target, so an
    // older pack of the same name survives a failed copy.
    if (const int code = archiva::CopyFileOver(source, installed.Target); code != 0)
        return CopyFailure(code, source, installed.Target, PackErrorMessage(code));
    return installed;
}

core::Result<void> RemovePack(const std::string& path)
{
    if (const int code = archiva::DeleteFileForced(path); code != 0)
        return core::MakeError(code, PackErrorMessage(code));
    return core::Ok();
}

} // namespace packs
