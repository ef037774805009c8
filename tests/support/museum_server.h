#pragma once
// The stand-in museum server (museum_server.py) for one test: started on
// 127.0.0.1 at a free port with the routes given, stopped when the object goes.
// Every request it got can be read back with its arrival time.
#include <QJsonArray>
#include <QJsonObject>
#include <QProcess>
#include <QString>
#include <QTemporaryDir>

#include <vector>

namespace testsupport {

struct LoggedRequest {
    double ms = 0;   // arrival, on the server's clock
    QString path;    // with the query
    QString userAgent;
    QString aicUserAgent;
};

class MuseumServer {
public:
    // routes: the list museum_server.py reads (see there).
    explicit MuseumServer(const QJsonArray& routes);
    // With a rate firewall in front (see museum_server.py): {"after", "window_ms",
    // "block_ms", "page"}.
    MuseumServer(const QJsonArray& routes, const QJsonObject& firewall);
    ~MuseumServer();
    MuseumServer(const MuseumServer&) = delete;
    MuseumServer& operator=(const MuseumServer&) = delete;

    bool Running() const { return port_ > 0; }
    QString Base() const; // http://127.0.0.1:PORT
    std::vector<LoggedRequest> Requests() const;
    // Requests whose path begins with `prefix`.
    int Count(const QString& prefix) const;

private:
    QTemporaryDir dir_;
    QProcess process_;
    int port_ = 0;
};

// A route answering `path` (and the query items given) with the answers in turn.
QJsonObject Route(const QString& path, const QJsonArray& answers, const QJsonObject& query = {});
// Answers: JSON text (may hold "{base}"), a file, and a status with headers.
QJsonObject JsonAnswer(const QString& body, int status = 200);
QJsonObject FileAnswer(const QString& path);
QJsonObject StatusAnswer(int status, const QJsonObject& headers = {});

// A recorded answer from tests/data/museum/.
QString MuseumFixture(const QString& name);

} // namespace testsupport
