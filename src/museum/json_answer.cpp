#include "museum/json_answer.h"

#include <QJsonDocument>
#include <QJsonParseError>

#include <cmath>

namespace museum {

std::optional<QJsonObject> AnswerObject(const QByteArray& body, QString& error)
{
    QJsonParseError parse{};
    const QJsonDocument document = QJsonDocument::fromJson(body, &parse);
    if (parse.error != QJsonParseError::NoError) {
        const QByteArray start = body.left(40).simplified();
        error = QStringLiteral("the answer is not JSON (%1 at byte %2%3)")
                    .arg(parse.errorString())
                    .arg(parse.offset)
                    .arg(start.isEmpty() ? QString() : QStringLiteral(", it begins \"%1\"").arg(QString::fromUtf8(start)));
        return std::nullopt;
    }
    if (!document.isObject()) {
        error = QStringLiteral("the answer is JSON but not an object");
        return std::nullopt;
    }
    return document.object();
}

QString TextField(const QJsonObject& object, const char* name)
{
    const QJsonValue value = object.value(QLatin1String(name));
    if (value.isString())
        return value.toString().trimmed();
    if (value.isDouble()) {
        const double d = value.toDouble();
        if (std::isfinite(d) && d == std::floor(d) && std::fabs(d) < 1e15)
            return QString::number(static_cast<qint64>(d));
        return QString::number(d);
    }
    return {};
}

std::optional<int> IntField(const QJsonObject& object, const char* name)
{
    const QJsonValue value = object.value(QLatin1String(name));
    if (value.isDouble()) {
        const double d = value.toDouble();
        if (std::isfinite(d) && std::fabs(d) < 1e6)
            return static_cast<int>(std::floor(d));
        return std::nullopt;
    }
    if (value.isString()) {
        bool ok = false;
        const int n = value.toString().trimmed().toInt(&ok);
        if (ok)
            return n;
    }
    return std::nullopt;
}

} // namespace museum
