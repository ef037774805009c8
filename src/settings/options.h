#pragma once
// The user's settings and the two counters of desktop changes, kept in the
// current user's store under Product->OptionsKey. Field names are the value names.
#include <QString>
#include <QStringList>

#include <cstdint>

namespace platform { class Registry; }

class TOptions {
public:
    bool AutoChangeEnabled = true;
    std::int32_t AutoChangeInterval = 36;
    std::int32_t AutoChangeIcon = 1;
    std::int32_t BackgroundType = 0;
    std::int32_t PictureOrientation = 0;
    std::int32_t PictureSize = 1;
    std::int32_t ColorInfluence = 7;
    std::int32_t ColorLightness = 1;
    std::int32_t ColorSaturation = 1;
    std::int32_t DesktopsChanged = 0;
    double LastDesktopChangeTime = 0.0;

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
