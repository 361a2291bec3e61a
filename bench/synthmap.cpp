#include "synthmap.h"

#include "gifwriter.h"

#include <QFile>
#include <QFont>
#include <QPainter>
#include <QPainterPath>
#include <QRandomGenerator>
#include <QtConcurrent/QtConcurrentMap>
#include <cmath>
#include <numeric>
#include <vector>

namespace
{

quint32 mix(quint32 x)
{
    x ^= x >> 16;
    x *= 0x7feb352dU;
    x ^= x >> 15;
    x *= 0x846ca68bU;
    x ^= x >> 16;
    return x;
}

void paintPaper(QImage& img, quint32 seed)
{
    const int w = img.width(), h = img.height();
    std::vector<int> rows(h);
    std::iota(rows.begin(), rows.end(), 0);
    // Rows are independent, so both cores can share the work.
    QtConcurrent::blockingMap(rows, [&](int y) {
        auto* line = reinterpret_cast<quint32*>(img.scanLine(y));
        const int shade = 236 - 20 * y / h; // the scan darkens towards the bottom edge
        quint32 state = mix(seed ^ (quint32(y) * 0x9e3779b9U));
        for (int x = 0; x < w; ++x) {
            state = state * 1664525U + 1013904223U;
            const int n = int((state >> 24) & 15) - 8; // scanner noise, +-8 levels
            const int tint = 10 * x / w;
            const int r = std::clamp(shade + n + tint, 0, 255);
            const int g = std::clamp(shade + n - 4, 0, 255);
            const int b = std::clamp(shade + n - 18 - tint, 0, 255);
            line[x] = 0xff000000U | quint32(r) << 16 | quint32(g) << 8 | quint32(b);
        }
    });
}

QPainterPath wiggle(QRandomGenerator& rng, QPointF start, double step, int segments, double turn)
{
    QPainterPath path(start);
    double heading = rng.bounded(6.283);
    QPointF p = start;
    for (int i = 0; i < segments; ++i) {
        heading += (rng.generateDouble() - 0.5) * turn;
        p += QPointF(std::cos(heading) * step, std::sin(heading) * step);
        path.lineTo(p);
    }
    return path;
}

} // namespace

QImage makeSyntheticMap(QSize size, quint32 seed)
{
    QImage img(size, QImage::Format_RGB32);
    if (img.isNull())
        return img;
    paintPaper(img, seed);

    QRandomGenerator rng(seed);
    const double megapixels = double(size.width()) * size.height() / 1e6;
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);

    // Kilometre grid: 4 cm at 1:25,000 is 472 pixels at 300 dpi.
    p.setPen(QPen(QColor(40, 90, 170), 2));
    for (int x = 200; x < size.width(); x += 472)
        p.drawLine(x, 0, x, size.height());
    for (int y = 150; y < size.height(); y += 472)
        p.drawLine(0, y, size.width(), y);

    // Contours: brown wandering closed-ish lines, every fifth one thicker.
    const int contours = int(6 * megapixels) + 4;
    for (int i = 0; i < contours; ++i) {
        const QPointF c(rng.bounded(size.width()), rng.bounded(size.height()));
        p.setPen(QPen(QColor(170, 100, 40), i % 5 == 0 ? 3 : 1.5));
        p.drawPath(wiggle(rng, c, 12, 150, 0.5));
    }
    // Roads and rivers.
    const int roads = int(1.5 * megapixels) + 2;
    for (int i = 0; i < roads; ++i) {
        const QPointF c(rng.bounded(size.width()), rng.bounded(size.height()));
        const QPainterPath path = wiggle(rng, c, 30, 80, 0.3);
        if (i % 3 == 0) {
            p.setPen(QPen(QColor(60, 140, 220), 4));
            p.drawPath(path);
        } else {
            p.setPen(QPen(QColor(30, 30, 30), 9));
            p.drawPath(path);
            p.setPen(QPen(QColor(240, 170, 60), 6));
            p.drawPath(path);
        }
    }
    // Woods: pale green patches.
    const int woods = int(1 * megapixels) + 1;
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(120, 200, 110, 70));
    for (int i = 0; i < woods; ++i)
        p.drawEllipse(QPointF(rng.bounded(size.width()), rng.bounded(size.height())), 80 + rng.bounded(200),
                      60 + rng.bounded(150));
    // Place names and spot heights.
    static const char* const names[] = {"Holloway", "Ridge Fm", "Long Wood", "Mill", "Cross Dyke",
                                        "Tumulus",  "Spring",   "Quarry",    "Hall", "Beacon Hill"};
    QFont font("DejaVu Sans");
    p.setPen(QColor(20, 20, 20));
    const int labels = int(25 * megapixels) + 5;
    for (int i = 0; i < labels; ++i) {
        font.setPixelSize(14 + rng.bounded(30));
        font.setItalic(i % 4 == 0);
        p.setFont(font);
        const QPointF at(rng.bounded(size.width()), rng.bounded(size.height()));
        if (i % 3 == 0)
            p.drawText(at, QString::number(50 + rng.bounded(900)));
        else
            p.drawText(at, QString::fromLatin1(names[rng.bounded(10)]));
    }
    p.end();
    return img;
}

bool writeGif(const QImage& source, const QString& path)
{
    const QImage image = source.convertToFormat(QImage::Format_RGB32);
    // A fixed 6 x 7 x 6 colour cube (252 entries, padded to 256): plain rounding keeps the noise, which is
    // what matters for a test picture, and is far quicker than a nearest-colour search.
    QList<QRgb> cube;
    for (int i = 0; i < 256; ++i) {
        const int idx = std::min(i, 251);
        cube << qRgb((idx / 42) * 51, ((idx / 6) % 7) * 255 / 6, (idx % 6) * 51);
    }
    QImage indexed(image.size(), QImage::Format_Indexed8);
    indexed.setColorTable(cube);
    for (int y = 0; y < image.height(); ++y) {
        const auto* line = reinterpret_cast<const quint32*>(image.constScanLine(y));
        uchar* out = indexed.scanLine(y);
        for (int x = 0; x < image.width(); ++x) {
            const quint32 c = line[x];
            out[x] = uchar(((c >> 16) & 0xff) * 5 / 255 * 42 + ((c >> 8) & 0xff) * 6 / 255 * 6 + (c & 0xff) * 5 / 255);
        }
    }
    return WriteGif(indexed, path, nullptr);
}
