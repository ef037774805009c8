#include "graphics/jpeg_bands.h"

#include <algorithm>
#include <cstddef>
#include <vector>

namespace graphics {
namespace {

// Below this many pixels the threads cost about what they save.
constexpr long long kLeastPixels = 1500000;
constexpr int kMaxInterval = 65535;

// Where the parts of one encoded band lie.
struct BandParts {
    std::size_t heightField = 0; // the frame header's height, two bytes
    std::size_t scanHeader = 0;  // the start-of-scan marker
    std::size_t data = 0;        // the entropy-coded data after the scan header
    std::size_t end = 0;         // the end-of-image marker, which closes the data
};

bool FindParts(std::span<const std::uint8_t> b, BandParts& parts)
{
    if (b.size() < 4 || b[0] != 0xFF || b[1] != 0xD8 || b[b.size() - 2] != 0xFF || b[b.size() - 1] != 0xD9)
        return false;
    std::size_t pos = 2;
    bool sawFrame = false;
    while (pos + 4 <= b.size()) {
        if (b[pos] != 0xFF)
            return false;
        const std::uint8_t marker = b[pos + 1];
        const std::size_t length = std::size_t(b[pos + 2]) << 8 | b[pos + 3];
        if (length < 2 || pos + 2 + length > b.size())
            return false;
        if (marker == 0xC0) { // baseline frame: precision, height, width, ...
            if (length < 7)
                return false;
            parts.heightField = pos + 5;
            sawFrame = true;
        } else if (marker == 0xDA) {
            parts.scanHeader = pos;
            parts.data = pos + 2 + length;
            parts.end = b.size() - 2;
            return sawFrame && parts.data <= parts.end;
        } else if (marker == 0xDD || (marker >= 0xC1 && marker <= 0xCF && marker != 0xC4 && marker != 0xCC)) {
            return false; // restarts of its own, or not baseline
        }
        pos += 2 + length;
    }
    return false;
}

// Appends to out at pos, which JoinedJpegRoom has made room for.
void Append(std::span<std::uint8_t> out, std::size_t& pos, std::span<const std::uint8_t> bytes)
{
    std::copy(bytes.begin(), bytes.end(), out.begin() + static_cast<std::ptrdiff_t>(pos));
    pos += bytes.size();
}

} // namespace

JpegBands PlanJpegBands(int width, int height, int workers)
{
    JpegBands plan;
    if (width <= 0 || height <= 0 || workers < 2 || static_cast<long long>(width) * height < kLeastPixels)
        return plan;
    const int blocksAcross = (width + kJpegMcuSide - 1) / kJpegMcuSide;
    const int blockRows = (height + kJpegMcuSide - 1) / kJpegMcuSide;
    const int mostRows = kMaxInterval / blocksAcross; // block rows one interval can hold
    if (mostRows < 1)
        return plan;
    const int perBand = std::min((blockRows + workers - 1) / workers, mostRows);
    const int count = (blockRows + perBand - 1) / perBand;
    if (count < 2)
        return plan;
    plan.count = count;
    plan.rows = perBand * kJpegMcuSide;
    plan.interval = perBand * blocksAcross;
    return plan;
}

std::size_t JoinedJpegRoom(std::span<const std::span<const std::uint8_t>> bands)
{
    std::size_t room = 16; // the restart interval, the markers between bands, the end
    for (const auto& band : bands)
        room += band.size() + 2;
    return room;
}

std::size_t JoinJpegBands(std::span<const std::span<const std::uint8_t>> bands, int height, int interval,
                          std::span<std::uint8_t> out)
{
    if (bands.empty() || height <= 0 || height > 65535 || interval <= 0 || interval > kMaxInterval
        || out.size() < JoinedJpegRoom(bands))
        return 0;
    std::vector<BandParts> parts(bands.size());
    for (std::size_t i = 0; i < bands.size(); ++i)
        if (!FindParts(bands[i], parts[i]))
            return 0;
    const std::span<const std::uint8_t> first = bands[0];
    std::size_t pos = 0;
    // The first band's headers, with the whole height and the restart interval.
    Append(out, pos, first.first(parts[0].scanHeader));
    out[parts[0].heightField] = static_cast<std::uint8_t>(height >> 8);
    out[parts[0].heightField + 1] = static_cast<std::uint8_t>(height);
    const std::uint8_t restart[] = {0xFF, 0xDD, 0x00, 0x04, static_cast<std::uint8_t>(interval >> 8),
                                    static_cast<std::uint8_t>(interval)};
    Append(out, pos, restart);
    Append(out, pos, first.subspan(parts[0].scanHeader, parts[0].end - parts[0].scanHeader));
    for (std::size_t i = 1; i < bands.size(); ++i) {
        // Restart markers count 0 to 7 and round again.
        const std::uint8_t marker[] = {0xFF, static_cast<std::uint8_t>(0xD0 + ((i - 1) & 7))};
        Append(out, pos, marker);
        Append(out, pos, bands[i].subspan(parts[i].data, parts[i].end - parts[i].data));
    }
    const std::uint8_t end[] = {0xFF, 0xD9};
    Append(out, pos, end);
    return pos;
}

} // namespace graphics
