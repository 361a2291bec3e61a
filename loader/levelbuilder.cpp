#include "levelbuilder.h"

#include "mappicture.h"
#include "picturebuffer.h"

LevelBuilder::LevelBuilder(const QImage& full) : LevelBuilder(full, full.size(), full.format()) {}

LevelBuilder::LevelBuilder(const QImage& full, QSize size, QImage::Format format) : m_full(full)
{
    const std::vector<QSize> sizes = MapPicture::levelSizes(size);
    m_bandRows = std::max(16, 1 << int(sizes.size()));
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

void LevelBuilder::shrinkBand(int band)
{
    const bool last = band == bandCount() - 1;
    for (size_t k = 0; k < m_rows.size(); ++k) {
        const Rows& dst = m_rows[k];
        const int shift = int(k) + 1;
        const int first = (band * m_bandRows) >> shift;
        const int end = last ? dst.height : std::min(dst.height, ((band + 1) * m_bandRows) >> shift);
        const QImage& src = k == 0 ? m_full : m_levels[k - 1];
        MapPicture::halveRows(src, dst.bits, dst.stride, dst.width, first, end);
    }
}
