#include "levelbuilder.h"

#include "mappicture.h"
#include "picturebuffer.h"

#include <algorithm>

LevelBuilder::LevelBuilder(const QImage& full) : LevelBuilder(full, full.size(), full.format()) {}

LevelBuilder::LevelBuilder(const QImage& full, QSize size, QImage::Format format)
    : m_full(full), m_half(MapPicture::halfSize(size))
{
    const std::vector<QSize> sizes = MapPicture::levelSizes(size);
    m_bandRows = std::max(16, 2 << int(sizes.size())); // the half-size step counts as a halving
    for (const QSize& s : sizes) {
        QImage level = PictureBuffer::allocate(s, format);
        if (level.isNull()) {
            m_failed = true;
            m_levels.clear();
            m_rows.clear();
            return;
        }
        m_rows.push_back({level.bits(), level.bytesPerLine(), level.width(), level.height()});
        m_levels.push_back(std::move(level));
    }
}

int LevelBuilder::bandCount() const
{
    return (m_full.height() + m_bandRows - 1) / m_bandRows;
}

int LevelBuilder::bandEnd(int band) const
{
    return std::min(m_full.height(), (band + 1) * m_bandRows);
}

std::pair<int, int> LevelBuilder::levelRows(size_t level, int band) const
{
    const int shift = int(level) + 2;
    const int height = level < m_rows.size() ? m_rows[level].height : m_half.height();
    const bool last = band == bandCount() - 1;
    const int first = std::min(height, (band * m_bandRows) >> shift);
    return {first, last ? height : std::min(height, ((band + 1) * m_bandRows) >> shift)};
}

void LevelBuilder::shrinkBand(int band)
{
    if (m_rows.empty())
        return;
    // This band's rows of the half-size step, in a buffer used again for the next band.
    const bool last = band == bandCount() - 1;
    const int halfFirst = (band * m_bandRows) >> 1;
    const int halfEnd = last ? m_half.height() : std::min(m_half.height(), ((band + 1) * m_bandRows) >> 1);
    const int halfWidth = m_half.width();
    std::vector<quint32> halfRows;
    {
        const std::lock_guard lock(m_spareMutex);
        if (!m_spareHalves.empty()) {
            halfRows = std::move(m_spareHalves.back());
            m_spareHalves.pop_back();
        }
    }
    halfRows.resize(size_t(std::max(0, halfEnd - halfFirst)) * size_t(halfWidth));
    const int lastRow = m_full.height() - 1;
    for (int y = halfFirst; y < halfEnd; ++y)
        MapPicture::halveRow(reinterpret_cast<const quint32*>(m_full.constScanLine(std::min(2 * y, lastRow))),
                             reinterpret_cast<const quint32*>(m_full.constScanLine(std::min(2 * y + 1, lastRow))),
                             m_full.width(), halfRows.data() + size_t(y - halfFirst) * size_t(halfWidth));

    for (size_t k = 0; k < m_rows.size(); ++k) {
        const Rows& dst = m_rows[k];
        const auto [first, end] = levelRows(k, band);
        // The rows of the copy before this one: the half-size buffer (rows from halfFirst), or a kept copy.
        const int srcWidth = k == 0 ? halfWidth : m_rows[k - 1].width;
        const int srcLast = (k == 0 ? m_half.height() : m_rows[k - 1].height) - 1;
        auto srcRow = [&](int y) {
            y = std::min(y, srcLast);
            if (k == 0)
                return halfRows.data() + size_t(y - halfFirst) * size_t(halfWidth);
            const Rows& src = m_rows[k - 1];
            return reinterpret_cast<quint32*>(src.bits + qsizetype(y) * src.stride);
        };
        for (int y = first; y < end; ++y)
            MapPicture::halveRow(srcRow(2 * y), srcRow(2 * y + 1), srcWidth,
                                 reinterpret_cast<quint32*>(dst.bits + qsizetype(y) * dst.stride));
    }
    const std::lock_guard lock(m_spareMutex);
    m_spareHalves.push_back(std::move(halfRows));
}
