#pragma once
// One desktop change, whoever asks for it: the window's actions, the agent's
// automatic change, ambience-cli and its hand-over to the running program. It
// chooses the picture, composes the exposition, writes the wallpaper file, hands
// it to the wallpaper setter, counts the change and writes it to the record of the
// wall, in that order. An export is the same road without the setter, the counting
// and the record.
#include <QRect>
#include <QSize>
#include <QString>
#include <QStringList>

#include "core/result.h"
#include "gallery/wall_entry.h"
#include "platform/monitors.h"

#include <functional>
#include <memory>
#include <optional>
#include <vector>

class TOptions;
namespace platform { class WallpaperSetter; }

namespace change {

class PictureSelection;

// Which picture a change composes.
enum class PictureStep {
    Current, // the selected one (or, with `from`, the picture of that global index)
    Random,
    Next,
    Back,
};

struct ChangeRequest {
    PictureStep step = PictureStep::Current;
    // Global picture index to step from instead of the selection's current one.
    std::optional<int> from;
    // Show this picture (a pack file and entry, as the record of the wall names
    // them), banned or not; step and from are then not used. A picture no
    // installed pack holds fails the change.
    std::optional<gallery::PictureKey> picture;
    // "BackgroundType=Smoothed", ... applied to this composition only.
    QStringList overrides;
    // The canvas and the part of it not covered by panels (empty: the whole canvas).
    QSize size;
    QRect workArea;
    // The desktop's monitors, the primary first (platform::DesktopMonitors). With
    // several, a wallpaper change follows MonitorMode: each monitor an exposition
    // of its own size and work area, size and workArea being the primary's.
    std::vector<platform::Monitor> monitors;
    // Export: the exposition is saved there; the wallpaper and the settings stay.
    std::optional<QString> exportPath;

    // The composer's progress (-100 first, then rising values up to 100). Called
    // on the thread that composes.
    std::function<void(int)> progress;
};

// What a change did: the picture composed, the file written and what the desktop
// made of it.
struct ChangeDone {
    // What was composed: a picture of a pack (pack >= 0), the built-in picture, or none.
    bool hasPicture = false;
    int pack = -1;
    QString packName;
    QString packFile;
    int pictureInPack = -1;    // counted from 0
    int packPictureCount = 0;
    int index = -1;            // global index, from 0
    int total = 0;             // pictures over all packs
    QString description;       // "Title (year, author)", empty without a record
    QSize size;

    // Each monitor but the primary, when each got an exposition of its own.
    struct OtherMonitor {
        QString name;
        QSize size;
        int index = -1;      // global index of its picture; -1: the built-in one
        QString description; // of its picture, as above
        QString file;        // its exposition
    };
    std::vector<OtherMonitor> otherMonitors;

    QString file;              // the file written
    QString method;            // the wallpaper method that took it
    QString wallpaperShown;    // what was done, for the user ("Set on Xfce's desktop")
    // Composed and written, but no desktop took it (never so for an export). The
    // change counts all the same; the person is told where the picture is, and why.
    bool unset = false;
    QString unsetReason;
    QStringList notices;       // told although the change was made (pictures left out)
    QString settingsProblem;   // the change was made, but the store could not be saved: why
    // The change's number in the record of the wall; 0 when it was not recorded
    // (an export, no record, or the record failed: then a notice says why).
    qint64 recorded = 0;
};

// Why a change did not happen, beside the system's codes that a failed read or
// write passes up (2 a picture's pack is gone, 112 the disk is full, 1216 a pack's
// password is not known, ...). The error's text tells the person.
inline constexpr int kChangeBusy = core::kOwnCodes + 0x300 + 1;       // another change is running
inline constexpr int kBadChangeRequest = core::kOwnCodes + 0x300 + 2; // the request itself was wrong: an unknown
                                                                      // setting value, a size out of range, ...
inline constexpr int kChangeFailed = core::kOwnCodes + 0x300 + 3;     // it failed with no code of its own (the
                                                                      // running program's answer carries none)

inline core::Error ChangeBusyError()
{
    return core::MakeError(kChangeBusy, "Another composition is still running.");
}

// A change chosen on the caller's thread, ready for ProduceChange on any thread:
// it owns everything it needs (the picture, the settings, the packs of the other
// monitors), so the selection and the settings may change meanwhile.
struct PreparedChange;

// The three steps of one change, in this order; ChangeDesktop runs them in a row,
// the window runs the middle one on a worker thread. On a failure of the first two,
// soFar (when given) receives what had been told before it: the notices, and once
// the picture is chosen (size set), what it is and the monitors' share.
// 1. Chooses the picture (stepping the selection) and reads the settings.
core::Result<std::shared_ptr<PreparedChange>> PrepareChange(const ChangeRequest& request, PictureSelection& selection,
                                                            const TOptions& options,
                                                            const platform::WallpaperSetter& setter,
                                                            ChangeDone* soFar = nullptr);
// 2. Composes, writes and hands to the setter (export: saves). Touches neither the
//    selection nor the settings store.
core::Result<ChangeDone> ProduceChange(PreparedChange& prepared, platform::WallpaperSetter& setter,
                                       ChangeDone* soFar = nullptr);
// 3. After a change was produced: counts a wallpaper change in options (saved),
//    writes it to the selection's record of the wall and lets the selection
//    remember the picture shown.
void FinishChange(ChangeDone& done, const PreparedChange& prepared, PictureSelection& selection, TOptions& options);

// Runs one change. Never throws. options receives the count (wallpaper changes
// only) and is saved.
core::Result<ChangeDone> ChangeDesktop(const ChangeRequest& request, PictureSelection& selection, TOptions& options,
                                       platform::WallpaperSetter& setter, ChangeDone* soFar = nullptr);

// Adds one to DesktopsChanged in the store and sets LastDesktopChangeTime to now
// (TOptions::CountDesktopChange). Empty on success, else why the store could not
// be saved, naming the file.
QString CountDesktopChange(TOptions& options);

} // namespace change
