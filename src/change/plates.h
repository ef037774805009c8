#pragma once
// Several expositions composed at the same time: one per monitor, and a darker
// twin of each where the desktop keeps a picture for its dark style.
#include "compose/captions.h"
#include "compose/expo.h"

#include <QImage>
#include <QRect>
#include <QSize>

#include <cstdint>
#include <optional>
#include <vector>

namespace graphics { class Picture; }
namespace platform { struct Monitor; }

namespace change {

// One exposition to compose.
struct Plate {
    const graphics::Picture* art = nullptr; // borrowed; null: no picture
    std::optional<compose::PictureCaption> caption;
    QSize size;
    QRect workArea; // relative to the plate; empty: all of it
    compose::ExpoSettings settings;
    std::uint32_t seed = 0; // its random numbers, so a twin can draw the same ones

    QImage image;             // the composed exposition
    core::Result<void> composed = core::MakeError(1, "not composed");
};

// Composes every plate. The first is composed on the calling thread and reports
// to progress; the others on threads of their own meanwhile. With one plate its
// random numbers come from the process-wide generator as for any composition;
// with several each plate draws from a stream of its own seeded with its seed.
void ComposePlates(std::vector<Plate>& plates, const compose::Progress& progress);

// The pictures, each at its monitor's place in the monitors' bounding box
// (black where no monitor is). pictures[i] belongs to monitors[i].
QImage SpanPictures(const std::vector<platform::Monitor>& monitors, const std::vector<const QImage*>& pictures);

} // namespace change
