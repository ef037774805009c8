// Loading: recognising EMF and WMF (with or without the placeable header), checking
// every record's size against the data once, and finding the natural size. Playing:
// mapping the picture's frame onto the target and handing each record to the player.
#include "graphics/metafile/metafile.h"

#include "core/byte_cursor.h"
#include "graphics/metafile/families.h"
#include "graphics/metafile/player.h"
#include "graphics/metafile/records.h"

#include <QPainter>

#include <cmath>
#include <optional>

namespace graphics {

namespace mf = metafile;

namespace {

constexpr std::uint32_t kEmfSignature = 0x464D4520; // " EMF"
constexpr std::uint32_t kPlaceableKey = 0x9AC6CDD7;
constexpr std::size_t kPlaceableSize = 22;
constexpr std::size_t kWmfHeaderSize = 18;
constexpr std::size_t kEmfMinHeader = 88;
// Natural sizes past this many pixels are damage, not pictures.
constexpr double kMaxNaturalPixels = 100000;

struct Record {
    std::uint32_t type;
    std::size_t offset;
    std::size_t size;
};

class MetafileImpl final : public Metafile {
public:
    std::vector<std::uint8_t> data;
    std::vector<Record> records;
    bool enhanced = true;
    int width = 0;
    int height = 0;
    // EMF: the frame in reference-device pixels. WMF: the box (origin and extent, an
    // extent may be negative) that maps onto the target.
    QRectF frame;
    std::uint32_t objects = 0;
    double devicePerMmX = 96 / 25.4;
    double devicePerMmY = 96 / 25.4;
    // WMF: an EMF carried whole in its comment records, played instead of its own records.
    std::shared_ptr<const Metafile> embedded;
};

// The EMF that some writers split over META_ESCAPE / MFCOMMENT records tagged "WMFC",
// put back together; empty when there is none or its pieces do not add up.
class EmbeddedEmf {
public:
    void Add(mf::ByteCursor c)
    {
        if (broken_) return;
        std::uint16_t escape = c.U16();
        c.U16(); // byte count
        std::uint32_t identifier = c.U32();
        if (!c.Ok() || escape != kMfComment || identifier != kWmfcIdentifier) return;
        std::uint32_t type = c.U32();
        c.U32(); // version
        c.U16(); // checksum
        c.U32(); // flags
        c.U32(); // record count
        std::uint32_t chunk = c.U32();
        c.U32(); // bytes remaining after this chunk
        std::uint32_t total = c.U32();
        const std::uint8_t* bytes = c.Bytes(chunk);
        if (!c.Ok() || type != 1 || total > kMaxEmbeddedBytes || (total_ && total != total_)
            || data_.size() + chunk > total) {
            broken_ = true;
            return;
        }
        total_ = total;
        data_.insert(data_.end(), bytes, bytes + chunk);
    }
    std::vector<std::uint8_t> Take()
    {
        if (broken_ || total_ == 0 || data_.size() != total_) return {};
        return std::move(data_);
    }

private:
    static constexpr std::uint16_t kMfComment = 15;
    static constexpr std::uint32_t kWmfcIdentifier = 0x43464D57; // "WMFC"
    static constexpr std::uint32_t kMaxEmbeddedBytes = 1u << 30;
    std::vector<std::uint8_t> data_;
    std::uint32_t total_ = 0;
    bool broken_ = false;
};

bool SetNaturalSize(MetafileImpl& m, double w, double h, std::string& error)
{
    w = std::abs(w);
    h = std::abs(h);
    if (!std::isfinite(w) || !std::isfinite(h) || w < 0.5 || h < 0.5) {
        error = "The metafile's header gives it no size.";
        return false;
    }
    if (w > kMaxNaturalPixels || h > kMaxNaturalPixels) {
        error = "The metafile's header gives it an impossible size.";
        return false;
    }
    m.width = std::max(1, static_cast<int>(std::lround(w)));
    m.height = std::max(1, static_cast<int>(std::lround(h)));
    return true;
}

bool LoadEmf(MetafileImpl& m, std::string& error)
{
    mf::ByteCursor c(m.data.data(), m.data.size());
    c.Skip(4);
    std::uint32_t headerSize = c.U32();
    QRectF bounds = mf::ReadRectL(c);
    QRectF frame = mf::ReadRectL(c);
    c.Seek(56);
    std::uint16_t handles = c.U16();
    c.Seek(72);
    double deviceW = c.I32(), deviceH = c.I32(), mmW = c.I32(), mmH = c.I32();
    if (!c.Ok() || headerSize < kEmfMinHeader || headerSize % 4 || headerSize > m.data.size()) {
        error = "The enhanced metafile's header is damaged.";
        return false;
    }
    if (headerSize >= 108) {
        c.Seek(100);
        double umW = c.I32(), umH = c.I32();
        if (c.Ok() && umW > 0 && umH > 0) {
            mmW = umW / 1000;
            mmH = umH / 1000;
        }
    }
    if (deviceW > 0 && deviceH > 0 && mmW > 0 && mmH > 0) {
        m.devicePerMmX = deviceW / mmW;
        m.devicePerMmY = deviceH / mmH;
    }
    m.objects = std::max<std::uint32_t>(handles, 1);

    // Frame (0.01 mm, inclusive) when it is sound, else the bounds (device pixels, inclusive).
    if (frame.width() > 0 && frame.height() > 0) {
        m.frame = QRectF(frame.left() / 100 * m.devicePerMmX, frame.top() / 100 * m.devicePerMmY,
                         frame.width() / 100 * m.devicePerMmX, frame.height() / 100 * m.devicePerMmY);
        if (!SetNaturalSize(m, frame.width() / 100 * 96 / 25.4, frame.height() / 100 * 96 / 25.4, error)) return false;
    } else if (bounds.width() >= 0 && bounds.height() >= 0) {
        m.frame = QRectF(bounds.left(), bounds.top(), bounds.width() + 1, bounds.height() + 1);
        if (!SetNaturalSize(m, m.frame.width() / m.devicePerMmX * 96 / 25.4,
                            m.frame.height() / m.devicePerMmY * 96 / 25.4, error))
            return false;
    } else {
        error = "The enhanced metafile's header gives it no size.";
        return false;
    }

    // Every record: size at least 8, a multiple of 4, inside the data. The records
    // before a damaged one are kept and played.
    std::size_t pos = 0;
    while (pos + 8 <= m.data.size()) {
        c.Seek(pos);
        std::uint32_t type = c.U32();
        std::uint32_t size = c.U32();
        if (size < 8 || size % 4 || size > m.data.size() - pos) break;
        m.records.push_back({type, pos, size});
        pos += size;
        if (type == mf::emr::kEof) break;
    }
    return true;
}

bool LoadWmf(MetafileImpl& m, std::string& error)
{
    mf::ByteCursor c(m.data.data(), m.data.size());
    std::size_t start = 0;
    bool placeable = false;
    QRectF box;
    double inch = 0;
    if (c.U32() == kPlaceableKey) {
        placeable = true;
        c.U16(); // handle
        double l = c.I16(), t = c.I16(), r = c.I16(), b = c.I16();
        inch = c.U16();
        box = QRectF(l, t, r - l, b - t);
        start = kPlaceableSize;
    }
    c.Seek(start);
    std::uint16_t fileType = c.U16();
    std::uint16_t headerWords = c.U16();
    c.U16(); // version
    c.U32(); // size in words
    std::uint16_t objects = c.U16();
    if (!c.Ok() || (fileType != 1 && fileType != 2) || headerWords != 9) {
        error = "The Windows metafile's header is damaged.";
        return false;
    }

    std::optional<QPointF> windowOrg;
    std::optional<QPointF> windowExt;
    std::uint32_t creations = 0;
    EmbeddedEmf embedded;
    std::size_t pos = start + kWmfHeaderSize;
    while (pos + 6 <= m.data.size()) {
        c.Seek(pos);
        std::uint64_t size = std::uint64_t(c.U32()) * 2;
        std::uint16_t function = c.U16();
        if (size < 6 || size > m.data.size() - pos) break;
        m.records.push_back({function, pos, static_cast<std::size_t>(size)});
        if (function == mf::meta::kEof) break;
        // Count the records that take a slot of the object table.
        switch (function) {
        case mf::meta::kCreatePenIndirect: case mf::meta::kCreateBrushIndirect: case mf::meta::kCreateFontIndirect:
        case mf::meta::kCreatePalette: case mf::meta::kCreateRegion: case mf::meta::kCreatePatternBrush:
        case mf::meta::kDibCreatePatternBrush:
            ++creations;
            break;
        case mf::meta::kSetWindowOrg:
            if (!windowOrg && size >= 10) windowOrg = mf::ReadYX(c);
            break;
        case mf::meta::kSetWindowExt:
            if (!windowExt && size >= 10) windowExt = mf::ReadYX(c);
            break;
        case mf::meta::kEscape:
            embedded.Add(c.Sub(pos + 6, static_cast<std::size_t>(size) - 6));
            break;
        default: break;
        }
        pos += size;
    }
    // The embedded EMF is the writer's own, fuller rendering (curves stay curves); it
    // is used when it loads and draws something, else the WMF records play.
    std::vector<std::uint8_t> emf = embedded.Take();
    if (!emf.empty()) {
        std::string ignored;
        auto inner = Metafile::Load(std::move(emf), ignored);
        if (inner && inner->IsEnhanced() && inner->RecordCount() > 2) m.embedded = inner;
    }
    // Writers that undercount their objects are common; a table large enough for every
    // creation costs nothing and keeps the lowest-free-slot rule for the rest.
    m.objects = std::min<std::uint32_t>(std::max<std::uint32_t>(objects, creations), mf::ObjectTable::kMaxObjects);

    if (placeable && box.width() != 0 && box.height() != 0) {
        if (inch == 0) inch = 1440;
        m.frame = box;
        m.devicePerMmX = m.devicePerMmY = inch / 25.4;
        return SetNaturalSize(m, box.width() * 96 / inch, box.height() * 96 / inch, error);
    }
    if (!windowExt || windowExt->x() == 0 || windowExt->y() == 0) {
        error = "The Windows metafile has no placeable header and no window extent, so it has no size.";
        return false;
    }
    QPointF origin = windowOrg.value_or(QPointF(0, 0));
    m.frame = QRectF(origin.x(), origin.y(), windowExt->x(), windowExt->y());
    return SetNaturalSize(m, windowExt->x(), windowExt->y(), error);
}

// The affine map taking rectangle from (extents may be negative) onto rectangle to.
QTransform RectMap(const QRectF& from, const QRectF& to)
{
    double sx = to.width() / from.width();
    double sy = to.height() / from.height();
    return QTransform(sx, 0, 0, sy, to.x() - from.x() * sx, to.y() - from.y() * sy);
}

const MetafileImpl& Impl(const Metafile& m)
{
    return static_cast<const MetafileImpl&>(m);
}

} // namespace

Metafile::~Metafile() = default;

std::shared_ptr<const Metafile> Metafile::Load(std::vector<std::uint8_t> data, std::string& error)
{
    error.clear();
    auto m = std::make_shared<MetafileImpl>();
    m->data = std::move(data);
    mf::ByteCursor c(m->data.data(), m->data.size());
    std::uint32_t first = c.U32();
    c.Seek(40);
    std::uint32_t signature = c.U32();
    if (m->data.size() < 18) {
        error = "The file is too short to be a metafile.";
        return nullptr;
    }
    bool ok;
    if (first == mf::emr::kHeader && c.Ok() && signature == kEmfSignature) {
        m->enhanced = true;
        ok = LoadEmf(*m, error);
    } else if (first == kPlaceableKey || (first & 0xffff) == 1 || (first & 0xffff) == 2) {
        m->enhanced = false;
        ok = LoadWmf(*m, error);
    } else {
        error = "The file is no enhanced metafile and no Windows metafile.";
        return nullptr;
    }
    if (!ok) return nullptr;
    return m;
}

bool Metafile::IsEnhanced() const { return Impl(*this).enhanced; }
int Metafile::Width() const { return Impl(*this).width; }
int Metafile::Height() const { return Impl(*this).height; }
std::size_t Metafile::RecordCount() const { return Impl(*this).records.size(); }

void Metafile::Play(QPainter& painter, const QRectF& target) const
{
    if (!target.isValid() || !std::isfinite(target.width()) || !std::isfinite(target.height())) return;
    // The frame is the picture: what a record draws past it (shapes reaching over the
    // edge, a clip or transform of the file's own that leaves it) is not part of the
    // picture and must not land beside the target, under the captions or the frame.
    // The records' own clips are intersected with this one (Player keeps it as the
    // outer clip).
    painter.save();
    painter.setClipRect(target, Qt::IntersectClip);
    PlayInto(painter, target);
    painter.restore();
}

void Metafile::PlayInto(QPainter& painter, const QRectF& target) const
{
    const MetafileImpl& m = Impl(*this);
    if (m.embedded) {
        m.embedded->Play(painter, target);
        return;
    }

    mf::Player::Setup setup;
    setup.enhanced = m.enhanced;
    setup.objectCount = m.objects;
    setup.base = RectMap(m.frame, target) * painter.transform();
    setup.devicePerMmX = m.devicePerMmX;
    setup.devicePerMmY = m.devicePerMmY;
    if (!m.enhanced) {
        // A WMF is played into its box as the window onto the target as the viewport,
        // until its own window records say otherwise.
        setup.initial.mapMode = mf::kMmAnisotropic;
        setup.initial.windowOrg = setup.initial.viewportOrg = m.frame.topLeft();
        setup.initial.windowExt = setup.initial.viewportExt = m.frame.size();
    }
    mf::Player player(painter, setup);
    const std::size_t fieldBytes = m.enhanced ? 8 : 6;
    for (const Record& r : m.records) {
        mf::ByteCursor c(m.data.data() + r.offset, r.size);
        c.Seek(fieldBytes);
        if (m.enhanced) mf::PlayEmfRecord(player, r.type, c);
        else mf::PlayWmfRecord(player, static_cast<std::uint16_t>(r.type), c);
        if (player.Stopped()) break;
    }
}

} // namespace graphics
