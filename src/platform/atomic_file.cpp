#include "platform/atomic_file.h"

#include "core/temporary_file.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace platform {
namespace {

std::function<void(const QString&)>& Hook()
{
    static std::function<void(const QString&)> hook;
    return hook;
}

core::Error Failure(int error, const char* what, const QString& path)
{
    if (error == 0)
        error = EIO;
    return core::MakeError(error, QStringLiteral("%1 %2: %3")
                                      .arg(QLatin1String(what), path, QString::fromLocal8Bit(std::strerror(error)))
                                      .toStdString());
}

// Writes everything; 0 or the error number.
int WriteAll(int fd, QByteArrayView bytes)
{
    const char* p = bytes.data();
    qsizetype left = bytes.size();
    while (left > 0) {
        const ssize_t n = ::write(fd, p, static_cast<size_t>(left));
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return errno;
        }
        if (n == 0)
            return EIO;
        p += n;
        left -= n;
    }
    return 0;
}

// The file that is really replaced: the target of a symbolic link, else path itself.
QString FinalPath(const QString& path)
{
    const QFileInfo info(path);
    if (info.isSymLink()) {
        // canonicalFilePath follows every link but needs an existing target.
        const QString target = info.canonicalFilePath();
        if (!target.isEmpty())
            return target;
        if (!info.symLinkTarget().isEmpty())
            return info.symLinkTarget();
    }
    return path;
}

} // namespace

core::Result<void> ReplaceFileContents(const QString& path, QByteArrayView bytes, unsigned newFileMode)
{
    if (path.isEmpty())
        return core::MakeError(ENOENT, "cannot write a file without a name");
    const QString finalPath = FinalPath(path);
    const QByteArray finalName = QFile::encodeName(finalPath);

    // The permissions to set on the temporary file, if any: the replaced file's,
    // else the mode asked for. A umasked new file takes the kernel's choice.
    const bool umasked = newFileMode == UmaskedFileMode;
    bool setMode = !umasked;
    mode_t mode = static_cast<mode_t>(newFileMode & 07777);
    struct stat old {};
    if (::stat(finalName.constData(), &old) == 0) {
        if (S_ISDIR(old.st_mode))
            return Failure(EISDIR, "cannot replace", finalPath);
        // A FIFO, a device or a socket would be replaced by a plain file: as root,
        // an export onto /dev/null would take the system's /dev/null away.
        if (!S_ISREG(old.st_mode))
            return core::MakeError(
                EINVAL, QStringLiteral("%1 is not a regular file; nothing was written").arg(finalPath).toStdString());
        mode = old.st_mode & 07777;
        setMode = true;
    }

    const std::string folder = QFile::encodeName(QFileInfo(finalPath).absolutePath()).toStdString();
    // Leftovers of writers that died here go before a new one is made.
    core::RemoveStaleTemporaryFiles(folder);
    // Created for the owner alone when its permissions are set afterwards, so the
    // contents are never readable by more people than the final mode allows. The
    // file stays open, and so locked, until it is renamed.
    const core::TemporaryFile created = core::CreateTemporaryFile(folder, umasked ? 0666 : 0600);
    if (created.fd < 0)
        return Failure(created.error, "cannot create a file beside", finalPath);
    const int fd = created.fd;
    const QByteArray temporary = QByteArray::fromStdString(created.path);
    const auto fail = [&](int error, const char* what) {
        ::unlink(temporary.constData());
        ::close(fd);
        return Failure(error, what, finalPath);
    };
    if (setMode && ::fchmod(fd, mode) != 0)
        return fail(errno, "cannot set the permissions of");
    if (const int e = WriteAll(fd, bytes))
        return fail(e, "cannot write");
    if (::fsync(fd) != 0)
        return fail(errno, "cannot flush");
    if (Hook())
        Hook()(QFile::decodeName(temporary));
    if (::rename(temporary.constData(), finalName.constData()) != 0)
        return fail(errno, "cannot replace");
    // The contents reached the disk with fsync; closing now only drops the lock.
    ::close(fd);
    // The rename itself must reach the disk too, or a power loss may bring the old
    // name back; a failure here no longer affects what readers see.
    const QByteArray folderName = QFile::encodeName(QFileInfo(finalPath).absolutePath());
    const int dirFd = ::open(folderName.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dirFd >= 0) {
        ::fsync(dirFd);
        ::close(dirFd);
    }
    return core::Ok();
}

int RemoveStaleTemporaryFilesIn(const QString& folder)
{
    return core::RemoveStaleTemporaryFiles(QFile::encodeName(folder).toStdString());
}

namespace testing {
void SetBeforeReplaceHook(std::function<void(const QString&)> hook) { Hook() = std::move(hook); }
} // namespace testing

} // namespace platform
