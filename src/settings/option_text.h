#pragma once
// Settings as text, for ambience-cli and anything else without the Options page:
// a listing with the meaning of each value, NAME=VALUE assignments checked against
// what the Options page offers, and the problems a user must be told about.
#include "settings/options.h"

#include <QString>
#include <QStringList>

// One line per field of the eleven: "BackgroundType = 2 (Embossed)".
QStringList DescribeOptions(const TOptions& options);
// The same for MonitorMode and LockScreenToo.
QStringList DescribeDesktopSettings(const TSettings& settings);

// Applies "NAME=VALUE" assignments (name in any letter case; a value as a number,
// an item name such as "Embossed", or for AutoChangeEnabled also true/false/on/off).
// All are checked first: on the first bad one nothing is changed, false is returned
// and *error says what is wrong and what is allowed. Counters cannot be set.
bool ApplyOptionAssignments(TSettings& options, const QStringList& assignments, QString* error);

// What went wrong while the settings were read: the load problems of options and,
// when the store's file was damaged, where its backup was put (handed out once).
QStringList TakeSettingsNotices(const TOptions& options, platform::Registry& store);
