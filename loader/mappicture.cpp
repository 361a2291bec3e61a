#include "mappicture.h"

#include <algorithm>
#include <cmath>
#if defined(__SSE2__)
#include <emmintrin.h>
#endif

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
    const std::vector<QSize> sizes = levelSizes(m_full.size());
    if (sizes.empty())
        return;
    const QImage half = halve(m_full); // only on the way to the quarter
    const QImage* last = &half;
    for (const QSize& s : sizes) {
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

const QImage& MapPicture::levelFor(double scale, int* divisor) const
{
    int d = 1;
    const QImage* img = &m_full;
    // Without a half-size copy, the full picture and the quarter-size one meet where they are equally far
    // from the displayed scale: half way between 1:2 and 1:4 on a log scale, 1:2.83.
    if (scale * 2 * M_SQRT2 <= 1) {
        int next = 4;
        for (const QImage& level : m_levels) {
            if (next > 4 && scale * next > 1)
                break;
            d = next;
            img = &level;
            next *= 2;
        }
    }
    if (divisor)
        *divisor = d;
    return *img;
}

std::vector<QSize> MapPicture::levelSizes(QSize size)
{
    std::vector<QSize> sizes;
    bool half = true;
    while (size.width() > 256 || size.height() > 256) {
        size = halfSize(size);
        if (!half)
            sizes.push_back(size);
        half = false;
    }
    return sizes;
}

QImage MapPicture::halve(const QImage& src)
{
    const QImage& in = is32Bit(src) ? src : src.convertToFormat(QImage::Format_RGB32);
    QImage dst(halfSize(in.size()), in.format());
    halveRows(in, dst, 0, dst.height());
    return dst;
}

void MapPicture::halveRows(const QImage& src, QImage& dst, int dstFirst, int dstEnd)
{
    const int lastRow = src.height() - 1;
    for (int y = dstFirst; y < dstEnd; ++y)
        halveRow(reinterpret_cast<const quint32*>(src.constScanLine(std::min(2 * y, lastRow))),
                 reinterpret_cast<const quint32*>(src.constScanLine(std::min(2 * y + 1, lastRow))),
                 src.width(), reinterpret_cast<quint32*>(dst.scanLine(y)));
}

void MapPicture::halveRow(const quint32* r0, const quint32* r1, int srcWidth, quint32* out)
{
    const int w = std::max(1, srcWidth / 2), lastCol = srcWidth - 1;
    // Two 8-bit channels at a time, each in a 16-bit lane: four samples sum to at most 1020, so the lanes
    // never carry into each other.
    constexpr quint32 lanes = 0x00ff00ffU, half = 0x00020002U;
    auto mean = [&](quint32 a, quint32 b, quint32 c, quint32 d) {
        const quint32 lo = (a & lanes) + (b & lanes) + (c & lanes) + (d & lanes) + half;
        const quint32 hi = ((a >> 8) & lanes) + ((b >> 8) & lanes) + ((c >> 8) & lanes) + ((d >> 8) & lanes) + half;
        return ((lo >> 2) & lanes) | (((hi >> 2) & lanes) << 8);
    };
    const int pairs = lastCol >= 1 ? w : 0;
    int x = 0;
#if defined(__SSE2__)
    // Four pixels out at a time, with the same sums: the shrinking shares the second core with the
    // mapping-in of the memory, and a scalar loop made it the larger of the two.
    const __m128i zero = _mm_setzero_si128(), round = _mm_set1_epi16(2);
    auto load = [](const quint32* p) { return _mm_loadu_si128(reinterpret_cast<const __m128i*>(p)); };
    for (; x + 4 <= pairs; x += 4) {
        const __m128i a = load(r0 + 2 * x), b = load(r0 + 2 * x + 4);
        const __m128i c = load(r1 + 2 * x), d = load(r1 + 2 * x + 4);
        // Each register holds two source pixels, one channel to a 16-bit lane: the columns' sums.
        const __m128i s0 = _mm_add_epi16(_mm_unpacklo_epi8(a, zero), _mm_unpacklo_epi8(c, zero));
        const __m128i s1 = _mm_add_epi16(_mm_unpackhi_epi8(a, zero), _mm_unpackhi_epi8(c, zero));
        const __m128i s2 = _mm_add_epi16(_mm_unpacklo_epi8(b, zero), _mm_unpacklo_epi8(d, zero));
        const __m128i s3 = _mm_add_epi16(_mm_unpackhi_epi8(b, zero), _mm_unpackhi_epi8(d, zero));
        // Neighbouring columns added: one output pixel in each 64-bit half.
        const __m128i q0 = _mm_add_epi16(_mm_unpacklo_epi64(s0, s1), _mm_unpackhi_epi64(s0, s1));
        const __m128i q1 = _mm_add_epi16(_mm_unpacklo_epi64(s2, s3), _mm_unpackhi_epi64(s2, s3));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(out + x),
                         _mm_packus_epi16(_mm_srli_epi16(_mm_add_epi16(q0, round), 2),
                                          _mm_srli_epi16(_mm_add_epi16(q1, round), 2)));
    }
#endif
    for (; x < pairs; ++x)
        out[x] = mean(r0[2 * x], r0[2 * x + 1], r1[2 * x], r1[2 * x + 1]);
    if (pairs == 0) // a one-pixel-wide source
        out[0] = mean(r0[0], r0[0], r1[0], r1[0]);
}
