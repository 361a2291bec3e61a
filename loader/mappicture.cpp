#include "mappicture.h"

MapPicture::MapPicture(QImage full) : m_full(std::move(full))
{
    if (m_full.isNull())
        return;
    if (m_full.format() != QImage::Format_RGB32 && m_full.format() != QImage::Format_ARGB32_Premultiplied)
        m_full = m_full.convertToFormat(QImage::Format_RGB32);
    const QImage* last = &m_full;
    while (last->width() > 256 || last->height() > 256) {
        m_levels.push_back(halve(*last));
        last = &m_levels.back();
    }
}

const QImage& MapPicture::levelFor(double scale, int* divisor) const
{
    // Use the smallest copy that still has at least one pixel per device pixel.
    int d = 1;
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

QImage MapPicture::halve(const QImage& src)
{
    const int w = std::max(1, src.width() / 2), h = std::max(1, src.height() / 2);
    QImage dst(w, h, src.format());
    for (int y = 0; y < h; ++y) {
        const auto* r0 = reinterpret_cast<const quint32*>(src.constScanLine(std::min(2 * y, src.height() - 1)));
        const auto* r1 = reinterpret_cast<const quint32*>(src.constScanLine(std::min(2 * y + 1, src.height() - 1)));
        auto* out = reinterpret_cast<quint32*>(dst.scanLine(y));
        for (int x = 0; x < w; ++x) {
            const int x0 = std::min(2 * x, src.width() - 1), x1 = std::min(2 * x + 1, src.width() - 1);
            const quint32 a = r0[x0], b = r0[x1], c = r1[x0], d = r1[x1];
            // Average each 8-bit channel of four pixels, with rounding.
            quint32 result = 0;
            for (int shift = 0; shift < 32; shift += 8) {
                const quint32 sum = ((a >> shift) & 0xff) + ((b >> shift) & 0xff) + ((c >> shift) & 0xff) +
                                    ((d >> shift) & 0xff);
                result |= ((sum + 2) / 4) << shift;
            }
            out[x] = result;
        }
    }
    return dst;
}
