#pragma once
// An Enhanced Metafile or Windows Metafile (with or without the placeable header),
// parsed and checked once, played onto a QPainter any number of times.
#include <QRectF>

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

class QPainter;

namespace graphics {

class Metafile {
public:
    // Parses data; returns null and sets error (a sentence naming what is wrong)
    // when the data is no metafile or is damaged beyond playing.
    static std::shared_ptr<const Metafile> Load(std::vector<std::uint8_t> data, std::string& error);

    bool IsEnhanced() const;
    // Natural size in pixels at 96 dots per inch: an EMF's frame (or bounds), a WMF's
    // placeable header (or its window extent).
    int Width() const;
    int Height() const;
    // Records kept after checking (up to the end record, or up to the first damaged one).
    std::size_t RecordCount() const;

    // Plays the records scaled into target (the picture's frame maps onto it), painting
    // only what they draw, antialiased, and nothing outside target. The painter's
    // state is left as it was.
    void Play(QPainter& painter, const QRectF& target) const;

    virtual ~Metafile();

protected:
    Metafile() = default;

private:
    void PlayInto(QPainter& painter, const QRectF& target) const;
};

} // namespace graphics
