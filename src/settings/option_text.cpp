#include "settings/option_text.h"

#include "core/datetime.h"
#include "platform/registry.h"
#include "settings/option_fields.h"

#include <algorithm>

namespace {

QString OfferedText(const OptionField& field)
{
    if (!field.items.isEmpty()) {
        QStringList parts;
        for (qsizetype i = 0; i < field.items.size(); ++i)
            parts << QStringLiteral("%1 (%2)").arg(field.offered[i]).arg(field.items[i]);
        if (field.kind == OptionField::Boolean)
            parts << QStringLiteral("true, false");
        return parts.join(QStringLiteral(", "));
    }
    if (!field.bits.isEmpty()) {
        QStringList parts;
        for (qsizetype i = 0; i < field.bits.size(); ++i)
            parts << QStringLiteral("%1 (%2)").arg(1 << i).arg(field.bits[i]);
        return QStringLiteral("%1 to %2, the sum of %3")
            .arg(field.offered.front())
            .arg(field.offered.back())
            .arg(parts.mid(0, parts.size() - 1).join(QStringLiteral(", ")) + QStringLiteral(" and ") + parts.back());
    }
    QStringList parts;
    for (std::int32_t v : field.offered)
        parts << QString::number(v);
    return parts.join(QStringLiteral(", "));
}

QString Meaning(const OptionField& field, std::int32_t value)
{
    const QString name = QLatin1String(field.name);
    if (!field.bits.isEmpty()) {
        QStringList kinds;
        for (qsizetype i = 0; i < field.bits.size(); ++i)
            if (value & (1 << i))
                kinds << field.bits[i];
        if (std::find(field.offered.begin(), field.offered.end(), value) == field.offered.end())
            return QStringLiteral("not one of the offered values; read as Neutral only");
        return kinds.join(QStringLiteral(", "));
    }
    if (!field.Settable())
        return {};
    if (std::find(field.offered.begin(), field.offered.end(), value) == field.offered.end()) {
        // The composer also takes 3 for lightness and saturation: a random choice each time.
        if (((name == QLatin1String("ColorLightness") && value == settings::ColorLightness::Random)
             || (name == QLatin1String("ColorSaturation") && value == settings::ColorSaturation::Random)))
            return QStringLiteral("random");
        if (name == QLatin1String("MonitorMode") && value == settings::MonitorMode::ByMonitorCount)
            return QStringLiteral("not chosen: each monitor its own picture when there are several");
        return QStringLiteral("not one of the offered values");
    }
    if (name == QLatin1String("AutoChangeInterval"))
        return value == 1 ? QStringLiteral("hour") : QStringLiteral("hours");
    if (!field.items.isEmpty() && field.kind != OptionField::Boolean)
        return field.items[value];
    return {};
}

bool ParseValue(const OptionField& field, const QString& text, std::int32_t& value)
{
    const QString t = text.trimmed();
    if (field.kind == OptionField::Boolean) {
        if (t.compare(QLatin1String("true"), Qt::CaseInsensitive) == 0
            || t.compare(QLatin1String("on"), Qt::CaseInsensitive) == 0) {
            value = 1;
            return true;
        }
        if (t.compare(QLatin1String("false"), Qt::CaseInsensitive) == 0
            || t.compare(QLatin1String("off"), Qt::CaseInsensitive) == 0) {
            value = 0;
            return true;
        }
    } else {
        for (qsizetype i = 0; i < field.items.size(); ++i) {
            if (t.compare(field.items[i], Qt::CaseInsensitive) == 0) {
                value = static_cast<std::int32_t>(i);
                return true;
            }
        }
    }
    bool ok = false;
    const int number = t.toInt(&ok, 10);
    if (!ok)
        return false;
    value = number;
    return std::find(field.offered.begin(), field.offered.end(), value) != field.offered.end();
}

} // namespace

namespace {

QStringList Describe(const TSettings& options, const std::vector<OptionField>& fields)
{
    QStringList lines;
    for (const OptionField& field : fields) {
        QString value;
        QString meaning;
        if (field.kind == OptionField::DateTime) {
            const double days = options.*field.dateTime;
            value = QString::number(days, 'g', 17);
            const QDateTime when = QDateTimeFromDateTime(days);
            meaning = days == 0.0 ? QStringLiteral("never")
                : when.isValid()  ? when.toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"))
                                  : QStringLiteral("not a valid date");
        } else if (field.kind == OptionField::Boolean) {
            value = options.*field.boolean ? QStringLiteral("true") : QStringLiteral("false");
        } else {
            const std::int32_t v = field.Get(options);
            value = QString::number(v);
            meaning = Meaning(field, v);
        }
        QString line = QStringLiteral("%1 = %2").arg(QLatin1String(field.name), value);
        if (!meaning.isEmpty())
            line += QStringLiteral(" (%1)").arg(meaning);
        lines << line;
    }
    return lines;
}

} // namespace

QStringList DescribeOptions(const TOptions& options)
{
    return Describe(options, OptionFields());
}

QStringList DescribeDesktopSettings(const TSettings& settings)
{
    return Describe(settings, DesktopFields());
}

bool ApplyOptionAssignments(TSettings& options, const QStringList& assignments, QString* error)
{
    std::vector<std::pair<const OptionField*, std::int32_t>> changes;
    for (const QString& assignment : assignments) {
        const qsizetype equals = assignment.indexOf(QLatin1Char('='));
        if (equals <= 0) {
            *error = QStringLiteral("\"%1\" is not of the form NAME=VALUE").arg(assignment);
            return false;
        }
        const QString name = assignment.left(equals).trimmed();
        const OptionField* field = FindOptionField(name);
        if (!field) {
            QStringList names;
            for (const auto* fields : {&OptionFields(), &DesktopFields()}) {
                for (const auto& f : *fields) {
                    if (f.Settable())
                        names << QLatin1String(f.name);
                }
            }
            *error = QStringLiteral("there is no setting \"%1\"; the settings are %2")
                         .arg(name, names.join(QStringLiteral(", ")));
            return false;
        }
        if (!field->Settable()) {
            *error = QStringLiteral("%1 is a counter kept by the program and cannot be set")
                         .arg(QLatin1String(field->name));
            return false;
        }
        std::int32_t value = 0;
        if (!ParseValue(*field, assignment.mid(equals + 1), value)) {
            *error = QStringLiteral("\"%1\" is not a value for %2; allowed: %3")
                         .arg(assignment.mid(equals + 1), QLatin1String(field->name), OfferedText(*field));
            return false;
        }
        changes.emplace_back(field, value);
    }
    for (const auto& [field, value] : changes)
        field->Set(options, value);
    return true;
}

QStringList TakeSettingsNotices(const TOptions& options, platform::Registry& store)
{
    QStringList notices;
    for (const QString& problem : options.LoadProblems())
        notices << problem + QStringLiteral(" (the default is used and will be written back)");
    const QString backup = store.TakeDamageNotice();
    if (!backup.isEmpty())
        notices << QStringLiteral("the settings file %1 was damaged; the values that could be read are used, "
                                  "and the damaged file was kept as %2")
                       .arg(store.FilePath(), backup);
    return notices;
}
