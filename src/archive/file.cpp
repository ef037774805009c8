#include "archive/file.h"

#include "archive/errors.h"

#include <cerrno>
#include <cstdint>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace archiva {

file::file(const std::string& path) : Path(path)
{
    do {
        handle_ = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    } while (handle_ < 0 && errno == EINTR);
    if (handle_ < 0) {
        Error = ErrorFromErrno(errno, path);
        return;
    }
    // Opening a folder succeeds here but never would as a file elsewhere.
    struct stat st {};
    if (::fstat(handle_, &st) != 0 || S_ISDIR(st.st_mode)) {
        Error = ErrorAccessDenied;
        Close();
    }
}

file::~file() { Close(); }

void file::Close()
{
    if (handle_ >= 0)
        ::close(handle_);
    handle_ = -1;
}

std::size_t file::Read(void* buffer, std::size_t count)
{
    if (handle_ < 0) {
        Error = ErrorInvalidParameter;
        return 0;
    }
    auto* out = static_cast<unsigned char*>(buffer);
    std::size_t done = 0;
    while (done < count) {
        ssize_t n = ::read(handle_, out + done, count - done);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            Error = ErrorFromErrno(errno);
            break;
        }
        if (n == 0)
            break; // end of file
        done += std::size_t(n);
    }
    return done;
}

bool file::Seek(std::uint64_t position)
{
    if (handle_ < 0) {
        Error = ErrorInvalidParameter;
        return false;
    }
    if (position > std::uint64_t(INT64_MAX)) {
        Error = ErrorNegativeSeek;
        return false;
    }
    if (::lseek(handle_, off_t(position), SEEK_SET) < 0) {
        Error = ErrorFromErrno(errno);
        return false;
    }
    return true;
}

std::uint64_t file::Size()
{
    struct stat st {};
    if (handle_ < 0 || ::fstat(handle_, &st) != 0) {
        Error = handle_ < 0 ? ErrorInvalidParameter : ErrorFromErrno(errno);
        return 0;
    }
    return std::uint64_t(st.st_size);
}

} // namespace archiva
