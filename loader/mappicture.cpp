#include "mappicture.h"

#include <algorithm>

namespace
{

bool is32Bit(const QImage& img)
{
    return img.format() == QImage::Format_RGB32 || img.format() == QImage::Format_ARGB32_Premultiplied;
}

} // namespace

MapPicture::MapPicture(QImage full) : m_full(std::move(full)), m_natural(m_full.size())
{
    if (m_full.isNull())
        return;
    if (!is32Bit(m_full))
        m_full = m_full.convertToFormat(m_full.hasAlphaChannel() ? QImage::Format_ARGB32_Premultiplied
                                                                 : QImage::Format_RGB32);
    const QImage* last = &m_full;
    for (const QSize& s : levelSizes(m_full.size())) {
        QImage level(s, m_full.format());
        halveRows(*last, level, 0, s.height());
        m_levels.push_back(std::move(level));
        last = &m_levels.back();
    }
}

MapPicture::MapPicture(QImage full, std::vector<QImage> levels)
    : m_full(std::move(full)), m_levels(std::move(levels)), m_natural(m_full.size())
{
}

MapPicture MapPicture::preview(QImage reduced, QSize naturalSize, int divisor)
{
    MapPicture p(std::move(reduced));
    p.m_natural = naturalSize;
    p.m_baseDivisor = std::max(1, divisor);
    return p;
}

const QImage& MapPicture::levelFor(double scale, int* divisor) const
{
    // Use the smallest copy that still has at least one pixel per device pixel.
    int d = m_baseDivisor;
    const QImage* img = &m_full;
    for (const QImage& level : m_levels) {
        if (scale * (d * 2) > 1.0)
            break;
        d *= 2;
        img = &level;
    }
    if (divisor)
        *divisor = d;
    return *img;
}

std::vector<QSize> MapPicture::levelSizes(QSize size)
{
    std::vector<QSize> sizes;
    while (size.width() > 256 || size.height() > 256) {
        size = QSize(std::max(1, size.width() / 2), std::max(1, size.height() / 2));
        sizes.push_back(size);
    }
    return sizes;
}

QImage MapPicture::halve(const QImage& src)
{
    const QImage& in = is32Bit(src) ? src : src.convertToFormat(QImage::Format_RGB32);
    QImage dst(std::max(1, in.width() / 2), std::max(1, in.height() / 2), in.format());
    halveRows(in, dst, 0, dst.height());
    return dst;
}

void MapPicture::halveRows(const QImage& src, QImage& dst, int dstFirst, int dstEnd)
{
    halveRows(src, dst.bits(), dst.bytesPerLine(), dst.width(), dstFirst, dstEnd);
}

void MapPicture::halveRows(const QImage& src, uchar* dst, qsizetype dstStride, int dstWidth, int dstFirst,
                           int dstEnd)
{
    const int w = dstWidth, lastCol = src.width() - 1, lastRow = src.height() - 1;
    // Two 8-bit channels at a time, each in a 16-bit lane: four samples sum to at most 1020, so the lanes
    // never carry into each other.
    constexpr quint32 lanes = 0x00ff00ffU, half = 0x00020002U;
    for (int y = dstFirst; y < dstEnd; ++y) {
        const auto* r0 = reinterpret_cast<const quint32*>(src.constScanLine(std::min(2 * y, lastRow)));
        const auto* r1 = reinterpret_cast<const quint32*>(src.constScanLine(std::min(2 * y + 1, lastRow)));
        auto* out = reinterpret_cast<quint32*>(dst + y * dstStride);
        const int pairs = lastCol >= 1 ? std::min(w, (lastCol + 1) / 2) : 0;
        for (int x = 0; x < pairs; ++x) {
            const quint32 a = r0[2 * x], b = r0[2 * x + 1], c = r1[2 * x], d = r1[2 * x + 1];
            const quint32 lo = (a & lanes) + (b & lanes) + (c & lanes) + (d & lanes) + half;
            const quint32 hi =
                ((a >> 8) & lanes) + ((b >> 8) & lanes) + ((c >> 8) & lanes) + ((d >> 8) & lanes) + half;
            out[x] = ((lo >> 2) & lanes) | (((hi >> 2) & lanes) << 8);
        }
        for (int x = pairs; x < w; ++x) { // a one-pixel-wide source
            const int x0 = std::min(2 * x, lastCol), x1 = std::min(2 * x + 1, lastCol);
            const quint32 a = r0[x0], b = r0[x1], c = r1[x0], d = r1[x1];
            const quint32 lo = (a & lanes) + (b & lanes) + (c & lanes) + (d & lanes) + half;
            const quint32 hi =
                ((a >> 8) & lanes) + ((b >> 8) & lanes) + ((c >> 8) & lanes) + ((d >> 8) & lanes) + half;
            out[x] = ((lo >> 2) & lanes) | (((hi >> 2) & lanes) << 8);
        }
    }
}
