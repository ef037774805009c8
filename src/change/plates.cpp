#include "change/plates.h"

#include "core/random.h"
#include "platform/monitors.h"

#include <QPainter>

#include <exception>
#include <thread>

namespace change {
namespace {

void ComposeOne(Plate& plate, const compose::Progress& progress)
{
    try {
        TExpo expo(plate.art, plate.caption ? &*plate.caption : nullptr, progress, plate.size, plate.workArea,
                   plate.settings);
        plate.composed = expo.Compose();
        if (plate.composed.ok())
            plate.image = expo.Exposition();
    } catch (const std::exception& e) {
        // A thread must not end with an exception: the caller hears of it here.
        plate.composed = core::MakeError(
            8, QStringLiteral("The exposition could not be made: %1.").arg(QString::fromUtf8(e.what())).toStdString());
    }
}

void ComposeSeeded(Plate& plate, const compose::Progress& progress)
{
    RandomStream stream(plate.seed);
    ComposeOne(plate, progress);
}

} // namespace

void ComposePlates(std::vector<Plate>& plates, const compose::Progress& progress)
{
    if (plates.empty())
        return;
    if (plates.size() == 1) {
        ComposeOne(plates.front(), progress);
        return;
    }
    std::vector<std::thread> threads;
    for (size_t i = 1; i < plates.size(); ++i) {
        try {
            threads.emplace_back([&plates, i] { ComposeSeeded(plates[i], {}); });
        } catch (const std::system_error&) {
            ComposeSeeded(plates[i], {});
        }
    }
    ComposeSeeded(plates.front(), progress);
    for (std::thread& t : threads)
        t.join();
}

QImage SpanPictures(const std::vector<platform::Monitor>& monitors, const std::vector<const QImage*>& pictures)
{
    const QRect bounds = platform::MonitorBounds(monitors);
    QImage span(bounds.size(), QImage::Format_RGB32);
    if (span.isNull())
        return span;
    span.fill(Qt::black);
    QPainter painter(&span);
    for (size_t i = 0; i < monitors.size() && i < pictures.size(); ++i) {
        if (pictures[i])
            painter.drawImage(monitors[i].geometry.topLeft() - bounds.topLeft(), *pictures[i]);
    }
    return span;
}

} // namespace change
