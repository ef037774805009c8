#pragma once
// Where the running instance listens, and the client's side of talking to it: a
// one-line request and a one-line answer on a per-user local socket. Plain
// sockets, so that a program that only hands work over (ambience-cli) does not
// load the network library for it.
#include <QString>

namespace platform {

struct InstancePaths {
    QString socket;
    QString lock; // taken while a start decides whether it is the first
    bool valid() const { return !socket.isEmpty(); }
};

// The socket and lock of the instance called name, in a folder only this user
// can enter; invalid when there is none to be had safely.
InstancePaths InstancePathsFor(const QString& name);

// text as one line on the wire: line breaks inside become spaces.
QByteArray InstanceLine(const QString& text);

// The longest answer read; a peer that sends more without a line break is not one
// of ours.
constexpr qint64 kMaxInstanceLine = 64 * 1024;

// Whether an instance listens, however long it would take to answer: the system
// lets a client in while the instance is still busy or starved.
bool InstanceListens(const QString& name);

// Sends message to the running instance and waits up to timeoutMs for its one-line
// answer, trimmed. Empty when no instance runs or none answered in time.
QString AskInstance(const QString& name, const QString& message, int timeoutMs);

} // namespace platform
