#pragma once
// Small pack archives made at test time: a stored ZIP whose comment describes the
// pack and whose entries are tiny JPEG pictures.
#include <QSize>
#include <QString>

#include <string>
#include <utility>
#include <vector>

namespace uitest {

struct TestPicture {
    std::string entryName; // e.g. "01 - 1889 - Title - Author.jpg"
    QSize size{8, 8};
};

// Writes a pack at path; an empty name leaves the description without "Name".
// extra entries (name, content) follow the pictures ("sources.json", ...).
// Returns false when the file could not be written.
bool WritePack(const QString& path, const std::string& name, int icon, const std::vector<TestPicture>& pictures,
               const std::vector<std::pair<std::string, std::string>>& extra = {});
// A pack of count pictures "NN - Title N.jpg" of the given size.
bool WriteSimplePack(const QString& path, const std::string& name, int icon, int count, QSize size = {8, 8});
// A ZIP archive with a comment but one non-picture entry: no valid pack.
bool WriteZip(const QString& path, const std::string& comment,
              const std::vector<std::pair<std::string, std::string>>& entries);

} // namespace uitest
