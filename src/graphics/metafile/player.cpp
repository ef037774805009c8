#include "graphics/metafile/player.h"

#include <QPainter>

#include <cmath>

namespace graphics::metafile {

namespace {

// Coordinates past this (painter device pixels) are damage, not drawing; the raster
// engine's fixed-point arithmetic would overflow long before.
constexpr double kMaxDeviceCoordinate = 1e7;

double DeviceScale(const QTransform& t)
{
    return std::sqrt(std::abs(t.m11() * t.m22() - t.m12() * t.m21()));
}

} // namespace

Player::Player(QPainter& painter, const Setup& setup)
    : painter_(painter),
      enhanced_(setup.enhanced),
      base_(setup.base),
      devicePerMmX_(setup.devicePerMmX),
      devicePerMmY_(setup.devicePerMmY),
      dc_(setup.initial),
      objects_(setup.objectCount)
{
    painter_.save();
    if (painter_.hasClipping()) outerClip_ = painter_.transform().map(painter_.clipPath());
    painter_.setRenderHint(QPainter::Antialiasing, true);
    painter_.setRenderHint(QPainter::SmoothPixmapTransform, true);
    painter_.setRenderHint(QPainter::TextAntialiasing, true);
    painter_.setBackgroundMode(Qt::TransparentMode);
    ApplyClip();
}

Player::~Player()
{
    painter_.restore();
}

QTransform Player::PageToDevice() const
{
    double sx = 1, sy = 1;
    switch (dc_.mapMode) {
    case kMmLoMetric: sx = 0.1 * devicePerMmX_; sy = -0.1 * devicePerMmY_; break;
    case kMmHiMetric: sx = 0.01 * devicePerMmX_; sy = -0.01 * devicePerMmY_; break;
    case kMmLoEnglish: sx = 0.254 * devicePerMmX_; sy = -0.254 * devicePerMmY_; break;
    case kMmHiEnglish: sx = 0.0254 * devicePerMmX_; sy = -0.0254 * devicePerMmY_; break;
    case kMmTwips: sx = 25.4 / 1440 * devicePerMmX_; sy = -25.4 / 1440 * devicePerMmY_; break;
    case kMmIsotropic:
    case kMmAnisotropic:
        if (dc_.windowExt.width() != 0) sx = dc_.viewportExt.width() / dc_.windowExt.width();
        if (dc_.windowExt.height() != 0) sy = dc_.viewportExt.height() / dc_.windowExt.height();
        if (dc_.mapMode == kMmIsotropic) {
            // Equal units on both axes: the smaller scale wins, each axis keeps its direction.
            double m = std::min(std::abs(sx), std::abs(sy));
            sx = std::copysign(m, sx);
            sy = std::copysign(m, sy);
        }
        break;
    default: break; // MM_TEXT: one logical unit is one device pixel
    }
    return QTransform(sx, 0, 0, sy, dc_.viewportOrg.x() - dc_.windowOrg.x() * sx,
                      dc_.viewportOrg.y() - dc_.windowOrg.y() * sy);
}

QTransform Player::Total() const
{
    return dc_.world * PageToDevice() * base_;
}

bool Player::SaveDc()
{
    if (saved_.size() >= kMaxSaveDepth) return false;
    saved_.push_back(dc_);
    return true;
}

bool Player::RestoreDc(int which)
{
    std::size_t keep;
    if (which < 0) {
        std::size_t back = static_cast<std::size_t>(-static_cast<long long>(which));
        if (back > saved_.size()) return false;
        keep = saved_.size() - back;
    } else if (which > 0) {
        if (static_cast<std::size_t>(which) > saved_.size()) return false;
        keep = static_cast<std::size_t>(which) - 1;
    } else {
        return false;
    }
    dc_ = std::move(saved_[keep]);
    saved_.resize(keep);
    ApplyClip();
    return true;
}

bool Player::Visible(const QPainterPath& device) const
{
    if (device.isEmpty()) return false;
    QRectF r = device.controlPointRect();
    auto sane = [](double v) { return std::isfinite(v) && std::abs(v) < kMaxDeviceCoordinate; };
    return sane(r.left()) && sane(r.right()) && sane(r.top()) && sane(r.bottom());
}

bool Player::PrepareStroke(const QTransform& total)
{
    const Pen& pen = dc_.pen;
    if (pen.null || dc_.rop2 == kR2Nop) return false;
    QColor color = pen.color;
    if (dc_.rop2 == kR2Black) color = Qt::black;
    if (dc_.rop2 == kR2White) color = Qt::white;
    QPen qpen(color);
    qpen.setCapStyle(pen.cap);
    qpen.setJoinStyle(pen.join);
    qpen.setMiterLimit(dc_.miterLimit);
    // A pen never draws thinner than one device pixel, as on the original device.
    if (pen.cosmetic || pen.width * DeviceScale(total) < 1.0) {
        qpen.setCosmetic(true);
        qpen.setWidthF(1.0);
    } else {
        qpen.setWidthF(pen.width);
    }
    if (pen.style == Qt::CustomDashLine && !pen.dashes.isEmpty()) qpen.setDashPattern(pen.dashes);
    else qpen.setStyle(pen.style);
    painter_.setPen(qpen);
    return true;
}

bool Player::PrepareFill(const QTransform& total, const Brush& brush)
{
    if (brush.null() || dc_.rop2 == kR2Nop) return false;
    QBrush qbrush = brush.brush;
    if (dc_.rop2 == kR2Black) qbrush = QBrush(Qt::black);
    if (dc_.rop2 == kR2White) qbrush = QBrush(Qt::white);
    if (qbrush.style() == Qt::TexturePattern) {
        // Pattern brushes repeat in device pixels, whatever the transform.
        bool ok = false;
        QTransform inverse = total.inverted(&ok);
        if (ok) qbrush.setTransform(QTransform(inverse.m11(), inverse.m12(), inverse.m21(), inverse.m22(), 0, 0));
    }
    painter_.setPen(Qt::NoPen);
    painter_.setBrush(qbrush);
    return true;
}

void Player::AddToPath(const QPainterPath& logical, bool continueFigure)
{
    QPainterPath device = Total().map(logical);
    if (continueFigure && dc_.figureOpen) dc_.path.connectPath(device);
    else dc_.path.addPath(device);
    dc_.figureOpen = continueFigure;
}

void Player::Shape(const QPainterPath& logical)
{
    if (dc_.inPath) {
        AddToPath(logical, false);
        return;
    }
    const QTransform total = Total();
    if (!Visible(total.map(logical))) return;
    painter_.setTransform(total);
    QPainterPath path = logical;
    path.setFillRule(dc_.fillRule);
    if (PrepareFill(total, dc_.brush)) {
        if (dc_.brush.hatched && dc_.backgroundMode == kOpaque) painter_.fillPath(path, dc_.backgroundColor);
        painter_.drawPath(path);
    }
    if (PrepareStroke(total)) {
        painter_.setBrush(Qt::NoBrush);
        painter_.drawPath(path);
    }
}

void Player::Lines(const QPainterPath& logical)
{
    if (dc_.inPath) {
        AddToPath(logical, false);
        return;
    }
    const QTransform total = Total();
    if (!Visible(total.map(logical))) return;
    painter_.setTransform(total);
    if (PrepareStroke(total)) {
        painter_.setBrush(Qt::NoBrush);
        painter_.drawPath(logical);
    }
}

void Player::LinesFromCurrent(const QPainterPath& logical)
{
    if (dc_.inPath) {
        AddToPath(logical, true);
        return;
    }
    Lines(logical);
}

void Player::FillWith(const QPainterPath& logical, const QBrush& brush)
{
    const QTransform total = Total();
    if (!Visible(total.map(logical))) return;
    painter_.setTransform(total);
    Brush b;
    b.brush = brush;
    if (PrepareFill(total, b)) painter_.drawPath(logical);
}

void Player::FillDeviceRegion(const QPainterPath& device, const QBrush& brush)
{
    if (!Visible(device) || brush.style() == Qt::NoBrush) return;
    painter_.setTransform(QTransform());
    painter_.fillPath(device, brush);
}

void Player::PaintDevicePath(const QPainterPath& device, bool fill, bool stroke)
{
    if (!Visible(device)) return;
    const QTransform total = Total();
    bool invertible = false;
    const QTransform inverse = total.inverted(&invertible);
    if (!invertible) return;
    QPainterPath path = inverse.map(device);
    path.setFillRule(dc_.fillRule);
    painter_.setTransform(total);
    if (fill && PrepareFill(total, dc_.brush)) {
        if (dc_.brush.hatched && dc_.backgroundMode == kOpaque) painter_.fillPath(path, dc_.backgroundColor);
        painter_.drawPath(path);
    }
    if (stroke && PrepareStroke(total)) {
        painter_.setBrush(Qt::NoBrush);
        painter_.drawPath(path);
    }
}

} // namespace graphics::metafile
