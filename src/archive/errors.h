#pragma once
// Result codes of the archive reader and the file operations. They are the codes of
// the Windows error table (0 = success), so callers and users see the same numbers
// everywhere; errno values are translated to them in one place (errors.cpp).
#include <string>

namespace archiva {

constexpr int ErrorSuccess = 0;
constexpr int ErrorInvalidFunction = 1;
constexpr int ErrorFileNotFound = 2;
constexpr int ErrorPathNotFound = 3;
constexpr int ErrorTooManyOpenFiles = 4;
constexpr int ErrorAccessDenied = 5;
constexpr int ErrorNotEnoughMemory = 8;
constexpr int ErrorNotSameDevice = 17;
constexpr int ErrorNotReady = 21;
constexpr int ErrorCrc = 23;                 // data error: CRC or AES authentication mismatch
constexpr int ErrorWriteFault = 29;
constexpr int ErrorReadFault = 30;
constexpr int ErrorGenFailure = 31;
constexpr int ErrorSharingViolation = 32;
constexpr int ErrorHandleEof = 38;
constexpr int ErrorNotSupported = 50;
constexpr int ErrorFileExists = 80;
constexpr int ErrorInvalidParameter = 87;
constexpr int ErrorDiskFull = 112;
constexpr int ErrorInvalidPack = 114;        // the installer's "not a valid pack"
constexpr int ErrorInvalidName = 123;
constexpr int ErrorNegativeSeek = 131;
constexpr int ErrorDirNotEmpty = 145;
constexpr int ErrorBusy = 170;
constexpr int ErrorAlreadyExists = 183;
constexpr int ErrorFilenameTooLong = 206;
constexpr int ErrorFileTooLarge = 223;
constexpr int ErrorDirectory = 267;
constexpr int ErrorIoDevice = 1117;
constexpr int ErrorWrongPassword = 1216;     // traditional check bytes or AES verifier
constexpr int ErrorCancelled = 1223;         // a callback cancelled the job
constexpr int ErrorCantResolveFilename = 1921;
constexpr int ErrorUnsupportedMethod = 1630; // entry method other than stored or deflated

// The message text of a code, with every period, carriage return, line feed, double
// quote, "<" and ">" removed. An unknown code gets a generic text naming the number.
std::string ErrorText(int code);

// The code for an errno value (ENOENT -> 2, EACCES/EPERM -> 5, EBUSY -> 32, ...).
// ENOENT becomes 3 (path not found) when `path` is given and its folder is missing.
int ErrorFromErrno(int err, const std::string& path = {});

} // namespace archiva
