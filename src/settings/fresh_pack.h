#pragma once
// "Keep a museum pack fresh": the subscription and its renewal record, kept under
// the product's key beside the eleven (not among them). Off unless a person turned
// it on: then FreshMuseumPack holds "museum|theme|count|days|pack file", and the
// agent renews that pack in the user's packs folder every so many days.
#include "core/result.h"

#include <QDateTime>
#include <QString>
#include <QStringList>

#include <optional>

namespace platform { class Registry; }

namespace settings {

inline constexpr char kFreshPackValue[] = "FreshMuseumPack";
// When the pack was last renewed, and when a renewal last failed (ISO 8601, UTC).
inline constexpr char kFreshPackRenewedValue[] = "FreshMuseumPackRenewed";
inline constexpr char kFreshPackTriedValue[] = "FreshMuseumPackTried";

// Within these bounds a subscription is taken; the dialog offers the same.
inline constexpr int kFreshPackMaxCount = 200;
inline constexpr int kFreshPackMaxDays = 365;

struct FreshPack {
    QString museum;    // its code as typed on the command line: "aic"
    QString theme;     // what the museum is searched for
    int count = 40;    // works the pack keeps
    int everyDays = 7; // between renewals
    QString pack;      // the pack's file name in the user's packs folder

    bool operator==(const FreshPack&) const = default;
};

// "aic|landscape|40|7|Art Institute of Chicago - Landscapes.zip"; an error names
// what is wrong. A theme or file name holding "|" cannot be written this way.
core::Result<FreshPack> ParseFreshPack(const QString& text);
QString FreshPackText(const FreshPack& fresh);
// "|" would split the value: a theme typed with one gets a space instead.
QString FreshPackTheme(const QString& query);

struct FreshPackRecord {
    QDateTime renewed; // invalid: never
    QDateTime tried;   // the last failed attempt; invalid: none
};

// The subscription in the store under `key`: nullopt when off. A value that cannot
// be read (wrong type, damaged text) is an error, and the agent leaves the pack be.
core::Result<std::optional<FreshPack>> LoadFreshPack(const platform::Registry& store, const QString& key);
// Writes the subscription, or removes it (and its record) for nullopt.
core::Result<void> SaveFreshPack(platform::Registry& store, const QString& key, const std::optional<FreshPack>& fresh);

FreshPackRecord LoadFreshPackRecord(const platform::Registry& store, const QString& key);
core::Result<void> SaveFreshPackRecord(platform::Registry& store, const QString& key, const FreshPackRecord& record);

// "FreshMuseumPack = aic|landscape|40|7|x.zip (renewed 2026-12-01 08:00 UTC)" or "... = (off)".
QStringList DescribeFreshPack(const platform::Registry& store, const QString& key);

} // namespace settings
