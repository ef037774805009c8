#include "archive/file_ops.h"

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
    // so a full disk or a read error never leaves a half-written target behind.
    auto slash = target.find_last_of('/');
    std::string folder = slash == std::string::npos ? std::string(".") : target.substr(0, slash + 1);
    std::string name = slash == std::string::npos ? target : target.substr(slash + 1);
    std::string temp = (slash == std::string::npos ? std::string() : folder) + "." + name + ".XXXXXX";
    std::vector<char> templ(temp.begin(), temp.end());
    templ.push_back('\0');
    int out = ::mkostemp(templ.data(), O_CLOEXEC);
    if (out < 0) {
        int err = errno;
        ::close(in);
        return ErrorFromErrno(err, target);
    }
    int result = CopyContents(in, out);
    ::close(in);
    if (result == ErrorSuccess && ::fchmod(out, st.st_mode & 0777) != 0)
        result = ErrorFromErrno(errno);
    if (result == ErrorSuccess && ::fsync(out) != 0)
        result = ErrorFromErrno(errno);
    if (::close(out) != 0 && result == ErrorSuccess)
        result = ErrorFromErrno(errno);
    if (result == ErrorSuccess && ::rename(templ.data(), target.c_str()) != 0)
        result = ErrorFromErrno(errno, target);
    if (result != ErrorSuccess)
        ::unlink(templ.data());
    return result;
}

} // namespace archiva
