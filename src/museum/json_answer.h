#pragma once
// Reading a museum's JSON answer: the document must be an object, and fields are
// read with the type they should have, so a changed or damaged answer is named
// rather than half understood.
#include <QByteArray>
#include <QJsonObject>
#include <QJsonValue>
#include <QString>

#include <optional>

namespace museum {

// The answer's top-level object; nullopt with `error` set when it is no JSON object.
std::optional<QJsonObject> AnswerObject(const QByteArray& body, QString& error);

// A text field; numbers are given as their decimal text (identifiers), null and
// missing fields as empty text.
QString TextField(const QJsonObject& object, const char* name);

// A whole-number field, also when written as text ("1889"); none for null,
// missing or non-numeric values.
std::optional<int> IntField(const QJsonObject& object, const char* name);

} // namespace museum
