#pragma once
// An operating-system file opened for reading, with the error code of the last
// failed operation on it (0 = none). Destroying the object closes the file.
#include <cstddef>
#include <cstdint>
#include <string>

namespace archiva {

class file {
public:
    file() = default;
    // Opens an existing file read-only; a failure is kept in `Error`.
    explicit file(const std::string& path);
    ~file();
    file(const file&) = delete;
    file& operator=(const file&) = delete;

    bool IsOpen() const { return handle_ >= 0; }
    void Close();

    // Reads up to `count` bytes at the current position; returns how many arrived
    // (fewer only at the end of the file or on an error, which sets `Error`).
    std::size_t Read(void* buffer, std::size_t count);
    // Moves to an absolute position; false (and `Error`) on failure.
    bool Seek(std::uint64_t position);
    // The file's size in bytes (0 and `Error` on failure).
    std::uint64_t Size();

    int Error = 0;          // last error code, see errors.h
    std::string Path;

protected:
    int handle_ = -1;
};

} // namespace archiva
