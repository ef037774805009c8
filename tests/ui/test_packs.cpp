#include "ui/test_packs.h"

#include "graphics/jpeg.h"

#include <QFile>
#include <QImage>

#include <zlib.h>

#include <cstdint>

namespace uitest {
namespace {

void Put16(std::string& out, std::uint16_t v)
{
    out += static_cast<char>(v & 0xFF);
    out += static_cast<char>(v >> 8);
}

void Put32(std::string& out, std::uint32_t v)
{
    Put16(out, static_cast<std::uint16_t>(v & 0xFFFF));
    Put16(out, static_cast<std::uint16_t>(v >> 16));
}

std::string Jpeg(QSize size, int seed)
{
    QImage image(size, QImage::Format_RGB888);
    image.fill(QColor::fromHsv((seed * 47) % 360, 160, 200));
    std::vector<std::uint8_t> bytes;
    std::string error;
    if (!graphics::EncodeJpeg(image, 90, bytes, error))
        return {};
    return std::string(bytes.begin(), bytes.end());
}

} // namespace

bool WriteZip(const QString& path, const std::string& comment,
              const std::vector<std::pair<std::string, std::string>>& entries)
{
    std::string out;
    std::string directory;
    for (const auto& [name, data] : entries) {
        const auto crc = static_cast<std::uint32_t>(
            crc32(0, reinterpret_cast<const Bytef*>(data.data()), static_cast<uInt>(data.size())));
        const auto offset = static_cast<std::uint32_t>(out.size());
        // Local header: stored, no flags; names are plain ASCII here.
        Put32(out, 0x04034b50);
        Put16(out, 20);
        Put16(out, 0);
        Put16(out, 0);
        Put16(out, 0);
        Put16(out, 0x21);
        Put32(out, crc);
        Put32(out, static_cast<std::uint32_t>(data.size()));
        Put32(out, static_cast<std::uint32_t>(data.size()));
        Put16(out, static_cast<std::uint16_t>(name.size()));
        Put16(out, 0);
        out += name;
        out += data;

        Put32(directory, 0x02014b50);
        Put16(directory, 20);
        Put16(directory, 20);
        Put16(directory, 0);
        Put16(directory, 0);
        Put16(directory, 0);
        Put16(directory, 0x21);
        Put32(directory, crc);
        Put32(directory, static_cast<std::uint32_t>(data.size()));
        Put32(directory, static_cast<std::uint32_t>(data.size()));
        Put16(directory, static_cast<std::uint16_t>(name.size()));
        Put16(directory, 0);
        Put16(directory, 0);
        Put16(directory, 0);
        Put16(directory, 0);
        Put32(directory, 0);
        Put32(directory, offset);
        directory += name;
    }
    const auto directoryOffset = static_cast<std::uint32_t>(out.size());
    out += directory;
    Put32(out, 0x06054b50);
    Put16(out, 0);
    Put16(out, 0);
    Put16(out, static_cast<std::uint16_t>(entries.size()));
    Put16(out, static_cast<std::uint16_t>(entries.size()));
    Put32(out, static_cast<std::uint32_t>(directory.size()));
    Put32(out, directoryOffset);
    Put16(out, static_cast<std::uint16_t>(comment.size()));
    out += comment;

    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return false;
    return file.write(out.data(), static_cast<qint64>(out.size())) == static_cast<qint64>(out.size());
}

bool WritePack(const QString& path, const std::string& name, int icon, const std::vector<TestPicture>& pictures,
               const std::vector<std::pair<std::string, std::string>>& extra)
{
    std::string comment = "[Pack]\r\n";
    if (!name.empty())
        comment += "Name=" + name + "\r\n";
    comment += "Icon=" + std::to_string(icon) + "\r\n";
    std::vector<std::pair<std::string, std::string>> entries;
    int seed = icon;
    for (const TestPicture& picture : pictures)
        entries.emplace_back(picture.entryName, Jpeg(picture.size, ++seed));
    entries.insert(entries.end(), extra.begin(), extra.end());
    return WriteZip(path, comment, entries);
}

bool WriteSimplePack(const QString& path, const std::string& name, int icon, int count, QSize size)
{
    std::vector<TestPicture> pictures;
    for (int i = 1; i <= count; ++i) {
        char entry[64];
        std::snprintf(entry, sizeof entry, "%02d - Title %d.jpg", i, i);
        pictures.push_back({entry, size});
    }
    return WritePack(path, name, icon, pictures);
}

} // namespace uitest
