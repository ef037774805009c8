#include "platform/atomic_file.h"

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

QString SystemError(const char* what, const QString& path)
{
    return QStringLiteral("%1 %2: %3").arg(QLatin1String(what), path, QString::fromLocal8Bit(std::strerror(errno)));
}

bool WriteAll(int fd, const QByteArray& bytes)
{
    const char* p = bytes.constData();
    qsizetype left = bytes.size();
    while (left > 0) {
        const ssize_t n = ::write(fd, p, static_cast<size_t>(left));
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return false;
        }
        p += n;
        left -= n;
    }
    return true;
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

} // namespace

bool WriteFileAtomically(const QString& path, const QByteArray& bytes, QString* error, unsigned newFileMode)
{
    QString ignored;
    QString& why = error ? *error : ignored;
    const QString finalPath = FinalPath(path);
    const QByteArray finalName = QFile::encodeName(finalPath);

    mode_t mode = static_cast<mode_t>(newFileMode);
    struct stat old {};
    if (::stat(finalName.constData(), &old) == 0)
        mode = old.st_mode & 07777;

    QByteArray pattern = QFile::encodeName(TemporaryPrefix(finalPath)) + "XXXXXX";
    const int fd = ::mkostemp(pattern.data(), O_CLOEXEC);
    if (fd < 0) {
        why = SystemError("cannot create a file beside", finalPath);
        return false;
    }
    const QString temporary = QFile::decodeName(pattern);
    const auto fail = [&](const char* what) {
        why = SystemError(what, finalPath);
        ::close(fd);
        ::unlink(pattern.constData());
        return false;
    };
    if (::fchmod(fd, mode) != 0)
        return fail("cannot set the permissions of");
    if (!WriteAll(fd, bytes))
        return fail("cannot write");
    if (::fsync(fd) != 0)
        return fail("cannot flush");
    if (::close(fd) != 0) {
        why = SystemError("cannot write", finalPath);
        ::unlink(pattern.constData());
        return false;
    }
    if (Hook())
        Hook()(temporary);
    if (::rename(pattern.constData(), finalName.constData()) != 0) {
        why = SystemError("cannot replace", finalPath);
        ::unlink(pattern.constData());
        return false;
    }
    // The rename itself must reach the disk too, or a power loss may bring the old
    // name back; a failure here no longer affects what readers see.
    const QByteArray folder = QFile::encodeName(QFileInfo(finalPath).absolutePath());
    const int dirFd = ::open(folder.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dirFd >= 0) {
        ::fsync(dirFd);
        ::close(dirFd);
    }
    return true;
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
