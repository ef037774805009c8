#pragma once
// Every setting declared once: its value name, how it is stored, the values the
// Options page offers and what they mean. Load, Save and ambience-cli go through it.
#include "settings/options.h"

#include <QString>
#include <QStringList>

#include <cstdint>
#include <vector>

struct OptionField {
    enum Kind { Boolean, Integer, DateTime };

    const char* name = "";
    Kind kind = Integer;
    bool TSettings::*boolean = nullptr;        // Boolean
    std::int32_t TSettings::*integer = nullptr; // Integer
    double TSettings::*dateTime = nullptr;     // DateTime
    // Values a user may set; empty for the counters, which only the program changes.
    std::vector<std::int32_t> offered;
    // Names of the values 0, 1, 2, ... where the value is an item index.
    QStringList items;
    // Names of the bits 1, 2, 4, ... where the value is a bit set.
    QStringList bits;

    bool Settable() const { return !offered.empty(); }
    // The field's value as stored in a REG_DWORD (booleans as 1 or 0); Integer and Boolean only.
    std::int32_t Get(const TSettings& options) const;
    void Set(TSettings& options, std::int32_t value) const;
};

// The eleven, in the order of the fields of TOptions, which is the order they are
// written in under the options key.
const std::vector<OptionField>& OptionFields();
// MonitorMode, LockScreenToo, FavouritesOnly and NotifyAutomaticChange, kept under
// the product's key beside the options.
// A MonitorMode never chosen is not written: the default follows the monitors.
const std::vector<OptionField>& DesktopFields();
// Either kind, letter case ignored.
const OptionField* FindOptionField(const QString& name);
