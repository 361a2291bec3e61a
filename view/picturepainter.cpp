#include "picturepainter.h"

#include <QPainter>
#include <algorithm>
#include <cmath>

QRectF PicturePainter::fittedPart(const QSizeF& box, const QSize& size, const QRect& rows)
{
    if (size.isEmpty())
        return {};
    const double k = std::min(box.width() / size.width(), box.height() / size.height());
    const double left = (box.width() - k * size.width()) / 2, top = (box.height() - k * size.height()) / 2;
    return QRectF(left + k * rows.left(), top + k * rows.top(), k * rows.width(), k * rows.height());
}

void PicturePainter::paint(QPainter& painter, const MapPicture& picture, const QRectF& target,
                           const QRectF& exposed, qreal devicePixelRatio)
{
    const QSize natural = picture.naturalSize();
    const QRectF visible = target & exposed;
    if (natural.isEmpty() || visible.isEmpty())
        return;

    // Painter units per full-size picture pixel, along each axis (they differ only for a stretched aspect).
    const double sx = target.width() / natural.width();
    const double sy = target.height() / natural.height();
    const double deviceScale = std::max(sx, sy) * devicePixelRatio;
    int divisor = 1;
    const QImage& level = picture.levelFor(deviceScale, &divisor);
    if (level.isNull())
        return;

    // Level pixels per full-size pixel; exact ratios, so an odd edge row or column stays in place.
    const double kx = double(level.width()) / natural.width();
    const double ky = double(level.height()) / natural.height();
    // A shrunk copy is a stand-in for the full picture, so it is always filtered, even where it is stretched
    // (the quarter-size copy between 1:4 and 1:2).
    const bool smooth = deviceScale * divisor < SharpFromScale || divisor > 1;
    const int margin = smooth ? 1 : 0; // the filter reads one neighbour beyond the visible edge

    auto toLevelX = [&](double x) { return (x - target.left()) / sx * kx; };
    auto toLevelY = [&](double y) { return (y - target.top()) / sy * ky; };
    const int x0 = std::clamp(int(std::floor(toLevelX(visible.left()))) - margin, 0, level.width());
    const int x1 = std::clamp(int(std::ceil(toLevelX(visible.right()))) + margin, 0, level.width());
    const int y0 = std::clamp(int(std::floor(toLevelY(visible.top()))) - margin, 0, level.height());
    const int y1 = std::clamp(int(std::ceil(toLevelY(visible.bottom()))) + margin, 0, level.height());
    if (x1 <= x0 || y1 <= y0)
        return;

    // A read-only view onto the rows and columns in use: no copy, and the drawing code sees coordinates
    // from 0 rather than far into a large picture.
    const qsizetype bpl = level.bytesPerLine();
    const int bytesPerPixel = level.depth() / 8;
    const QImage part(level.constBits() + qsizetype(y0) * bpl + qsizetype(x0) * bytesPerPixel, x1 - x0,
                      y1 - y0, bpl, level.format());
    const QRectF partTarget(target.left() + x0 / kx * sx, target.top() + y0 / ky * sy, (x1 - x0) / kx * sx,
                            (y1 - y0) / ky * sy);

    painter.save();
    painter.setClipRect(visible, Qt::IntersectClip);
    painter.setRenderHint(QPainter::SmoothPixmapTransform, smooth);
    painter.drawImage(partTarget, part);
    painter.restore();
}
