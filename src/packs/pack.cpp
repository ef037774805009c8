#include "packs/pack.h"

#include "core/product.h"
#include "archive/errors.h"
#include "archive/file_ops.h"
#include "archive/zip.h"
#include "packs/description.h"
#include "packs/ordering.h"
#include "platform/registry.h"

#include <QString>

#include <exception>
#include <optional>

namespace packs {
namespace {

const QString kCurrentValue = QStringLiteral("No");

QString RegistryRootKey()
{
    return ProductNames().RegistryRoot;
}

std::string FileNameOf(const std::string& path)
{
    const auto slash = path.find_last_of('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

bool IsPictureName(const std::string& name)
{
    const std::string ext = archiva::LowerExtension(name);
    return ext == ".jpg" || ext == ".wmf" || ext == ".emf";
}

} // namespace

std::string PackRegistryKey(const std::string& packPath)
{
    const QString key = RegistryRootKey() + QStringLiteral("\\Packs\\") + QString::fromStdString(FileNameOf(packPath));
    return key.toStdString();
}

std::string PackPasswordKey(const std::string& packPath)
{
    return "pack:" + FileNameOf(packPath);
}

std::int32_t ReadStoredCurrent(platform::Registry& store, const std::string& packPath)
{
    try {
        return store.ReadInteger(QString::fromStdString(PackRegistryKey(packPath)), kCurrentValue).value_or(0);
    } catch (const std::exception&) {
        // A value of another type is treated like a missing one: the pack simply
        // starts at its first picture.
        return 0;
    }
}

bool StoreCurrent(platform::Registry& store, const TPack& pack)
{
    if (pack.Path.empty())
        return true;
    try {
        const QString key = QString::fromStdString(PackRegistryKey(pack.Path));
        std::optional<std::int32_t> stored;
        try {
            stored = store.ReadInteger(key, kCurrentValue);
        } catch (const std::exception&) {
            // A value of the wrong type is overwritten below.
        }
        if (stored.value_or(0) == pack.Current)
            return true;
        store.WriteInteger(key, kCurrentValue, pack.Current);
        return true;
    } catch (const std::exception&) {
        // The worst outcome is that the pack opens at an older picture next time.
        return false;
    }
}

} // namespace packs

TPack::TPack(const std::string& path)
    : Path(path)
{
    archiva::zip archive(path);
    if (archive.Error != 0) {
        OpenError = archive.Error;
        return;
    }
    archive.ReadDirectory();
    if (archive.Error != 0) {
        OpenError = archive.Error;
        return;
    }
    if (archive.Comment.empty() || archive.Entries.empty())
        return;

    const auto description = packs::PackDescription::Parse(archive.Comment);
    Author = description.Text("Pack", "Author");

    for (const archiva::zip_entry& entry : archive.Entries) {
        // A folder entry is never a picture, whatever its name ends with.
        if (entry.IsDirectory() || !packs::IsPictureName(entry.Name))
            continue;
        Encrypted = Encrypted || entry.IsEncrypted();
        TPic pic = ParsePictureName(entry.Name);
        if (pic.Author.empty())
            pic.Author = Author;
        Pictures.push_back(std::move(pic));
    }
    if (Pictures.empty())
        return;

    Name = description.Text("Pack", "Name");
    Icon = description.Integer("Pack", "Icon", 0);
    Label = description.Text("Pack", "Label");
    PreviewPicture = description.Integer("Pack", "PreviewPicture", 0);
    PlainCredit = packs::PlainCredit(description);
    packs::OrderPictures(Pictures, Author);
}
