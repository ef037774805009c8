#pragma once
// The user's settings and the two counters of desktop changes, kept in the
// current user's store under the product's OptionsKey. Field names are the value names.
#include "core/product.h"
#include "settings/settings.h"

#include <QString>
#include <QStringList>

#include <vector>

namespace platform { class Registry; }

// The settings bound to the store: loaded at construction, saved on request.
//
// Several processes share the store (the window, ambience-cli, a second user
// session), so a save writes, under the store's lock and after re-reading, only
// the values this process changed since it last loaded or saved them, and the
// values the store lacks; a change another process made meanwhile to any other
// value survives. Counting a desktop change is an increment in the store itself.
class TOptions : public TSettings {
public:
    enum class AtStart { LoadAndSave, LoadOnly };

    // Defaults, then Load, then (unless LoadOnly) Save. Problems found while
    // loading (a value of the wrong type) do not stop construction: they are kept in
    // LoadProblems(). Neither does a store that cannot be written: the settings
    // then live in memory, and SaveProblem() says why (naming the file).
    explicit TOptions(platform::Registry& store, AtStart atStart = AtStart::LoadAndSave);

    // Replaces each field by its stored value where one exists. A value of the
    // wrong type or size leaves its field unchanged and adds the registry error's
    // text to LoadProblems().
    void Load();
    // Writes the values changed since the last Load or Save and those the store
    // lacks, then brings the autostart entry in line with AutoChangeEnabled.
    // Raises platform::RegistryError (with its Cause()) when that fails.
    void Save();
    // DesktopsChanged + 1 as the store holds it now (saturating at 2147483647) and
    // LastDesktopChangeTime = now, in one locked update, with whatever else changed;
    // the fields follow. Raises like Save.
    void CountDesktopChange(double now);

    // Why the last save failed, naming the file and the cause; empty after a
    // successful one.
    const QString& SaveProblem() const { return saveProblem_; }
    const QStringList& LoadProblems() const { return problems_; }

private:
    void Write(bool countChange);
    // The fields of DesktopFields(), one value each under the product's key.
    void LoadDesktopFields();
    void WriteDesktopFields();

    platform::Registry& store_;
    const TProduct names_ = ProductNames();
    QStringList problems_;
    QString saveProblem_;
    // The fields as last loaded from or saved to the store; a field differing from
    // it is this process's change.
    TSettings stored_;
    // Per field of OptionFields(): the store held a value for it at the last Load.
    std::vector<bool> present_;
};


