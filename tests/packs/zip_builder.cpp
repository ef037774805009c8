#include "zip_builder.h"

#include "support/temp_env.h"

#include <QFile>

#include <zlib.h>

namespace {

void U16(QByteArray& out, std::uint32_t v)
{
    out.append(static_cast<char>(v & 0xFF));
    out.append(static_cast<char>((v >> 8) & 0xFF));
}

void U32(QByteArray& out, std::uint32_t v)
{
    U16(out, v & 0xFFFF);
    U16(out, v >> 16);
}

} // namespace

ZipBuilder& ZipBuilder::Add(const std::string& name, const QByteArray& data, std::optional<std::uint32_t> declaredSize)
{
    items_.push_back({name, data, declaredSize});
    return *this;
}

ZipBuilder& ZipBuilder::Comment(const std::string& comment)
{
    comment_ = comment;
    return *this;
}

QByteArray ZipBuilder::Bytes() const
{
    // APPNOTE 4.3.7 (local header), 4.3.12 (central directory), 4.3.16 (end record).
    QByteArray out;
    QByteArray directory;
    for (const Item& item : items_) {
        const auto crc = static_cast<std::uint32_t>(
            crc32(0, reinterpret_cast<const Bytef*>(item.data.constData()), static_cast<uInt>(item.data.size())));
        const auto size = static_cast<std::uint32_t>(item.data.size());
        const std::uint32_t declared = item.declared.value_or(size);
        const auto offset = static_cast<std::uint32_t>(out.size());
        const auto nameLength = static_cast<std::uint32_t>(item.name.size());

        U32(out, 0x04034b50);
        U16(out, 20);
        U16(out, 0);           // flags
        U16(out, 0);           // stored
        U16(out, 0x6000);      // 12:00
        U16(out, 0x5C21);      // 2026-01-01
        U32(out, crc);
        U32(out, size);
        U32(out, declared);
        U16(out, nameLength);
        U16(out, 0);
        out.append(item.name.data(), static_cast<qsizetype>(item.name.size()));
        out.append(item.data);

        U32(directory, 0x02014b50);
        U16(directory, 20);
        U16(directory, 20);
        U16(directory, 0);
        U16(directory, 0);
        U16(directory, 0x6000);
        U16(directory, 0x5C21);
        U32(directory, crc);
        U32(directory, size);
        U32(directory, declared);
        U16(directory, nameLength);
        U16(directory, 0); // extra
        U16(directory, 0); // comment
        U16(directory, 0); // disk
        U16(directory, 0); // internal attributes
        U32(directory, item.name.ends_with('/') ? 0x10 : 0);
        U32(directory, offset);
        directory.append(item.name.data(), static_cast<qsizetype>(item.name.size()));
    }
    const auto directoryOffset = static_cast<std::uint32_t>(out.size());
    out.append(directory);
    U32(out, 0x06054b50);
    U16(out, 0);
    U16(out, 0);
    U16(out, static_cast<std::uint32_t>(items_.size()));
    U16(out, static_cast<std::uint32_t>(items_.size()));
    U32(out, static_cast<std::uint32_t>(directory.size()));
    U32(out, directoryOffset);
    U16(out, static_cast<std::uint32_t>(comment_.size()));
    out.append(comment_.data(), static_cast<qsizetype>(comment_.size()));
    return out;
}

bool ZipBuilder::WriteTo(const QString& path) const
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return false;
    const QByteArray bytes = Bytes();
    return file.write(bytes) == bytes.size();
}

std::string PackComment(const std::string& name, const std::string& author, int icon)
{
    std::string text = "[Pack]\r\nName=" + name + "\r\nIcon=" + std::to_string(icon) + "\r\n";
    if (!author.empty())
        text += "Author=" + author + "\r\n";
    return text;
}

QByteArray TestData(const QString& name)
{
    QFile file(TestDataDir() + QStringLiteral("/packs/") + name);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return file.readAll();
}

QByteArray TinyJpeg()
{
    return TestData(QStringLiteral("tiny.jpg"));
}

QByteArray TinyWmf()
{
    return TestData(QStringLiteral("tiny.wmf"));
}

QByteArray TinyEmf()
{
    return TestData(QStringLiteral("tiny.emf"));
}
