#pragma once

#include <QImage>
#include <QSize>
#include <memory>
#include <vector>

// A decoded map picture and its pre-shrunk copies, each half the size of the last (smooth filtering).
// The map view draws only what is visible, from the copy nearest above the displayed scale.
class MapPicture {
public:
    MapPicture() = default;
    explicit MapPicture(QImage full); // builds the shrunk copies

    QSize naturalSize() const { return m_full.size(); } // pixels
    const QImage& full() const { return m_full; }
    const std::vector<QImage>& levels() const { return m_levels; }

    // The copy to draw from when one picture pixel covers `scale` device pixels, and how many full-size
    // pixels one of its pixels stands for (1, 2, 4...).
    const QImage& levelFor(double scale, int* divisor) const;

    void setLevels(std::vector<QImage> levels) { m_levels = std::move(levels); }

    // Halves an image with a 2x2 box filter (odd edges keep their last row or column).
    static QImage halve(const QImage& src);

private:
    QImage m_full;
    std::vector<QImage> m_levels; // m_levels[0] is half size
};

using MapPicturePtr = std::shared_ptr<const MapPicture>;
