// The running instance listens on a per-user local socket. A start first takes
// an exclusive lock on a file beside the socket, then probes the socket: someone
// answers -> another instance runs; nobody does -> the socket is stale or absent,
// so it is replaced and we listen. The lock makes probe and listen one step, so
// two simultaneous starts cannot both decide they are first, and a socket left by
// a crashed process never blocks (its lock died with it).
#include "platform/single_instance.h"

#include "platform/instance_socket.h"

#include <QByteArray>
#include <QElapsedTimer>
#include <QFile>
#include <QLocalServer>
#include <QLocalSocket>
#include <QPointer>
#include <QThread>

#include <algorithm>
#include <map>
#include <optional>

#include <cerrno>
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

namespace platform {
namespace {

// Sends message and waits for one line back. Empty when there is no answer.
QString Exchange(QLocalSocket& socket, const QString& message, int timeoutMs)
{
    QElapsedTimer clock;
    clock.start();
    socket.write(InstanceLine(message));
    if (!socket.waitForBytesWritten(timeoutMs))
        return {};
    while (!socket.canReadLine()) {
        const int left = timeoutMs - int(clock.elapsed());
        if (left <= 0 || socket.bytesAvailable() > kMaxInstanceLine || !socket.waitForReadyRead(left))
            return {};
    }
    return QString::fromUtf8(socket.readLine(kMaxInstanceLine)).trimmed();
}

class FileLock {
public:
    explicit FileLock(const QString& path)
    {
        const QByteArray native = QFile::encodeName(path);
        fd_ = ::open(native.constData(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
        if (fd_ >= 0)
            while (::flock(fd_, LOCK_EX) != 0 && errno == EINTR) {
            }
    }
    ~FileLock()
    {
        if (fd_ >= 0)
            ::close(fd_); // releases the lock
    }
    FileLock(const FileLock&) = delete;
    FileLock& operator=(const FileLock&) = delete;

private:
    int fd_ = -1;
};

} // namespace

struct SingleInstance::Impl {
    QString name;
    InstancePaths paths;
    QLocalServer* server = nullptr;
    std::map<quintptr, QPointer<QLocalSocket>> connections;
    quintptr nextConnection = 1;
};

SingleInstance::SingleInstance(const QString& name, QObject* parent)
    : QObject(parent), impl_(std::make_unique<Impl>())
{
    impl_->name = name;
    impl_->paths = InstancePathsFor(name);
}

SingleInstance::~SingleInstance()
{
    if (impl_->server)
        impl_->server->close(); // also removes the socket file
}

bool SingleInstance::Claim(const QString& message)
{
    if (impl_->server)
        return true;
    if (!impl_->paths.valid()) {
        qWarning("No private folder for the instance socket: starting without the single-instance check.");
        return true;
    }

    {
        std::optional<FileLock> lock;
        lock.emplace(impl_->paths.lock);
        QLocalSocket probe;
        probe.connectToServer(impl_->paths.socket);
        if (probe.waitForConnected(3000)) {
            // Another instance runs. The lock is no longer needed while it
            // answers; its answer is waited for only briefly.
            lock.reset();
            Exchange(probe, message, 2000);
            return false;
        }
        const auto error = probe.error();
        if (error != QLocalSocket::ServerNotFoundError && error != QLocalSocket::ConnectionRefusedError) {
            // Something holds the socket but did not let us in (a hung instance,
            // a full backlog): it is not ours to replace.
            qWarning("Another instance seems to run but does not answer: %s", qPrintable(probe.errorString()));
            return false;
        }

        // Tests widen the gap between probe and listen to prove that the lock,
        // not luck, keeps simultaneous starts apart.
        if (const int delay = qEnvironmentVariableIntValue("AMBIENCE_TEST_CLAIM_DELAY_MS"); delay > 0)
            QThread::msleep(ulong(std::min(delay, 5000)));

        auto* server = new QLocalServer(this);
        server->setSocketOptions(QLocalServer::UserAccessOption);
        QLocalServer::removeServer(impl_->paths.socket); // stale socket of a crashed process
        if (!server->listen(impl_->paths.socket)) {
            qWarning("Cannot listen on %s: %s", qPrintable(impl_->paths.socket), qPrintable(server->errorString()));
            delete server;
            return true;
        }
        impl_->server = server;
    }

    connect(impl_->server, &QLocalServer::newConnection, this, [this] {
        while (QLocalSocket* socket = impl_->server->nextPendingConnection()) {
            const quintptr id = impl_->nextConnection++;
            impl_->connections[id] = socket;
            connect(socket, &QLocalSocket::disconnected, this, [this, id, socket] {
                impl_->connections.erase(id);
                socket->deleteLater();
            });
            connect(socket, &QLocalSocket::readyRead, this, [this, id, socket] {
                while (socket->canReadLine()) {
                    const QString line = QString::fromUtf8(socket->readLine(kMaxInstanceLine)).trimmed();
                    emit MessageReceived(line, id);
                    if (!impl_->connections.count(id))
                        return;
                }
                if (socket->bytesAvailable() > kMaxInstanceLine)
                    socket->abort(); // no line in sight: not one of ours
            });
        }
    });
    return true;
}

void SingleInstance::Reply(quintptr connection, const QString& answer)
{
    const auto it = impl_->connections.find(connection);
    if (it == impl_->connections.end() || !it->second)
        return;
    QLocalSocket* socket = it->second;
    if (socket->state() != QLocalSocket::ConnectedState)
        return;
    socket->write(InstanceLine(answer));
    socket->flush();
}

bool SingleInstance::Listens(const QString& name)
{
    return InstanceListens(name);
}

QString SingleInstance::Ask(const QString& name, const QString& message, int timeoutMs)
{
    return AskInstance(name, message, timeoutMs);
}

} // namespace platform
