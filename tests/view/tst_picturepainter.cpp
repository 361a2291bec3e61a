#include "picturepainter.h"

#include <QPainter>
#include <QTest>
#include <cmath>

namespace
{
// Distinct colour per pixel, so any misplaced pixel shows.
QImage pattern(int w, int h)
{
    QImage img(w, h, QImage::Format_RGB32);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            img.setPixel(x, y, qRgb((x * 37) & 255, (y * 59) & 255, ((x + y) * 13) & 255));
    return img;
}

// Paints `src` at `target` into a magenta canvas of `logical` size, exposing `exposed`.
QImage render(const QImage& src, const QRectF& target, QSizeF logical, const QRectF& exposed, qreal dpr = 1)
{
    const MapPicture picture(src);
    QImage out(int(logical.width() * dpr), int(logical.height() * dpr), QImage::Format_ARGB32_Premultiplied);
    out.setDevicePixelRatio(dpr);
    out.fill(Qt::magenta);
    {
        QPainter p(&out);
        PicturePainter::paint(p, picture, target, exposed, dpr);
    }
    return out;
}
} // namespace

// Drawing the visible part of a picture: the right picture pixel under every device pixel, smooth
// shrinking through the pre-shrunk copies, and nothing drawn outside the exposed rectangle.
class TestPicturePainter : public QObject
{
    Q_OBJECT
private slots:
    void zoomedInPixelsAreSharpAndAligned_data();
    void zoomedInPixelsAreSharpAndAligned();
    void zoomedOutIsFilteredNotAliased_data();
    void zoomedOutIsFilteredNotAliased();
    void drawsOnlyTheExposedRectangle();
    void farCornerOfAWidePicture();
};

void TestPicturePainter::zoomedInPixelsAreSharpAndAligned_data()
{
    QTest::addColumn<double>("scale"); // logical pixels per picture pixel
    QTest::addColumn<QPointF>("at");   // fractional placement
    QTest::addColumn<qreal>("dpr");
    QTest::newRow("4x") << 4.0 << QPointF(-101.25, -37.5) << qreal(1);
    QTest::newRow("16x") << 16.0 << QPointF(-1003.6, -410.3) << qreal(1);
    QTest::newRow("99x") << 99.0 << QPointF(-19000.4, -9000.7) << qreal(1);
    QTest::newRow("8x at dpr 2") << 8.0 << QPointF(-333.3, -77.7) << qreal(2);
}

void TestPicturePainter::zoomedInPixelsAreSharpAndAligned()
{
    QFETCH(double, scale);
    QFETCH(QPointF, at);
    QFETCH(qreal, dpr);
    const QImage src = pattern(300, 200);
    const QImage out =
        render(src, QRectF(at, QSizeF(src.size()) * scale), QSizeF(160, 120), QRectF(0, 0, 160, 120), dpr);
    int checked = 0;
    for (int dy = 0; dy < out.height(); dy += 3)
        for (int dx = 0; dx < out.width(); dx += 3) {
            // The picture pixel under this device pixel's centre, unless the centre is near a boundary.
            const double px = ((dx + 0.5) / dpr - at.x()) / scale, py = ((dy + 0.5) / dpr - at.y()) / scale;
            const double fx = px - std::floor(px), fy = py - std::floor(py), edge = 0.6 / (scale * dpr);
            if (fx < edge || fx > 1 - edge || fy < edge || fy > 1 - edge)
                continue;
            QCOMPARE(QColor(out.pixel(dx, dy)), QColor(src.pixel(int(px), int(py))));
            ++checked;
        }
    QVERIFY(checked > 500);
}

void TestPicturePainter::zoomedOutIsFilteredNotAliased_data()
{
    QTest::addColumn<double>("scale");
    QTest::addColumn<qreal>("dpr");
    QTest::newRow("1/4") << 0.25 << qreal(1);
    QTest::newRow("1/8") << 0.125 << qreal(1);
    QTest::newRow("1/8 at dpr 2") << 0.125 << qreal(2);
    QTest::newRow("0.2") << 0.2 << qreal(1);
}

void TestPicturePainter::zoomedOutIsFilteredNotAliased()
{
    // One white column in every four: sampling would give black or white stripes; a filtered shrink
    // gives an even grey of a quarter white.
    QFETCH(double, scale);
    QFETCH(qreal, dpr);
    QImage src(2048, 1024, QImage::Format_RGB32);
    for (int y = 0; y < src.height(); ++y)
        for (int x = 0; x < src.width(); ++x)
            src.setPixel(x, y, x % 4 == 0 ? qRgb(255, 255, 255) : qRgb(0, 0, 0));
    const QRectF target(0.3, 0.7, src.width() * scale, src.height() * scale);
    const QImage out = render(src, target, target.size(), QRectF(QPointF(0, 0), target.size()), dpr);
    for (int y = 4; y < out.height() - 4; y += 7)
        for (int x = 4; x < out.width() - 4; x += 5)
            QVERIFY2(
                std::abs(qGray(out.pixel(x, y)) - 64) <= 12,
                qPrintable(QStringLiteral("grey %1 at %2,%3").arg(qGray(out.pixel(x, y))).arg(x).arg(y)));
}

void TestPicturePainter::drawsOnlyTheExposedRectangle()
{
    const QImage src = pattern(400, 300);
    const QRect exposed(50, 40, 100, 60);
    const QImage out = render(src, QRectF(0, 0, 400, 300), QSizeF(400, 300), exposed);
    const QRgb magenta = QColor(Qt::magenta).rgb();
    for (int y = 0; y < 300; y += 2)
        for (int x = 0; x < 400; x += 2) {
            QCOMPARE(out.pixel(x, y) == magenta, !exposed.contains(x, y));
            if (exposed.contains(x, y)) // 1:1 shows the pixels as they are
                QCOMPARE(QColor(out.pixel(x, y)), QColor(src.pixel(x, y)));
        }
}

void TestPicturePainter::farCornerOfAWidePicture()
{
    // Source coordinates past 16384 pixels still land on the right pixels.
    QImage src(20000, 64, QImage::Format_RGB32);
    for (int x = 0; x < src.width(); ++x)
        for (int y = 0; y < 64; ++y)
            src.setPixel(x, y, qRgb(x & 255, (x >> 8) & 255, y * 4));
    const QImage out = render(src, QRectF(-19936, 0, 20000, 64), QSizeF(64, 64), QRectF(0, 0, 64, 64));
    for (int x = 0; x < 64; x += 3)
        QCOMPARE(QColor(out.pixel(x, 10)), QColor(src.pixel(19936 + x, 10)));
}

QTEST_MAIN(TestPicturePainter)
#include "tst_picturepainter.moc"
