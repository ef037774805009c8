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

std::string PackErrorMessage(int code)
{
    if (code == 0)
        return {};
    return archiva::ErrorText(code) + ".";
}

InstallResult InstallPack(const std::string& source, const std::string& packsFolder)
{
    InstallResult result;
    const QFileInfo file(QString::fromStdString(source));
    const QString target = QDir(QString::fromStdString(packsFolder)).absoluteFilePath(file.fileName());
    result.Target = target.toStdString();

    if (archiva::LowerExtension(file.fileName().toStdString()) != ".zip") {
        result.Outcome = InstallOutcome::NotZipFile;
        result.Message = "Only pack archives (\".zip\" files) can be installed";
        return result;
    }
    if (SameFolder(file.absolutePath(), QString::fromStdString(packsFolder))) {
        result.Outcome = InstallOutcome::AlreadyInFolder;
        result.Message = "The pack is installed already: it lies in the packs folder";
        return result;
    }

    {
        TPack pack(source);
        if (pack.OpenError != 0) {
            result.Outcome = InstallOutcome::Unreadable;
            result.Code = pack.OpenError;
            result.Message = PackErrorMessage(result.Code);
            return result;
        }
        if (!pack.IsValid()) {
            result.Outcome = InstallOutcome::InvalidPack;
            result.Code = archiva::ErrorInvalidPack;
            result.Message = PackErrorMessage(result.Code);
            return result;
        }
        result.PackName = pack.Name;
        // The pack is released at the end of this block; it stores its current
        // picture under its file name, which the installed copy shares.
    }

    result.Replaced = QFileInfo::exists(target);
    // CopyFileOver writes a temporary file and renames it over the target, so an
    // older pack of the same name survives a failed copy.
    result.Code = archiva::CopyFileOver(source, result.Target);
    if (result.Code != 0) {
        result.Outcome = InstallOutcome::CopyFailed;
        result.Replaced = false;
        result.Message = PackErrorMessage(result.Code);
        return result;
    }
    result.Outcome = InstallOutcome::Installed;
    return result;
}

RemoveResult RemovePack(const std::string& path)
{
    RemoveResult result;
    result.Code = archiva::DeleteFileForced(path);
    result.Message = PackErrorMessage(result.Code);
    return result;
}

} // namespace packs
