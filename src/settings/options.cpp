#include "settings/options.h"

#include "core/product.h"
#include "platform/autostart.h"
#include "platform/registry.h"
#include "settings/option_fields.h"

#include <QtEndian>

#include <cassert>
#include <cmath>
#include <limits>


namespace {

platform::RegistryValue Stored(const OptionField& field, const TSettings& settings)
{
    if (field.kind == OptionField::DateTime) {
        QByteArray bytes(8, '\0');
        qToLittleEndian<double>(settings.*field.dateTime, bytes.data());
        return platform::RegistryValue::Binary(bytes);
    }
    return platform::RegistryValue::Dword(static_cast<std::uint32_t>(field.Get(settings)));
}

bool SameValue(const OptionField& field, const TSettings& a, const TSettings& b)
{
    if (field.kind == OptionField::DateTime)
        return a.*field.dateTime == b.*field.dateTime
               || (std::isnan(a.*field.dateTime) && std::isnan(b.*field.dateTime));
    return field.Get(a) == field.Get(b);
}

} // namespace

TOptions::TOptions(platform::Registry& store, AtStart atStart) : store_(store)
{
    Load();
    if (atStart == AtStart::LoadOnly)
        return;
    try {
        Save();
    } catch (const platform::RegistryError&) {
        // Kept in SaveProblem(): the program works on with the settings in memory.
    }
}

void TOptions::Load()
{
    problems_.clear();
    const auto& fields = OptionFields();
    present_.assign(fields.size(), false);
    LoadDesktopFields();
    const QString key = names_.OptionsKey;
    if (!store_.KeyExists(key)) {
        stored_ = *this;
        return;
    }
    for (size_t i = 0; i < fields.size(); ++i) {
        const OptionField& field = fields[i];
        const QString name = QLatin1String(field.name);
        // A value of the wrong type is reported and skipped: the field keeps its
        // value, and the next Save writes it back with the right type.
        try {
            if (field.kind == OptionField::DateTime) {
                if (const auto value = store_.ReadFloat(key, name)) {
                    this->*field.dateTime = *value;
                    present_[i] = true;
                }
            } else if (const auto value = store_.ReadInteger(key, name)) {
                field.Set(*this, *value);
                // A value kept in another form (a boolean stored as 5) is written
                // back in the canonical one.
                present_[i] = field.Get(*this) == *value;
            }
        } catch (const platform::RegistryError& error) {
            problems_.append(QString::fromStdString(error.what()));
        }
    }
    stored_ = *this;
}

void TOptions::LoadDesktopFields()
{
    for (const OptionField& field : DesktopFields()) {
        try {
            if (const auto value = store_.ReadInteger(names_.RegistryRoot, QLatin1String(field.name)))
                field.Set(*this, *value);
        } catch (const platform::RegistryError& error) {
            problems_.append(QString::fromStdString(error.what()));
        }
    }
}

void TOptions::WriteDesktopFields()
{
    for (const OptionField& field : DesktopFields()) {
        if (field.Get(*this) == field.Get(stored_))
            continue;
        const QString name = QLatin1String(field.name);
        if (field.integer == &TSettings::MonitorMode && MonitorMode == settings::MonitorMode::ByMonitorCount)
            store_.DeleteValue(names_.RegistryRoot, name);
        else
            store_.WriteInteger(names_.RegistryRoot, name, field.Get(*this));
        field.Set(stored_, field.Get(*this));
    }
}

void TOptions::Save()
{
    Write(false);
}

void TOptions::CountDesktopChange(double now)
{
    LastDesktopChangeTime = now;
    try {
        Write(true);
    } catch (const platform::RegistryError&) {
        // Counted in memory all the same: the program works on with these settings.
        if (DesktopsChanged < std::numeric_limits<std::int32_t>::max())
            ++DesktopsChanged;
        throw;
    }
}

void TOptions::Write(bool countChange)
{
    const auto& fields = OptionFields();
    std::vector<bool> changed(fields.size());
    bool anything = countChange;
    for (size_t i = 0; i < fields.size(); ++i) {
        changed[i] = !SameValue(fields[i], *this, stored_) || i >= present_.size() || !present_[i];
        anything = anything || changed[i];
    }
    try {
        if (anything) {
            std::int32_t counted = DesktopsChanged;
            store_.UpdateValues(names_.OptionsKey, QLatin1String(fields.front().name),
                                [&](const platform::Registry::StoredValue& stored) {
                platform::Registry::ValueList values;
                for (size_t i = 0; i < fields.size(); ++i) {
                    const OptionField& field = fields[i];
                    const QString name = QLatin1String(field.name);
                    const platform::RegistryValue* now = stored(name);
                    if (countChange && field.integer == &TSettings::DesktopsChanged) {
                        // Another process may have counted meanwhile: add to what the store holds.
                        std::int32_t base = DesktopsChanged;
                        if (now && now->type == platform::ValueType::Dword)
                            base = static_cast<std::int32_t>(now->dword);
                        counted = base == std::numeric_limits<std::int32_t>::max() ? base : base + 1;
                        values.emplace_back(name, platform::RegistryValue::Dword(static_cast<std::uint32_t>(counted)));
                    } else if (changed[i] || !now || (countChange && field.dateTime == &TSettings::LastDesktopChangeTime)) {
                        values.emplace_back(name, Stored(field, *this));
                    }
                }
                return values;
            });
            DesktopsChanged = counted;
            const TSettings desktopStored = stored_;
            stored_ = *this;
            for (const OptionField& field : DesktopFields())
                field.Set(stored_, field.Get(desktopStored));
            present_.assign(fields.size(), true);
        }
        WriteDesktopFields();
        QString why;
        if (!platform::SetAutostart(AutoChangeEnabled, platform::DesktopProgramPath(), names_.ProductName, &why))
            throw platform::RegistryError(
                QStringLiteral("Failed to set data for '%1'").arg(names_.ProductName).toStdString(), why);
    } catch (const platform::RegistryError& error) {
        saveProblem_ = error.Cause().isEmpty() ? QString::fromStdString(error.what()) : error.Cause();
        throw;
    }
    saveProblem_.clear();
}
