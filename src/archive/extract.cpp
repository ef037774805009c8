#include "archive/extract.h"

#include "archive/decoder.h"
#include "archive/errors.h"
#include "archive/file_ops.h"
#include "archive/task.h"
#include "archive/zip.h"

#include <cerrno>
#include <ctime>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace archiva {

namespace {

// Creates `path` and its missing parents; 0 or an error code.
int MakeFolders(const std::string& path)
{
    for (std::size_t at = 1; at <= path.size(); ++at) {
        if (at != path.size() && path[at] != '/')
            continue;
        const std::string part = path.substr(0, at);
        struct stat st {};
        if (::stat(part.c_str(), &st) == 0) {
            if (!S_ISDIR(st.st_mode))
                return ErrorDirectory;
            continue;
        }
        if (::mkdir(part.c_str(), 0777) != 0 && errno != EEXIST)
            return ErrorFromErrno(errno, part);
    }
    return ErrorSuccess;
}

} // namespace

bool IsSafeEntryName(const std::string& name)
{
    if (name.empty() || name.front() == '/' || name.find('\0') != std::string::npos)
        return false;
    std::size_t start = 0;
    const std::size_t end = name.back() == '/' ? name.size() - 1 : name.size();
    while (start <= end) {
        std::size_t slash = name.find('/', start);
        if (slash == std::string::npos || slash > end)
            slash = end;
        const std::string part = name.substr(start, slash - start);
        if (part.empty() || part == "." || part == "..")
            return false;
        start = slash + 1;
    }
    return true;
}

std::int64_t DosTimeToUnix(std::uint16_t date, std::uint16_t time)
{
    std::tm tm{};
    tm.tm_year = 80 + (date >> 9);
    tm.tm_mon = ((date >> 5) & 15) - 1;
    tm.tm_mday = date & 31;
    tm.tm_hour = time >> 11;
    tm.tm_min = (time >> 5) & 63;
    tm.tm_sec = (time & 31) * 2;
    tm.tm_isdst = -1;
    return std::int64_t(std::mktime(&tm));
}

std::uint32_t ExtractEntry(decoder& decoding, zip& archive, const zip_entry& source, task& job,
                           entry& item)
{
    if (!IsSafeEntryName(source.Name)) {
        job.Error = ErrorInvalidName;
        return source.Crc;
    }
    std::string path = item.Name;
    while (path.size() > 1 && path.back() == '/')
        path.pop_back();
    if (item.IsDirectory()) {
        job.Error = MakeFolders(path);
        return source.Crc;
    }
    const auto slash = path.find_last_of('/');
    const std::string folder = slash == std::string::npos ? std::string(".") : path.substr(0, slash);
    if (int e = MakeFolders(folder)) {
        job.Error = e;
        return source.Crc;
    }

    std::string temp = folder + "/.extract.XXXXXX";
    std::vector<char> name(temp.begin(), temp.end());
    name.push_back('\0');
    const int fd = ::mkostemp(name.data(), O_CLOEXEC);
    if (fd < 0) {
        job.Error = ErrorFromErrno(errno, path);
        return source.Crc;
    }
    const decoder::sink write = [fd](const unsigned char* data, std::size_t size) {
        return WriteAll(fd, data, size);
    };
    const std::uint32_t crc = decoding.Decode(archive, source, job, item, &write);

    // Checked before the rename, so a damaged entry never replaces a good file.
    const bool crcStored = source.AesStrength() == 0 || source.AesVersion == 1;
    if (job.Error == 0 && !archive.Error && crcStored && crc != source.Crc)
        job.Error = ErrorCrc;
    if (job.Error == 0 && !archive.Error) {
        const bool readOnly = item.Attributes & AttributeReadOnly;
        const std::time_t when = std::time_t(DosTimeToUnix(source.Date, source.Time));
        const timespec times[2] = {{when, 0}, {when, 0}};
        if (::fchmod(fd, readOnly ? 0444 : 0644) != 0 || ::futimens(fd, times) != 0)
            job.Error = ErrorFromErrno(errno, path);
    }
    if (::close(fd) != 0 && job.Error == 0)
        job.Error = ErrorFromErrno(errno, path);
    if (job.Error == 0 && !archive.Error && ::rename(name.data(), path.c_str()) != 0)
        job.Error = ErrorFromErrno(errno, path);
    if (job.Error != 0 || archive.Error)
        ::unlink(name.data());
    return crc;
}

} // namespace archiva
