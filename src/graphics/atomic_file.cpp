#include "graphics/atomic_file.h"

#include <QByteArray>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace graphics {
namespace {

// Closes a descriptor and removes the temporary file unless released.
class TempFile {
public:
    TempFile(int fd, QByteArray name) : fd_(fd), name_(std::move(name)) {}
    ~TempFile()
    {
        if (fd_ >= 0)
            ::close(fd_);
        if (!released_)
            ::unlink(name_.constData());
    }
    TempFile(const TempFile&) = delete;
    TempFile& operator=(const TempFile&) = delete;

    int fd() const { return fd_; }
    const QByteArray& name() const { return name_; }
    // Closes the descriptor; returns 0 or the error number.
    int Close()
    {
        const int rc = ::close(fd_);
        fd_ = -1;
        return rc == 0 ? 0 : errno;
    }
    void Release() { released_ = true; }

private:
    int fd_;
    QByteArray name_;
    bool released_ = false;
};

// Creates a new file "DIR/.NAME.xxxxxx" with a random suffix. Created with mode
// 0666, so the kernel applies the umask as for any new file.
int CreateTemp(const QString& folder, const QString& name, QByteArray& tempName)
{
    static const char digits[] = "abcdefghijklmnopqrstuvwxyz0123456789";
    for (int attempt = 0; attempt < 100; ++attempt) {
        QString suffix;
        for (int i = 0; i < 6; ++i)
            suffix += QChar(digits[QRandomGenerator::system()->bounded(36)]);
        tempName = QFile::encodeName(folder + QStringLiteral("/.") + name + QLatin1Char('.') + suffix);
        const int fd = ::open(tempName.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd >= 0 || errno != EEXIST)
            return fd;
    }
    return -1;
}

WriteResult Failure(const QString& path, int error)
{
    return WriteFailure(path, error, std::strerror(error));
}

} // namespace

WriteResult WriteFailure(const QString& path, int error, const std::string& reason)
{
    WriteResult r;
    r.error = error != 0 ? error : EIO;
    r.message = "Cannot write " + path.toStdString() + ": " + reason;
    return r;
}

WriteResult WriteFileAtomically(const QString& path, std::span<const std::uint8_t> data)
{
    if (path.isEmpty())
        return WriteFailure(path, ENOENT, "No file name given");

    // Replace what a symbolic link points at, not the link.
    QString target = path;
    const QFileInfo info(path);
    if (info.isSymLink()) {
        const QString resolved = info.canonicalFilePath();
        if (!resolved.isEmpty())
            target = resolved;
    }
    const QByteArray targetName = QFile::encodeName(target);

    bool keepMode = false;
    struct stat old {};
    if (::stat(targetName.constData(), &old) == 0) {
        if (S_ISDIR(old.st_mode))
            return Failure(path, EISDIR);
        keepMode = true;
    }

    // The temporary file lies in the target's folder, so the rename never crosses
    // file systems; the leading dot keeps it out of file lists meanwhile.
    const QFileInfo targetInfo(target);
    QByteArray tempName;
    const int fd = CreateTemp(targetInfo.absolutePath(), targetInfo.fileName(), tempName);
    if (fd < 0)
        return Failure(path, errno);
    TempFile temp(fd, tempName);

    std::size_t done = 0;
    while (done < data.size()) {
        const ssize_t n = ::write(temp.fd(), data.data() + done, data.size() - done);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return Failure(path, errno);
        }
        if (n == 0)
            return Failure(path, EIO);
        done += static_cast<std::size_t>(n);
    }
    if (keepMode && ::fchmod(temp.fd(), old.st_mode & 07777) != 0)
        return Failure(path, errno);
    if (::fsync(temp.fd()) != 0)
        return Failure(path, errno);
    if (const int e = temp.Close(); e != 0)
        return Failure(path, e);
    if (::rename(temp.name().constData(), targetName.constData()) != 0)
        return Failure(path, errno);
    temp.Release();

    // Make the rename itself durable; a failure here loses nothing already written.
    const int dir = ::open(QFile::encodeName(targetInfo.absolutePath()).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dir >= 0) {
        ::fsync(dir);
        ::close(dir);
    }
    return {};
}

} // namespace graphics
