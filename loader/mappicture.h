#pragma once

#include <QImage>
#include <QSize>
#include <algorithm>
#include <memory>
#include <vector>

// A decoded map picture and its pre-shrunk copies: a quarter of its size, then each half the last (smooth
// filtering). There is no half-size copy: it alone would cost a quarter of the picture's memory, and the
// scales it served are drawn from the visible part of the full picture or of the quarter-size copy.
// The map view draws only what is visible.
class MapPicture
{
public:
    MapPicture() = default;
    explicit MapPicture(QImage full);                    // builds the shrunk copies
    MapPicture(QImage full, std::vector<QImage> levels); // copies already built (see levelSizes)

    QSize naturalSize() const { return m_natural; } // pixels
    const QImage& full() const { return m_full; }
    const std::vector<QImage>& levels() const { return m_levels; }

    // The copy to draw from when one picture pixel covers `scale` device pixels, and how many full-size
    // pixels one of its pixels stands for (1, 4, 8...): the smallest copy that still has a pixel for each
    // device pixel, except that the half-size copy's scales, 1:4 to 1:2, are drawn from whichever of the
    // full picture and the quarter-size copy is nearer (the quarter stretched at most 1.41 times).
    const QImage& levelFor(double scale, int* divisor) const;

    void setLevels(std::vector<QImage> levels) { m_levels = std::move(levels); }

    // The sizes of the shrunk copies of a picture of `size`: halving again and again (rounded down) until
    // both sides are at most 256 pixels, leaving out the first, half-size, step.
    static std::vector<QSize> levelSizes(QSize size);

    // Halves an image with a 2x2 box filter (odd edges keep their last row or column).
    static QImage halve(const QImage& src);
    static QSize halfSize(QSize size) { return {std::max(1, size.width() / 2), std::max(1, size.height() / 2)}; }
    // Fills rows [dstFirst, dstEnd) of `dst`, a halved copy of `src` in one of the 32-bit formats.
    static void halveRows(const QImage& src, QImage& dst, int dstFirst, int dstEnd);
    // One row of a halved copy: `out` (halfSize of `srcWidth` pixels) from two source rows (the same row
    // twice at an odd bottom edge). Touches nothing else, so threads may fill disjoint rows at once.
    static void halveRow(const quint32* row0, const quint32* row1, int srcWidth, quint32* out);

private:
    QImage m_full;
    std::vector<QImage> m_levels; // m_levels[0] is half size
    QSize m_natural;
};

using MapPicturePtr = std::shared_ptr<const MapPicture>;
