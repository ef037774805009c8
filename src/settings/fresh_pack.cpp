#include "settings/fresh_pack.h"

#include "platform/registry.h"

namespace settings {
namespace {

core::Error Bad(const QString& text)
{
    return core::MakeError(13, text.toStdString()); // ERROR_INVALID_DATA
}

QDateTime ReadWhen(const platform::Registry& store, const QString& key, const char* name)
{
    try {
        if (const std::optional<QString> text = store.ReadString(key, QLatin1String(name))) {
            QDateTime when = QDateTime::fromString(*text, Qt::ISODate);
            return when.isValid() ? when.toUTC() : QDateTime();
        }
    } catch (const platform::RegistryError&) {
        // A value of another type counts as none: the next renewal writes it anew.
    }
    return {};
}

QString WhenText(const QDateTime& when)
{
    return when.toUTC().toString(Qt::ISODate);
}

} // namespace

core::Result<FreshPack> ParseFreshPack(const QString& text)
{
    const QStringList parts = text.split(QLatin1Char('|'));
    if (parts.size() != 5)
        return Bad(QStringLiteral("\"%1\" is not of the form museum|theme|count|days|pack file").arg(text));
    FreshPack fresh;
    fresh.museum = parts[0].trimmed().toLower();
    fresh.theme = parts[1].trimmed();
    fresh.pack = parts[4].trimmed();
    bool countOk = false, daysOk = false;
    fresh.count = parts[2].trimmed().toInt(&countOk);
    fresh.everyDays = parts[3].trimmed().toInt(&daysOk);
    if (fresh.museum.isEmpty())
        return Bad(QStringLiteral("\"%1\" names no museum").arg(text));
    if (!countOk || fresh.count < 1 || fresh.count > kFreshPackMaxCount)
        return Bad(QStringLiteral("\"%1\" is no number of works from 1 to %2").arg(parts[2]).arg(kFreshPackMaxCount));
    if (!daysOk || fresh.everyDays < 1 || fresh.everyDays > kFreshPackMaxDays)
        return Bad(QStringLiteral("\"%1\" is no number of days from 1 to %2").arg(parts[3]).arg(kFreshPackMaxDays));
    if (fresh.pack.isEmpty() || fresh.pack.contains(QLatin1Char('/')))
        return Bad(QStringLiteral("\"%1\" is no file name of a pack").arg(parts[4]));
    return fresh;
}

QString FreshPackText(const FreshPack& fresh)
{
    return QStringLiteral("%1|%2|%3|%4|%5").arg(fresh.museum, fresh.theme).arg(fresh.count).arg(fresh.everyDays).arg(fresh.pack);
}

QString FreshPackTheme(const QString& query)
{
    QString theme = query;
    theme.replace(QLatin1Char('|'), QLatin1Char(' '));
    return theme.simplified();
}

core::Result<std::optional<FreshPack>> LoadFreshPack(const platform::Registry& store, const QString& key)
{
    std::optional<QString> text;
    try {
        text = store.ReadString(key, QLatin1String(kFreshPackValue));
    } catch (const platform::RegistryError& error) {
        return Bad(QString::fromStdString(error.what()));
    }
    if (!text || text->trimmed().isEmpty())
        return std::optional<FreshPack>();
    core::Result<FreshPack> fresh = ParseFreshPack(*text);
    if (!fresh)
        return std::move(fresh).error();
    return std::optional<FreshPack>(*fresh);
}

core::Result<void> SaveFreshPack(platform::Registry& store, const QString& key, const std::optional<FreshPack>& fresh)
{
    try {
        std::optional<FreshPack> before;
        if (core::Result<std::optional<FreshPack>> stored = LoadFreshPack(store, key))
            before = *stored;
        if (!fresh) {
            for (const char* name : {kFreshPackValue, kFreshPackRenewedValue, kFreshPackTriedValue})
                store.DeleteValue(key, QLatin1String(name));
            return core::Ok();
        }
        const QString text = FreshPackText(*fresh);
        AMBIENCE_TRY(ParseFreshPack(text));
        // Another pack: the record of the one before says nothing of it.
        if (!before || before->pack != fresh->pack)
            for (const char* name : {kFreshPackRenewedValue, kFreshPackTriedValue})
                store.DeleteValue(key, QLatin1String(name));
        store.WriteString(key, QLatin1String(kFreshPackValue), text);
    } catch (const platform::RegistryError& error) {
        return core::MakeError(5, (error.Cause().isEmpty() ? QString::fromStdString(error.what()) : error.Cause()).toStdString());
    }
    return core::Ok();
}

FreshPackRecord LoadFreshPackRecord(const platform::Registry& store, const QString& key)
{
    return {ReadWhen(store, key, kFreshPackRenewedValue), ReadWhen(store, key, kFreshPackTriedValue)};
}

core::Result<void> SaveFreshPackRecord(platform::Registry& store, const QString& key, const FreshPackRecord& record)
{
    try {
        const std::pair<const char*, QDateTime> values[] = {{kFreshPackRenewedValue, record.renewed},
                                                            {kFreshPackTriedValue, record.tried}};
        for (const auto& [name, when] : values) {
            if (when.isValid())
                store.WriteString(key, QLatin1String(name), WhenText(when));
            else
                store.DeleteValue(key, QLatin1String(name));
        }
    } catch (const platform::RegistryError& error) {
        return core::MakeError(5, (error.Cause().isEmpty() ? QString::fromStdString(error.what()) : error.Cause()).toStdString());
    }
    return core::Ok();
}

QStringList DescribeFreshPack(const platform::Registry& store, const QString& key)
{
    const QString name = QLatin1String(kFreshPackValue);
    const core::Result<std::optional<FreshPack>> fresh = LoadFreshPack(store, key);
    if (!fresh)
        return {QStringLiteral("%1 = (not understood: %2)").arg(name, QString::fromStdString(fresh.error().text))};
    if (!*fresh)
        return {QStringLiteral("%1 = (off)").arg(name)};
    const FreshPackRecord record = LoadFreshPackRecord(store, key);
    QString line = QStringLiteral("%1 = %2 (%3 works, a quarter renewed every %4 day(s); ")
                       .arg(name, FreshPackText(**fresh))
                       .arg((*fresh)->count)
                       .arg((*fresh)->everyDays);
    line += record.renewed.isValid() ? QStringLiteral("last renewed %1").arg(record.renewed.toString(QStringLiteral("yyyy-MM-dd HH:mm 'UTC'")))
                                     : QStringLiteral("not renewed yet");
    if (record.tried.isValid())
        line += QStringLiteral("; last failed try %1").arg(record.tried.toString(QStringLiteral("yyyy-MM-dd HH:mm 'UTC'")));
    return {line + QLatin1Char(')')};
}

} // namespace settings
