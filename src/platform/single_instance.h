#pragma once
// One running program per user: the first start owns a per-user local socket, a
// later start hands its request to it and ends.
#include <QObject>
#include <QString>

#include <memory>

class QLocalServer;

namespace platform {

class SingleInstance : public QObject {
    Q_OBJECT
public:
    // name identifies the program; the socket lives in the user's runtime folder.
    explicit SingleInstance(const QString& name, QObject* parent = nullptr);
    ~SingleInstance() override;

    // Becomes the running instance, or, when another one runs, sends it message
    // (for example "show") and returns false. Safe against two simultaneous starts
    // and against a socket left by a crashed process.
    bool Claim(const QString& message = QStringLiteral("show"));

    // A client's side, as AskInstance and InstanceListens (instance_socket.h).
    static QString Ask(const QString& name, const QString& message, int timeoutMs = 30000);
    static bool Listens(const QString& name);

signals:
    // A request from another process; answer with Reply() on the same connection
    // id. A later start waits up to two seconds for the answer to its "show".
    void MessageReceived(const QString& message, quintptr connection);

public:
    void Reply(quintptr connection, const QString& answer);

private:
    struct Impl;
    std::unique_ptr<Impl> impl_;
};

} // namespace platform
