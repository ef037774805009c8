#include "platform/instance_socket.h"

#include <QByteArray>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>

#include <algorithm>
#include <cerrno>
#include <cstring>

#include <poll.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

namespace platform {
namespace {

// A folder only this user can enter: XDG_RUNTIME_DIR when it is sound, else a
// private folder of ours in /tmp. Empty when neither can be had safely.
QString PrivateFolder(const QString& name)
{
    const uid_t uid = ::getuid();
    auto sound = [uid](const QString& path) {
        struct stat st {};
        const QByteArray native = QFile::encodeName(path);
        return ::lstat(native.constData(), &st) == 0 && S_ISDIR(st.st_mode) && st.st_uid == uid
               && (st.st_mode & 077) == 0;
    };
    const QString runtime = qEnvironmentVariable("XDG_RUNTIME_DIR");
    if (!runtime.isEmpty() && QDir::isAbsolutePath(runtime) && sound(runtime))
        return runtime;
    const QString tmp = QStringLiteral("/tmp/%1-%2").arg(name.toLower()).arg(uid);
    const QByteArray native = QFile::encodeName(tmp);
    ::mkdir(native.constData(), 0700);
    return sound(tmp) ? tmp : QString();
}

class Socket {
public:
    Socket() : fd_(::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0)) {}
    ~Socket()
    {
        if (fd_ >= 0)
            ::close(fd_);
    }
    Socket(const Socket&) = delete;
    Socket& operator=(const Socket&) = delete;
    int fd() const { return fd_; }

private:
    int fd_;
};

int Left(const QElapsedTimer& clock, int timeoutMs)
{
    return std::max(0, timeoutMs - int(clock.elapsed()));
}

// Waits until fd is ready for events or the time is up.
bool WaitFor(int fd, short events, int ms)
{
    pollfd p{fd, events, 0};
    int n;
    while ((n = ::poll(&p, 1, ms)) < 0 && errno == EINTR) {
    }
    return n > 0 && (p.revents & (events | POLLHUP | POLLERR));
}

// Connects to the socket at path. A listener whose queue is full is tried again
// until the time is up; no listener at all fails at once.
bool Connect(const Socket& socket, const QString& path, int timeoutMs)
{
    const QByteArray native = QFile::encodeName(path);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    if (socket.fd() < 0 || native.isEmpty() || std::size_t(native.size()) >= sizeof address.sun_path)
        return false;
    std::memcpy(address.sun_path, native.constData(), std::size_t(native.size()));
    QElapsedTimer clock;
    clock.start();
    for (;;) {
        if (::connect(socket.fd(), reinterpret_cast<const sockaddr*>(&address), sizeof address) == 0)
            return true;
        if (errno == EINTR)
            continue;
        if (errno == EINPROGRESS) {
            int error = 0;
            socklen_t length = sizeof error;
            return WaitFor(socket.fd(), POLLOUT, Left(clock, timeoutMs))
                   && ::getsockopt(socket.fd(), SOL_SOCKET, SO_ERROR, &error, &length) == 0 && error == 0;
        }
        if (errno != EAGAIN || Left(clock, timeoutMs) == 0)
            return false;
        ::usleep(10 * 1000);
    }
}

bool SendAll(const Socket& socket, const QByteArray& bytes, const QElapsedTimer& clock, int timeoutMs)
{
    qsizetype sent = 0;
    while (sent < bytes.size()) {
        const ssize_t n = ::send(socket.fd(), bytes.constData() + sent, std::size_t(bytes.size() - sent), MSG_NOSIGNAL);
        if (n > 0) {
            sent += n;
        } else if (n < 0 && errno == EINTR) {
            continue;
        } else if (n < 0 && errno == EAGAIN) {
            if (!WaitFor(socket.fd(), POLLOUT, Left(clock, timeoutMs)))
                return false;
        } else {
            return false;
        }
    }
    return true;
}

// Reads up to the first line break; empty when the peer closes first, sends too
// much, or the time is up.
QString ReceiveLine(const Socket& socket, const QElapsedTimer& clock, int timeoutMs)
{
    QByteArray received;
    char chunk[4096];
    for (;;) {
        if (const qsizetype end = received.indexOf('\n'); end >= 0)
            return QString::fromUtf8(received.left(end)).trimmed();
        if (received.size() > kMaxInstanceLine)
            return {};
        const ssize_t n = ::recv(socket.fd(), chunk, sizeof chunk, 0);
        if (n > 0) {
            received.append(chunk, n);
        } else if (n < 0 && errno == EINTR) {
            continue;
        } else if (n < 0 && errno == EAGAIN) {
            const int left = Left(clock, timeoutMs);
            if (left == 0 || !WaitFor(socket.fd(), POLLIN, left))
                return {};
        } else {
            return {}; // closed, or failed
        }
    }
}

} // namespace

InstancePaths InstancePathsFor(const QString& name)
{
    const QString folder = PrivateFolder(name);
    if (folder.isEmpty())
        return {};
    const QString base = QStringLiteral("%1/%2-%3").arg(folder, name).arg(::getuid());
    return {base + QStringLiteral(".socket"), base + QStringLiteral(".lock")};
}

QByteArray InstanceLine(const QString& text)
{
    QString flat = text;
    flat.replace(QLatin1Char('\n'), QLatin1Char(' ')).replace(QLatin1Char('\r'), QLatin1Char(' '));
    return flat.toUtf8() + '\n';
}

bool InstanceListens(const QString& name)
{
    const InstancePaths paths = InstancePathsFor(name);
    const Socket socket;
    return paths.valid() && Connect(socket, paths.socket, 3000);
}

QString AskInstance(const QString& name, const QString& message, int timeoutMs)
{
    const InstancePaths paths = InstancePathsFor(name);
    if (!paths.valid())
        return {};
    const Socket socket;
    QElapsedTimer clock;
    clock.start();
    if (!Connect(socket, paths.socket, std::min(timeoutMs, 3000)))
        return {};
    if (!SendAll(socket, InstanceLine(message), clock, timeoutMs))
        return {};
    return ReceiveLine(socket, clock, timeoutMs);
}

} // namespace platform
