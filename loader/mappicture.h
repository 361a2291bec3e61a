#pragma once

#include <QImage>
#include <QSize>
#include <memory>
#include <vector>

// A decoded map picture and its pre-shrunk copies, each half the size of the last (smooth filtering).
// The map view draws only what is visible, from the copy nearest above the displayed scale.
//
// A preview stands in for a picture still being decoded: its full() is a reduced decode, and
// levelFor() reports the divisor that maps it back onto the natural size, so the view draws it stretched
// exactly where the finished picture will be.
class MapPicture
{
public:
    MapPicture() = default;
    explicit MapPicture(QImage full);                    // builds the shrunk copies
    MapPicture(QImage full, std::vector<QImage> levels); // copies already built (see levelSizes)
    static MapPicture preview(QImage reduced, QSize naturalSize, int divisor);

    QSize naturalSize() const { return m_natural; } // pixels
    const QImage& full() const { return m_full; }
    const std::vector<QImage>& levels() const { return m_levels; }
    bool isPreview() const { return m_baseDivisor > 1; }

    // The copy to draw from when one picture pixel covers `scale` device pixels, and how many full-size
    // pixels one of its pixels stands for (1, 2, 4...).
    const QImage& levelFor(double scale, int* divisor) const;

    void setLevels(std::vector<QImage> levels) { m_levels = std::move(levels); }

    // The sizes of the shrunk copies of a picture of `size`: each half the last (rounded down), until
    // both sides are at most 256 pixels.
    static std::vector<QSize> levelSizes(QSize size);

    // Halves an image with a 2x2 box filter (odd edges keep their last row or column).
    static QImage halve(const QImage& src);
    // Fills rows [dstFirst, dstEnd) of `dst`, a halved copy of `src` in one of the 32-bit formats.
    static void halveRows(const QImage& src, QImage& dst, int dstFirst, int dstEnd);
    // The same into raw rows of `dst` (dstWidth pixels, dstStride bytes apart); safe to call from several
    // threads at once on disjoint rows, as it never touches the destination QImage itself.
    static void halveRows(const QImage& src, uchar* dst, qsizetype dstStride, int dstWidth, int dstFirst,
                          int dstEnd);

private:
    QImage m_full;
    std::vector<QImage> m_levels; // m_levels[0] is half size
    QSize m_natural;
    int m_baseDivisor = 1; // full-size pixels per pixel of m_full; above 1 only in a preview
};

using MapPicturePtr = std::shared_ptr<const MapPicture>;
