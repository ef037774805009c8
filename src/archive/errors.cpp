#include "archive/errors.h"

#include <cerrno>
#include <sys/stat.h>

namespace archiva {

namespace {

struct CodeText {
    int code;
    const char* text;
};

// One text for every code the program can produce. ErrorText strips the characters
// a message box line must not carry, so texts may be written naturally here.
constexpr CodeText kTexts[] = {
    {ErrorSuccess, "The operation completed successfully."},
    {ErrorInvalidFunction, "Incorrect function."},
    {ErrorFileNotFound, "The system cannot find the file specified."},
    {ErrorPathNotFound, "The system cannot find the path specified."},
    {ErrorTooManyOpenFiles, "The system cannot open the file: too many files are open."},
    {ErrorAccessDenied, "Access is denied."},
    {ErrorNotEnoughMemory, "Not enough memory is available to process this command."},
    {ErrorNotSameDevice, "The system cannot move the file to a different disk drive."},
    {ErrorNotReady, "The device is not ready."},
    {ErrorCrc, "Data error (cyclic redundancy check)."},
    {ErrorWriteFault, "The system cannot write to the specified device."},
    {ErrorReadFault, "The system cannot read from the specified device."},
    {ErrorGenFailure, "A device attached to the system is not functioning."},
    {ErrorSharingViolation,
     "The process cannot access the file because it is being used by another process."},
    {ErrorHandleEof, "Reached the end of the file."},
    {ErrorNotSupported, "The request is not supported."},
    {ErrorFileExists, "The file exists."},
    {ErrorInvalidParameter, "The parameter is incorrect."},
    {ErrorDiskFull, "There is not enough space on the disk."},
    {ErrorInvalidPack, "The file is not a valid art pack: it has no description or no pictures."},
    {ErrorInvalidName, "The file name, directory name, or volume label syntax is incorrect."},
    {ErrorNegativeSeek, "An attempt was made to move the file pointer before the beginning of the file."},
    {ErrorDirNotEmpty, "The directory is not empty."},
    {ErrorBusy, "The requested resource is in use."},
    {ErrorAlreadyExists, "Cannot create a file when that file already exists."},
    {ErrorFilenameTooLong, "The file name or extension is too long."},
    {ErrorFileTooLarge, "The file size exceeds the limit allowed and cannot be saved."},
    {ErrorDirectory, "The directory name is invalid."},
    {ErrorIoDevice, "The request could not be performed because of an I/O device error."},
    {ErrorWrongPassword, "The password is not correct for this archive entry."},
    {ErrorCancelled, "The operation was canceled by the user."},
    {ErrorUnsupportedMethod, "Data of this type is not supported (the archive entry uses an unsupported compression method)."},
    {ErrorCantResolveFilename, "The name of the file cannot be resolved by the system (too many symbolic links)."},
};

bool ParentExists(const std::string& path)
{
    auto slash = path.find_last_of('/');
    if (slash == std::string::npos)
        return true; // relative to the current folder, which exists
    std::string parent = slash == 0 ? std::string("/") : path.substr(0, slash);
    struct stat st {};
    return ::stat(parent.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

} // namespace

std::string ErrorText(int code)
{
    std::string raw;
    for (const auto& entry : kTexts)
        if (entry.code == code) {
            raw = entry.text;
            break;
        }
    if (raw.empty())
        raw = "Unknown error " + std::to_string(code) + ".";
    std::string out;
    out.reserve(raw.size());
    for (char c : raw)
        if (c != '.' && c != '\r' && c != '\n' && c != '"' && c != '<' && c != '>')
            out += c;
    return out;
}

int ErrorFromErrno(int err, const std::string& path)
{
    switch (err) {
    case 0: return ErrorSuccess;
    case ENOENT: return (!path.empty() && !ParentExists(path)) ? ErrorPathNotFound : ErrorFileNotFound;
    case ENOTDIR: return ErrorPathNotFound;
    case EACCES:
    case EPERM:
    case EROFS:
    case EISDIR: return ErrorAccessDenied;
    case EBUSY:
    case ETXTBSY: return ErrorSharingViolation;
    case ENOSPC:
    case EDQUOT: return ErrorDiskFull;
    case EEXIST: return ErrorFileExists;
    case ENOTEMPTY: return ErrorDirNotEmpty;
    case ENAMETOOLONG: return ErrorFilenameTooLong;
    case EINVAL: return ErrorInvalidParameter;
    case ENOMEM: return ErrorNotEnoughMemory;
    case EMFILE:
    case ENFILE: return ErrorTooManyOpenFiles;
    case EFBIG: return ErrorFileTooLarge;
    case EXDEV: return ErrorNotSameDevice;
    case ELOOP: return ErrorCantResolveFilename;
    case EIO: return ErrorIoDevice;
    case ENXIO:
    case ENODEV: return ErrorNotReady;
    case ENOTSUP: return ErrorNotSupported;
    default: return ErrorGenFailure;
    }
}

} // namespace archiva
