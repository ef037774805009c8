#include "cli/pack_support.h"

#include "cli/output.h"

#include "packs/pack_folders.h"
#include "platform/folders.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace cli {

std::string PacksFolder()
{
    return platform::GetSpecialFolder(platform::ProgramFolderCode).toStdString();
}

std::string RequirePacksFolder()
{
    std::string folder = PacksFolder();
    if (folder.empty())
        PrintError(QStringLiteral("cannot tell where the program (and so the packs folder) lies"));
    return folder;
}

std::vector<std::string> CatalogueFolders()
{
    return packs::CurrentPackFolders().ScanOrder();
}

bool ScanCatalogue(TPackList& list, bool tellLeftOut)
{
    packs::ScanReport report;
    list.Rescan(CatalogueFolders(), &report);
    for (const std::string& folder : report.UnreadableFolders)
        PrintError(QStringLiteral("cannot read the packs folder %1").arg(QString::fromStdString(folder)));
    if (tellLeftOut)
        for (const auto& file : report.LeftOutFiles)
            PrintError(QStringLiteral("left out %1: %2")
                           .arg(QString::fromStdString(file.Path), QString::fromStdString(file.Reason)));
    return report.UnreadableFolders.empty();
}

std::optional<int> FindInstalledPack(const TPackList& list, const QString& what, QString& error)
{
    if (what.contains(QLatin1Char('/')) || QFileInfo::exists(what)) {
        const int byPath = packs::FindPackByPath(list, what.toStdString());
        if (byPath >= 0)
            return byPath;
    }
    std::vector<int> exact;
    std::vector<int> loose;
    for (int i = 0; i < list.Count(); ++i) {
        const TPack& pack = list.PackAt(i);
        const QString file = QFileInfo(QString::fromStdString(pack.Path)).fileName();
        const QString name = QString::fromStdString(pack.Name);
        if (file == what || file == what + QStringLiteral(".zip") || name == what)
            exact.push_back(i);
        else if (name.compare(what, Qt::CaseInsensitive) == 0
                 || file.compare(what, Qt::CaseInsensitive) == 0)
            loose.push_back(i);
    }
    const std::vector<int>& found = exact.empty() ? loose : exact;
    if (found.size() == 1)
        return found.front();
    if (found.empty()) {
        error = QStringLiteral("no installed pack is called \"%1\" (see \"ambience-cli packs\")").arg(what);
    } else {
        QStringList files;
        for (const int i : found)
            files << QString::fromStdString(list.PackAt(i).Path);
        error = QStringLiteral("\"%1\" names several packs; give the file instead: %2").arg(what, files.join(QStringLiteral(", ")));
    }
    return std::nullopt;
}

std::optional<QString> TakeOption(QStringList& args, const QString& name, bool& missing)
{
    missing = false;
    for (int i = 0; i < args.size(); ++i) {
        if (args[i] == name) {
            if (i + 1 >= args.size()) {
                missing = true;
                args.removeAt(i);
                return std::nullopt;
            }
            const QString value = args[i + 1];
            args.remove(i, 2);
            return value;
        }
        if (args[i].startsWith(name + QLatin1Char('='))) {
            const QString value = args[i].mid(name.size() + 1);
            args.removeAt(i);
            return value;
        }
    }
    return std::nullopt;
}

bool TakeFlag(QStringList& args, const QString& name)
{
    return args.removeAll(name) > 0;
}

std::string RawPathArgument(const QString& argument)
{
    std::string raw = argument.toStdString();
    QFile cmdline(QStringLiteral("/proc/self/cmdline"));
    if (cmdline.open(QIODevice::ReadOnly)) {
        for (const QByteArray& given : cmdline.readAll().split('\0')) {
            if (!given.isEmpty() && QString::fromLocal8Bit(given) == argument) {
                raw = given.toStdString();
                break;
            }
        }
    }
    if (!raw.empty() && raw.front() != '/')
        raw = QFile::encodeName(QDir::currentPath()).toStdString() + "/" + raw;
    return raw;
}

core::Result<void> CheckPackOutput(const QString& path, bool force)
{
    const QFileInfo info(path);
    if (!info.exists() || force)
        return core::Ok();
    if (info.isDir())
        return core::MakeError(5, QStringLiteral("%1 is a folder; name the pack file to write").arg(path).toStdString());
    QFile file(path);
    QByteArray start;
    if (file.open(QIODevice::ReadOnly))
        start = file.read(4);
    // A ZIP archive begins with a local header, or, when empty, with its end record.
    if (start == QByteArray("PK\x03\x04", 4) || start == QByteArray("PK\x05\x06", 4))
        return core::Ok();
    return core::MakeError(80, QStringLiteral("%1 exists and is no pack (ZIP archive); it was left as it is. Give --force "
                                              "to replace it")
                                   .arg(path)
                                   .toStdString());
}

void SayPackWritten(const QString& packName, const QString& archive, bool installed)
{
    PrintLine(stdout, QStringLiteral("Pack \"%1\": %2 (%3 bytes)").arg(packName, archive).arg(QFileInfo(archive).size()));
    if (installed)
        PrintLine(stdout, QStringLiteral("Installed; see \"ambience-cli packs\""));
}

} // namespace cli
