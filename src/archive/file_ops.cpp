#include "archive/file_ops.h"

#include "core/temporary_file.h"

#include "archive/errors.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace archiva {

std::string LowerExtension(const std::string& name)
{
    auto dot = name.rfind('.');
    if (dot == std::string::npos)
        return {};
    std::string ext = name.substr(dot);
    for (char& c : ext)
        if (c >= 'A' && c <= 'Z')
            c = char(c - 'A' + 'a');
    return ext;
}

int DeleteFileForced(const std::string& path)
{
    // Deleting on Linux needs write access to the folder, not the file; still, a
    // read-only file is made writable first, as the user asked for it to go anyway.
    struct stat st {};
    if (::lstat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode) && !(st.st_mode & S_IWUSR))
        ::chmod(path.c_str(), (st.st_mode & 07777) | S_IWUSR);
    if (::lstat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode))
        return ErrorAccessDenied; // a folder is no file to delete
    if (::unlink(path.c_str()) != 0)
        return ErrorFromErrno(errno, path);
    return ErrorSuccess;
}

int WriteAll(int fd, const unsigned char* data, std::size_t size)
{
    while (size > 0) {
        ssize_t n = ::write(fd, data, size);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return ErrorFromErrno(errno);
        }
        data += n;
        size -= std::size_t(n);
    }
    return ErrorSuccess;
}

namespace {

int CopyContents(int in, int out)
{
    std::vector<unsigned char> buffer(1 << 16);
    for (;;) {
        ssize_t n = ::read(in, buffer.data(), buffer.size());
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return ErrorFromErrno(errno);
        }
        if (n == 0)
            return ErrorSuccess;
        if (int e = WriteAll(out, buffer.data(), std::size_t(n)))
            return e;
    }
}

} // namespace

int CopyFileOver(const std::string& source, const std::string& target)
{
    int in;
    do {
        in = ::open(source.c_str(), O_RDONLY | O_CLOEXEC);
    } while (in < 0 && errno == EINTR);
    if (in < 0)
        return ErrorFromErrno(errno, source);
    struct stat st {};
    if (::fstat(in, &st) != 0 || !S_ISREG(st.st_mode)) {
        ::close(in);
        return ErrorAccessDenied;
    }

    // The copy is written beside the target and renamed over it only when complete,
    // so a full disk or a read error never leaves a half-written target behind; a
    // copy cut short by a crash is a stale temporary file the next write removes.
    auto slash = target.find_last_of('/');
    const std::string folder = slash == std::string::npos ? std::string(".") : target.substr(0, slash + 1);
    core::RemoveStaleTemporaryFiles(folder);
    const core::TemporaryFile temporary = core::CreateTemporaryFile(folder, 0600);
    if (temporary.fd < 0) {
        ::close(in);
        return ErrorFromErrno(temporary.error, target);
    }
    const int out = temporary.fd;
    int result = CopyContents(in, out);
    ::close(in);
    if (result == ErrorSuccess && ::fchmod(out, st.st_mode & 0777) != 0)
        result = ErrorFromErrno(errno);
    if (result == ErrorSuccess && ::fsync(out) != 0)
        result = ErrorFromErrno(errno);
    if (result == ErrorSuccess && ::rename(temporary.path.c_str(), target.c_str()) != 0)
        result = ErrorFromErrno(errno, target);
    if (result != ErrorSuccess)
        ::unlink(temporary.path.c_str());
    // Closing drops the lock that marks the file as being written.
    if (::close(out) != 0 && result == ErrorSuccess)
        result = ErrorFromErrno(errno);
    return result;
}

} // namespace archiva
