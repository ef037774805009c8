#include "platform/atomic_file.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>

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

AtomicWriteResult Failure(int error, const char* what, const QString& path)
{
    if (error == 0)
        error = EIO;
    return {error, QStringLiteral("%1 %2: %3").arg(QLatin1String(what), path, QString::fromLocal8Bit(std::strerror(error)))};
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

QString TemporaryPrefix(const QString& finalPath) { return finalPath + QStringLiteral(".tmp-"); }

// Creates a file that did not exist before, named as RemoveStaleTemporaryFiles
// expects: the prefix and six letters or digits. The kernel applies the umask to
// mode, as for any new file. Returns the descriptor, or -1 with errno set.
int CreateTemporary(const QString& finalPath, mode_t mode, QByteArray& name)
{
    static constexpr char Characters[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";
    const QByteArray prefix = QFile::encodeName(TemporaryPrefix(finalPath));
    for (int attempt = 0; attempt < 100; ++attempt) {
        name = prefix;
        for (int i = 0; i < 6; ++i)
            name += Characters[QRandomGenerator::global()->bounded(static_cast<int>(sizeof Characters) - 1)];
        const int fd = ::open(name.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, mode);
        if (fd >= 0 || errno != EEXIST)
            return fd;
    }
    errno = EEXIST;
    return -1;
}

} // namespace

AtomicWriteResult ReplaceFileContents(const QString& path, QByteArrayView bytes, unsigned newFileMode)
{
    if (path.isEmpty())
        return {ENOENT, QStringLiteral("cannot write a file without a name")};
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
        mode = old.st_mode & 07777;
        setMode = true;
    }

    // Created for the owner alone when its permissions are set afterwards, so the
    // contents are never readable by more people than the final mode allows.
    QByteArray temporary;
    const int fd = CreateTemporary(finalPath, umasked ? 0666 : 0600, temporary);
    if (fd < 0)
        return Failure(errno, "cannot create a file beside", finalPath);
    const auto fail = [&](int error, const char* what) {
        ::close(fd);
        ::unlink(temporary.constData());
        return Failure(error, what, finalPath);
    };
    if (setMode && ::fchmod(fd, mode) != 0)
        return fail(errno, "cannot set the permissions of");
    if (const int e = WriteAll(fd, bytes))
        return fail(e, "cannot write");
    if (::fsync(fd) != 0)
        return fail(errno, "cannot flush");
    if (::close(fd) != 0) {
        const int e = errno;
        ::unlink(temporary.constData());
        return Failure(e, "cannot write", finalPath);
    }
    if (Hook())
        Hook()(QFile::decodeName(temporary));
    if (::rename(temporary.constData(), finalName.constData()) != 0) {
        const int e = errno;
        ::unlink(temporary.constData());
        return Failure(e, "cannot replace", finalPath);
    }
    // The rename itself must reach the disk too, or a power loss may bring the old
    // name back; a failure here no longer affects what readers see.
    const QByteArray folder = QFile::encodeName(QFileInfo(finalPath).absolutePath());
    const int dirFd = ::open(folder.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dirFd >= 0) {
        ::fsync(dirFd);
        ::close(dirFd);
    }
    return {};
}

bool WriteFileAtomically(const QString& path, const QByteArray& bytes, QString* error, unsigned newFileMode)
{
    AtomicWriteResult result = ReplaceFileContents(path, bytes, newFileMode);
    if (!result.ok() && error)
        *error = std::move(result.message);
    return result.ok();
}

void RemoveStaleTemporaryFiles(const QString& path)
{
    const QFileInfo info(FinalPath(path));
    const QString prefix = info.fileName() + QStringLiteral(".tmp-");
    QDir folder = info.absoluteDir();
    const QStringList names = folder.entryList({prefix + QLatin1Char('*')}, QDir::Files | QDir::Hidden | QDir::System);
    for (const QString& name : names) {
        // Exactly the names mkostemp makes: the prefix and six characters.
        if (name.size() == prefix.size() + 6)
            folder.remove(name);
    }
}

namespace testing {
void SetBeforeReplaceHook(std::function<void(const QString&)> hook) { Hook() = std::move(hook); }
} // namespace testing

} // namespace platform
