#include "support/museum_server.h"

#include "support/temp_env.h"

#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>

namespace testsupport {

MuseumServer::MuseumServer(const QJsonArray& routes) : MuseumServer(routes, QJsonObject{})
{
}

MuseumServer::MuseumServer(const QJsonArray& routes, const QJsonObject& firewall)
{
    // A proxy of the machine must not stand between the test and its own server.
    qputenv("no_proxy", "127.0.0.1,localhost");
    qputenv("NO_PROXY", "127.0.0.1,localhost");
    const QString routesFile = dir_.filePath(QStringLiteral("routes.json"));
    QFile file(routesFile);
    if (!file.open(QIODevice::WriteOnly))
        return;
    if (firewall.isEmpty())
        file.write(QJsonDocument(routes).toJson());
    else
        file.write(QJsonDocument(QJsonObject{{"routes", routes}, {"firewall", firewall}}).toJson());
    file.close();
    // The script lies beside the test data (tests/data -> tests/support).
    process_.setProgram(QStringLiteral("python3"));
    process_.setArguments({TestDataDir() + QStringLiteral("/../support/museum_server.py"), routesFile,
                           dir_.filePath(QStringLiteral("requests.log"))});
    process_.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    process_.start();
    if (!process_.waitForStarted(10000))
        return;
    while (process_.state() == QProcess::Running && !process_.canReadLine())
        process_.waitForReadyRead(10000);
    const QByteArray line = process_.readLine().trimmed();
    if (line.startsWith("PORT "))
        port_ = line.mid(5).toInt();
}

MuseumServer::~MuseumServer()
{
    process_.kill();
    process_.waitForFinished(5000);
}

QString MuseumServer::Base() const
{
    return QStringLiteral("http://127.0.0.1:%1").arg(port_);
}

std::vector<LoggedRequest> MuseumServer::Requests() const
{
    std::vector<LoggedRequest> requests;
    QFile file(dir_.filePath(QStringLiteral("requests.log")));
    if (!file.open(QIODevice::ReadOnly))
        return requests;
    while (!file.atEnd()) {
        const QJsonObject line = QJsonDocument::fromJson(file.readLine()).object();
        requests.push_back({line.value("ms").toDouble(), line.value("path").toString(),
                            line.value("user_agent").toString(), line.value("aic_user_agent").toString()});
    }
    return requests;
}

int MuseumServer::Count(const QString& prefix) const
{
    int n = 0;
    for (const LoggedRequest& r : Requests())
        n += r.path.startsWith(prefix) ? 1 : 0;
    return n;
}

QJsonObject Route(const QString& path, const QJsonArray& answers, const QJsonObject& query)
{
    return QJsonObject{{"path", path}, {"query", query}, {"responses", answers}};
}

QJsonObject JsonAnswer(const QString& body, int status)
{
    return QJsonObject{{"status", status}, {"body", body}};
}

QJsonObject FileAnswer(const QString& path)
{
    return QJsonObject{{"status", 200}, {"file", path}};
}

QJsonObject StatusAnswer(int status, const QJsonObject& headers)
{
    return QJsonObject{{"status", status}, {"headers", headers}, {"body", QStringLiteral("{\"error\": \"busy\"}")}};
}

QString MuseumFixture(const QString& name)
{
    QFile file(TestDataDir() + QStringLiteral("/museum/") + name);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return QString::fromUtf8(file.readAll());
}

} // namespace testsupport
