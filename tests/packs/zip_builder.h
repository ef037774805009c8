#pragma once
// Writes small ZIP archives for the pack tests: stored entries, an optional
// archive comment, and sizes that can be falsified to imitate damaged packs.
#include <QByteArray>
#include <QString>

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

class ZipBuilder {
public:
    // Adds a stored entry. `declaredSize` replaces the uncompressed size written
    // to the directory (the data and its CRC stay true).
    ZipBuilder& Add(const std::string& name, const QByteArray& data,
                    std::optional<std::uint32_t> declaredSize = std::nullopt);
    ZipBuilder& Comment(const std::string& comment);

    QByteArray Bytes() const;
    // Writes the archive; returns false when the file cannot be written.
    bool WriteTo(const QString& path) const;

private:
    struct Item {
        std::string name;
        QByteArray data;
        std::optional<std::uint32_t> declared;
    };
    std::vector<Item> items_;
    std::string comment_;
};

// A "[Pack]" description with the given name (and author, when not empty).
std::string PackComment(const std::string& name, const std::string& author = {}, int icon = 0);

// Small pictures for pack entries, read from tests/data/packs.
QByteArray TinyJpeg();
QByteArray TinyWmf();
QByteArray TinyEmf();
QByteArray TestData(const QString& name);
