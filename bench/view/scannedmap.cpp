#include "scannedmap.h"

#include <QFont>
#include <QPainter>
#include <QPainterPath>
#include <cmath>

namespace
{
struct Rng {
    quint32 s;
    quint32 next()
    {
        s ^= s << 13;
        s ^= s >> 17;
        s ^= s << 5;
        return s;
    }
    double uniform() { return next() / 4294967296.0; }
};
} // namespace

QImage GenerateScannedMap(int width, int height, quint32 seed)
{
    QImage img(width, height, QImage::Format_RGB32);
    if (img.isNull())
        return img;
    Rng rng{seed * 2654435761u + 1};

    // Paper: warm tint, a diagonal brightness gradient (uneven scanner lighting), per-pixel noise.
    for (int y = 0; y < height; ++y) {
        auto* line = reinterpret_cast<QRgb*>(img.scanLine(y));
        const int rowShade = 20 * y / height;
        quint32 n = rng.next();
        for (int x = 0; x < width; ++x) {
            n ^= n << 13;
            n ^= n >> 17;
            n ^= n << 5;
            const int shade = rowShade + 16 * x / width + int(n & 7);
            line[x] = qRgb(250 - shade, 244 - shade, 226 - shade);
        }
    }

    QPainter p(&img);
    const double area = double(width) * height / 1e6; // megapixels
    // Contours: wobbly closed rings around a few summits.
    p.setRenderHint(QPainter::Antialiasing, true);
    const int summits = std::max(3, int(area / 2));
    for (int s = 0; s < summits; ++s) {
        const double cx = rng.uniform() * width, cy = rng.uniform() * height;
        const double phase = rng.uniform() * 6.28;
        for (int ring = 1; ring <= 12; ++ring) {
            QPainterPath path;
            const double r = ring * (40 + 30 * rng.uniform());
            for (int k = 0; k <= 72; ++k) {
                const double a = k * 6.2831853 / 72;
                const double rr = r * (1 + 0.25 * std::sin(3 * a + phase) + 0.1 * std::sin(7 * a + ring));
                const QPointF pt(cx + rr * std::cos(a), cy + rr * std::sin(a));
                k == 0 ? path.moveTo(pt) : path.lineTo(pt);
            }
            p.setPen(QPen(QColor(170, 110, 60), ring % 5 == 0 ? 2.5 : 1.2));
            p.drawPath(path);
        }
    }
    // The kilometre grid.
    p.setRenderHint(QPainter::Antialiasing, false);
    p.setPen(QPen(QColor(60, 90, 160), 2));
    for (int x = 0; x < width; x += 472) // 4 cm at 300 dpi
        p.drawLine(x, 0, x, height);
    for (int y = 0; y < height; y += 472)
        p.drawLine(0, y, width, y);
    // Roads and rivers: long meandering strokes.
    p.setRenderHint(QPainter::Antialiasing, true);
    const int roads = std::max(4, int(area / 3));
    for (int r = 0; r < roads; ++r) {
        QPainterPath path;
        QPointF pt(rng.uniform() * width, rng.uniform() * height);
        path.moveTo(pt);
        double heading = rng.uniform() * 6.28;
        for (int k = 0; k < 60; ++k) {
            heading += (rng.uniform() - 0.5) * 0.8;
            pt += QPointF(std::cos(heading), std::sin(heading)) * 120;
            path.lineTo(pt);
        }
        const bool river = r % 3 == 0;
        p.setPen(QPen(river ? QColor(70, 130, 200) : QColor(200, 40, 30), river ? 6 : 9));
        p.drawPath(path);
        if (!river) {
            p.setPen(QPen(QColor(250, 200, 60), 5));
            p.drawPath(path);
        }
    }
    // Names and spot heights.
    QFont font(QStringLiteral("Sans Serif"));
    font.setPixelSize(28);
    p.setFont(font);
    p.setPen(Qt::black);
    const int names = std::max(10, int(area * 8));
    for (int i = 0; i < names; ++i) {
        const QPointF at(rng.uniform() * width, rng.uniform() * height);
        p.drawText(at, i % 4 == 0 ? QStringLiteral("Hollow Beck %1").arg(i)
                                  : QStringLiteral("%1").arg(200 + i % 700));
    }
    return img;
}
