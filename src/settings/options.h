#pragma once
// The user's settings and the two counters of desktop changes, kept in the
// current user's store under Product->OptionsKey. Field names are the value names.
#include "settings/settings.h"

#include <QString>
#include <QStringList>


namespace platform { class Registry; }

// The settings bound to the store: loaded at construction, saved on request.
class TOptions : public TSettings {
public:
    // Defaults, then Load, then Save. Problems found while loading (a value of the
    // wrong type) do not stop construction: they are kept in LoadProblems().
    explicit TOptions(platform::Registry& store);

    // Replaces each field by its stored value where one exists. A value of the
    // wrong type or size leaves its field unchanged and adds the registry error's
    // text to LoadProblems().
    void Load();
    // Writes all eleven values and brings the autostart entry in line with
    // AutoChangeEnabled. Raises platform::RegistryError when a value cannot be written.
    void Save();

    const QStringList& LoadProblems() const { return problems_; }

private:
    platform::Registry& store_;
    QStringList problems_;
};

// The one instance, set by the process entry for the lifetime of the process.
extern TOptions* Options;
