#pragma once
// The one name form of the program's temporary files: ".ambience-PID-XXXXXX.tmp"
// in the folder of the file being written, whatever that file is called, so that
// every valid target name still fits the file system's limit beside it. The
// writer holds an advisory lock (flock) on its temporary file until it has renamed
// it, so a leftover is recognised as stale when no live process holds its lock:
// its writer died (the process is gone) or it is older than a few minutes. Only
// files of this exact form are ever removed.
//
// Standard C++ and POSIX only: the archive layer uses it too.
#include <cerrno>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <ctime>
#include <random>
#include <string>
#include <string_view>

#include <dirent.h>
#include <fcntl.h>
#include <signal.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace core {

inline constexpr std::string_view kTemporaryPrefix = ".ambience-";
inline constexpr std::string_view kTemporarySuffix = ".tmp";
// Younger leftovers of a live process are left alone: it may be about to lock them.
inline constexpr std::chrono::seconds kStaleTemporaryAge{180};

struct TemporaryFile {
    int fd = -1;      // open for writing and locked; -1 on failure
    std::string path; // folder + name
    int error = 0;    // errno when fd is -1
};

// The process id in a temporary file's name, or -1 when name is not of the form.
inline long TemporaryFileOwner(std::string_view name)
{
    if (name.size() < kTemporaryPrefix.size() + kTemporarySuffix.size() + 8
        || name.substr(0, kTemporaryPrefix.size()) != kTemporaryPrefix
        || name.substr(name.size() - kTemporarySuffix.size()) != kTemporarySuffix)
        return -1;
    std::string_view middle = name.substr(kTemporaryPrefix.size(),
                                          name.size() - kTemporaryPrefix.size() - kTemporarySuffix.size());
    const std::size_t dash = middle.find('-');
    if (dash == std::string_view::npos || dash == 0 || dash > 10 || middle.size() - dash - 1 != 6)
        return -1;
    long pid = 0;
    for (char c : middle.substr(0, dash)) {
        if (c < '0' || c > '9')
            return -1;
        pid = pid * 10 + (c - '0');
    }
    for (char c : middle.substr(dash + 1))
        if (!((c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9')))
            return -1;
    return pid;
}

inline std::string FolderWithSlash(std::string folder)
{
    if (folder.empty())
        return "./";
    if (folder.back() != '/')
        folder += '/';
    return folder;
}

// Creates and locks a new temporary file in folder with the given mode (the
// umask applies, as for any new file).
inline TemporaryFile CreateTemporaryFile(const std::string& folder, mode_t mode)
{
    static constexpr char Characters[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";
    thread_local std::mt19937 generator{std::random_device{}()};
    std::uniform_int_distribution<int> pick(0, static_cast<int>(sizeof Characters) - 2);
    TemporaryFile file;
    const std::string base = FolderWithSlash(folder) + std::string(kTemporaryPrefix) + std::to_string(::getpid()) + "-";
    for (int attempt = 0; attempt < 100; ++attempt) {
        std::string name = base;
        for (int i = 0; i < 6; ++i)
            name += Characters[pick(generator)];
        name += kTemporarySuffix;
        const int fd = ::open(name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOFOLLOW, mode);
        if (fd < 0) {
            if (errno == EEXIST)
                continue;
            file.error = errno;
            return file;
        }
        while (::flock(fd, LOCK_EX) != 0 && errno == EINTR) {
        }
        file.fd = fd;
        file.path = std::move(name);
        return file;
    }
    file.error = EEXIST;
    return file;
}

// Removes the stale temporary files of folder (see above); returns how many.
inline int RemoveStaleTemporaryFiles(const std::string& folder, std::chrono::seconds age = kStaleTemporaryAge)
{
    const std::string prefix = FolderWithSlash(folder);
    DIR* dir = ::opendir(prefix.c_str());
    if (!dir)
        return 0;
    int removed = 0;
    const std::time_t now = std::time(nullptr);
    while (const dirent* entry = ::readdir(dir)) {
        const long owner = TemporaryFileOwner(entry->d_name);
        if (owner < 0)
            continue;
        const std::string path = prefix + entry->d_name;
        const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK);
        if (fd < 0)
            continue;
        struct stat st {};
        const bool regular = ::fstat(fd, &st) == 0 && S_ISREG(st.st_mode);
        // A live writer holds the lock until its rename.
        if (regular && ::flock(fd, LOCK_EX | LOCK_NB) == 0) {
            const bool ownerGone = owner != ::getpid() && ::kill(static_cast<pid_t>(owner), 0) != 0 && errno == ESRCH;
            const bool old = now - st.st_mtime >= age.count();
            if ((ownerGone || old) && ::unlink(path.c_str()) == 0)
                ++removed;
        }
        ::close(fd);
    }
    ::closedir(dir);
    return removed;
}

} // namespace core
