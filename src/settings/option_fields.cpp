#include "settings/option_fields.h"

namespace {

std::vector<std::int32_t> Range(std::int32_t first, std::int32_t last)
{
    std::vector<std::int32_t> values;
    for (std::int32_t v = first; v <= last; ++v)
        values.push_back(v);
    return values;
}

OptionField Make(const char* name, OptionField::Kind kind)
{
    OptionField f;
    f.name = name;
    f.kind = kind;
    return f;
}

OptionField Integer(const char* name, std::int32_t TSettings::*field, std::vector<std::int32_t> offered,
                    QStringList items = {})
{
    OptionField f = Make(name, OptionField::Integer);
    f.integer = field;
    f.offered = std::move(offered);
    f.items = std::move(items);
    return f;
}

} // namespace

std::int32_t OptionField::Get(const TSettings& options) const
{
    if (kind == Boolean)
        return options.*boolean ? 1 : 0;
    return options.*integer;
}

void OptionField::Set(TSettings& options, std::int32_t value) const
{
    if (kind == Boolean)
        options.*boolean = value != 0;
    else
        options.*integer = value;
}

const std::vector<OptionField>& OptionFields()
{
    static const std::vector<OptionField> fields = [] {
        std::vector<OptionField> f;
        OptionField enabled = Make("AutoChangeEnabled", OptionField::Boolean);
        enabled.boolean = &TSettings::AutoChangeEnabled;
        enabled.offered = {0, 1};
        enabled.items = {QStringLiteral("off"), QStringLiteral("on")};
        f.push_back(enabled);
        // Hours, not an index: the choices of the interval list.
        f.push_back(Integer("AutoChangeInterval", &TSettings::AutoChangeInterval,
                            {1, 2, 3, 4, 5, 6, 9, 12, 18, 24, 36, 48, 72, 96}));
        f.push_back(Integer("AutoChangeIcon", &TSettings::AutoChangeIcon, Range(0, 2),
                            {"no icon", "a small icon", "a small clock"}));
        f.push_back(Integer("BackgroundType", &TSettings::BackgroundType, Range(0, 4),
                            {"Original", "Shaded", "Embossed", "Smoothed", "Solid"}));
        f.push_back(Integer("PictureOrientation", &TSettings::PictureOrientation, Range(0, 2),
                            {"Centered", "Bottom-Right", "Collage"}));
        f.push_back(Integer("PictureSize", &TSettings::PictureSize, Range(0, 3),
                            {"Smaller", "Optimal", "Larger", "Maximum"}));
        // A bit set (1 Energetic, 2 Neutral, 4 Relaxing); the page never offers 0.
        OptionField influence = Integer("ColorInfluence", &TSettings::ColorInfluence, Range(1, 7));
        influence.bits = {"Energetic", "Neutral", "Relaxing"};
        f.push_back(influence);
        f.push_back(Integer("ColorLightness", &TSettings::ColorLightness, Range(0, 2),
                            {"Darker", "Optimal", "Brighter"}));
        f.push_back(Integer("ColorSaturation", &TSettings::ColorSaturation, Range(0, 2),
                            {"Softer", "Optimal", "Deeper"}));
        f.push_back(Integer("DesktopsChanged", &TSettings::DesktopsChanged, {}));
        OptionField last = Make("LastDesktopChangeTime", OptionField::DateTime);
        last.dateTime = &TSettings::LastDesktopChangeTime;
        f.push_back(last);
        return f;
    }();
    return fields;
}

const std::vector<OptionField>& DesktopFields()
{
    static const std::vector<OptionField> fields = [] {
        std::vector<OptionField> f;
        f.push_back(Integer("MonitorMode", &TSettings::MonitorMode, Range(0, 2),
                            {"the primary monitor", "each monitor its own picture", "the same picture on every monitor"}));
        OptionField lock = Make("LockScreenToo", OptionField::Boolean);
        lock.boolean = &TSettings::LockScreenToo;
        lock.offered = {0, 1};
        lock.items = {QStringLiteral("off"), QStringLiteral("on")};
        f.push_back(lock);
        // Switches of the gallery: Random and the automatic change draw from the
        // favourites; a desktop notification follows each automatic change.
        for (auto [name, member] : {std::pair{"FavouritesOnly", &TSettings::FavouritesOnly},
                                    std::pair{"NotifyAutomaticChange", &TSettings::NotifyAutomaticChange}}) {
            OptionField onOff = Make(name, OptionField::Boolean);
            onOff.boolean = member;
            onOff.offered = {0, 1};
            onOff.items = {QStringLiteral("off"), QStringLiteral("on")};
            f.push_back(onOff);
        }
        return f;
    }();
    return fields;
}

const OptionField* FindOptionField(const QString& name)
{
    for (const auto* fields : {&OptionFields(), &DesktopFields()}) {
        for (const auto& field : *fields) {
            if (name.compare(QLatin1String(field.name), Qt::CaseInsensitive) == 0)
                return &field;
        }
    }
    return nullptr;
}
