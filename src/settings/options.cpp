#include "settings/options.h"

#include "core/product.h"
#include "platform/autostart.h"
#include "platform/registry.h"
#include "settings/option_fields.h"

#include <QtEndian>

#include <cassert>

TOptions* Options = nullptr;

TOptions::TOptions(platform::Registry& store) : store_(store)
{
    Load();
    Save();
}

void TOptions::Load()
{
    assert(Product);
    problems_.clear();
    const QString key = Product->OptionsKey;
    if (!store_.KeyExists(key))
        return;
    for (const OptionField& field : OptionFields()) {
        const QString name = QLatin1String(field.name);
        // A value of the wrong type is reported and skipped: the field keeps its
        // value, and the next Save writes it back with the right type.
        try {
            if (field.kind == OptionField::DateTime) {
                if (const auto value = store_.ReadFloat(key, name))
                    this->*field.dateTime = *value;
            } else if (const auto value = store_.ReadInteger(key, name)) {
                field.Set(*this, *value);
            }
        } catch (const platform::RegistryError& error) {
            problems_.append(QString::fromStdString(error.what()));
        }
    }
}

void TOptions::Save()
{
    assert(Product);
    std::vector<std::pair<QString, platform::RegistryValue>> values;
    for (const OptionField& field : OptionFields()) {
        const QString name = QLatin1String(field.name);
        if (field.kind == OptionField::DateTime) {
            QByteArray bytes(8, '\0');
            qToLittleEndian<double>(this->*field.dateTime, bytes.data());
            values.emplace_back(name, platform::RegistryValue::Binary(bytes));
        } else {
            values.emplace_back(name, platform::RegistryValue::Dword(static_cast<std::uint32_t>(field.Get(*this))));
        }
    }
    store_.WriteValues(Product->OptionsKey, values);

    QString why;
    if (!platform::SetAutostart(AutoChangeEnabled, platform::DesktopProgramPath(), Product->ProductName, &why)) {
        qWarning("Ambience: %s", qPrintable(why));
        throw platform::RegistryError(
            QStringLiteral("Failed to set data for '%1'").arg(Product->ProductName).toStdString());
    }
}
