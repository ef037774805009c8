#include "packmaker/work_folder.h"

#include "core/temporary_file.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <cstdlib>
#include <ctime>
#include <vector>

#include <dirent.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

namespace packmaker {
namespace {

constexpr std::string_view kWorkPrefix = ".ambience-make-";

bool IsNameChar(char c)
{
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9');
}

// libzip's temporary name for an archive being written: "NAME.zip.XXXXXX".
bool IsLibzipLeftover(std::string_view name)
{
    if (name.size() < 12 || name.substr(name.size() - 11, 5) != ".zip.")
        return false;
    for (char c : name.substr(name.size() - 6))
        if (!IsNameChar(c))
            return false;
    return true;
}

} // namespace

long WorkFolderOwner(std::string_view name)
{
    if (name.substr(0, kWorkPrefix.size()) != kWorkPrefix)
        return -1;
    std::string_view rest = name.substr(kWorkPrefix.size());
    if (rest.size() < 6)
        return -1;
    for (char c : rest.substr(rest.size() - 6))
        if (!IsNameChar(c))
            return -1;
    if (rest.size() == 6)
        return 0; // an earlier version's folder
    if (rest[rest.size() - 7] != '-' || rest.size() == 7 || rest.size() > 17)
        return -1;
    long pid = 0;
    for (char c : rest.substr(0, rest.size() - 7)) {
        if (c < '0' || c > '9')
            return -1;
        pid = pid * 10 + (c - '0');
    }
    return pid;
}

std::string CreateWorkFolder(const std::string& folder, int& error)
{
    std::string pattern = core::FolderWithSlash(folder) + std::string(kWorkPrefix) + std::to_string(::getpid()) + "-XXXXXX";
    std::vector<char> buffer(pattern.begin(), pattern.end());
    buffer.push_back('\0');
    if (!::mkdtemp(buffer.data())) {
        error = errno;
        return {};
    }
    error = 0;
    return std::string(buffer.data());
}

void RemoveWorkFolder(const std::string& path)
{
    if (!path.empty())
        QDir(QFile::decodeName(QByteArray::fromStdString(path))).removeRecursively();
}

int RemoveStaleMakeLeftovers(const std::string& folder)
{
    const std::string prefix = core::FolderWithSlash(folder);
    DIR* dir = ::opendir(prefix.c_str());
    if (!dir)
        return 0;
    std::vector<std::string> stale;
    const std::time_t now = std::time(nullptr);
    while (const dirent* entry = ::readdir(dir)) {
        const std::string name = entry->d_name;
        const std::string path = prefix + name;
        struct stat st {};
        if (::lstat(path.c_str(), &st) != 0)
            continue;
        const long owner = WorkFolderOwner(name);
        if (owner > 0 && S_ISDIR(st.st_mode)) {
            // No lock guards a folder: only a make whose process is gone, or one
            // a day old (its process id taken again since), is done with it.
            const bool ownerGone = owner != ::getpid() && ::kill(static_cast<pid_t>(owner), 0) != 0 && errno == ESRCH;
            const bool old = now - st.st_mtime >= std::chrono::seconds(std::chrono::hours(24)).count();
            if (ownerGone || old)
                stale.push_back(path);
        } else if ((owner == 0 && S_ISDIR(st.st_mode)) || (IsLibzipLeftover(name) && S_ISREG(st.st_mode))) {
            const auto age = std::chrono::seconds(now - st.st_mtime);
            if (age >= kLegacyLeftoverAge)
                stale.push_back(path);
        }
    }
    ::closedir(dir);
    int removed = 0;
    for (const std::string& path : stale) {
        const QString name = QFile::decodeName(QByteArray::fromStdString(path));
        const bool gone = QFileInfo(name).isDir() ? QDir(name).removeRecursively() : QFile::remove(name);
        removed += gone ? 1 : 0;
    }
    return removed;
}

} // namespace packmaker
