#include "packs/picture_source.h"

#include "packs/load_picture.h"

#include <QJsonDocument>
#include <QJsonObject>

#include <cstdint>
#include <vector>

namespace packs {
namespace {

// The source entry is a few hundred bytes a picture; a larger one is no pack's.
constexpr std::size_t kMaxSourcesBytes = 16u << 20;

std::string Field(const QJsonObject& object, const char* name)
{
    return object.value(QLatin1String(name)).toString().toStdString();
}

} // namespace

core::Result<PictureSource> PictureSourceFromJson(const std::string& json, const std::string& entryName)
{
    if (json.size() > kMaxSourcesBytes)
        return core::MakeError(23, "the pack's source entry is larger than it can be");
    QJsonParseError parse{};
    const QJsonDocument document =
        QJsonDocument::fromJson(QByteArray(json.data(), static_cast<qsizetype>(json.size())), &parse);
    if (parse.error != QJsonParseError::NoError || !document.isObject())
        return core::MakeError(23, std::string("the pack's source entry is damaged (") + kSourcesEntry + ")");
    const QJsonValue value = document.object().value(QString::fromStdString(entryName));
    if (!value.isObject())
        return core::MakeError(2, "the pack says nothing of where " + entryName + " comes from");
    const QJsonObject record = value.toObject();
    return PictureSource{Field(record, "title"), Field(record, "page"), Field(record, "credit"), Field(record, "licence")};
}

core::Result<PictureSource> ReadPictureSource(const std::string& archivePath, const std::string& entryName,
                                              const std::string& password)
{
    std::vector<std::uint8_t> bytes;
    std::string detail;
    const int code = ReadPackEntry(archivePath, kSourcesEntry, password, bytes, &detail);
    if (code != 0)
        return core::MakeError(code, detail.empty() ? "the pack keeps no sources of its pictures" : detail);
    return PictureSourceFromJson(std::string(bytes.begin(), bytes.end()), entryName);
}

} // namespace packs
