#include "levelbuilder.h"
#include "mappicture.h"
#include "synthmap.h"

#include <QPainter>
#include <QRandomGenerator>
#include <QTest>

namespace
{

QImage noise(QSize size, quint32 seed)
{
    QImage img(size, QImage::Format_RGB32);
    QRandomGenerator rng(seed);
    for (int y = 0; y < img.height(); ++y) {
        auto* line = reinterpret_cast<quint32*>(img.scanLine(y));
        for (int x = 0; x < img.width(); ++x)
            line[x] = 0xff000000U | (rng.generate() & 0xffffffU);
    }
    return img;
}

// Mean difference of the channels of two pictures of the same size.
double meanDifference(const QImage& a, const QImage& b)
{
    const QImage x = a.convertToFormat(QImage::Format_RGB32), y = b.convertToFormat(QImage::Format_RGB32);
    qint64 sum = 0;
    for (int r = 0; r < x.height(); ++r) {
        const auto* p = reinterpret_cast<const quint32*>(x.constScanLine(r));
        const auto* q = reinterpret_cast<const quint32*>(y.constScanLine(r));
        for (int c = 0; c < x.width(); ++c)
            for (int shift = 0; shift < 24; shift += 8)
                sum += std::abs(int((p[c] >> shift) & 0xff) - int((q[c] >> shift) & 0xff));
    }
    return sum / (3.0 * x.width() * x.height());
}

// `image` stretched over `rect` of a white frame, as the map view draws the map.
QImage framed(QSize viewport, const QImage& image, const QRectF& rect)
{
    QImage frame(viewport, QImage::Format_RGB32);
    frame.fill(Qt::white);
    QPainter p(&frame);
    p.setRenderHint(QPainter::SmoothPixmapTransform);
    p.drawImage(rect, image);
    return frame;
}

} // namespace

class TestMapPicture : public QObject
{
    Q_OBJECT
private slots:
    void levelSizes_data();
    void levelSizes();
    void halve_data();
    void halve();
    void bandsInAnyOrderGiveTheSameCopies_data();
    void bandsInAnyOrderGiveTheSameCopies();
    void levelFor_data();
    void levelFor();
    void copiesDrawTheSameMapWhenFitted_data();
    void copiesDrawTheSameMapWhenFitted();
};

void TestMapPicture::levelSizes_data()
{
    QTest::addColumn<QSize>("size");
    QTest::addColumn<QList<QSize>>("expected");
    QTest::newRow("256 square: none") << QSize(256, 256) << QList<QSize>{};
    QTest::newRow("513 wide: its half would be the only one, and is not kept") << QSize(513, 10) << QList<QSize>{};
    QTest::newRow("514 wide") << QSize(514, 10) << QList<QSize>{{128, 2}};
    QTest::newRow("odd sides round down") << QSize(1001, 601) << QList<QSize>{{250, 150}};
    QTest::newRow("thin strip keeps a row") << QSize(2000, 1) << QList<QSize>{{500, 1}, {250, 1}};
    QTest::newRow("100 MP sheet") << QSize(11892, 8408)
                                  << QList<QSize>{{2973, 2102}, {1486, 1051}, {743, 525}, {371, 262}, {185, 131}};
}

void TestMapPicture::levelSizes()
{
    QFETCH(QSize, size);
    QFETCH(QList<QSize>, expected);
    const std::vector<QSize> sizes = MapPicture::levelSizes(size);
    QCOMPARE(QList<QSize>(sizes.begin(), sizes.end()), expected);
}

void TestMapPicture::halve_data()
{
    QTest::addColumn<QImage>("source");
    QTest::addColumn<QImage>("half");
    const auto image = [](QSize size, QImage::Format format, QList<QRgb> pixels) {
        QImage img(size, format);
        for (int k = 0; k < pixels.size(); ++k)
            img.setPixel(k % size.width(), k / size.width(), pixels[k]);
        return img;
    };
    const auto argb = QImage::Format_ARGB32_Premultiplied;
    QTest::newRow("3/4 and 1/2 round up")
        << image({2, 2}, argb, {0xff000000U, 0xff010001U, 0xff010100U, 0xff010101U})
        << image({1, 1}, argb, {0xff010101U});
    QTest::newRow("1/4 rounds down, full alpha stays")
        << image({2, 2}, argb, {0xffff0000U, 0xffff0000U, 0xffff0100U, 0xffff0001U})
        << image({1, 1}, argb, {0xffff0000U});
    QTest::newRow("1.5 rounds up") << image({2, 2}, QImage::Format_RGB32,
                                            {0xff020406U, 0xff000000U, 0xff000000U, 0xff000000U})
                                   << image({1, 1}, QImage::Format_RGB32, {0xff010102U});
    QTest::newRow("one pixel wide keeps its column")
        << image({1, 4}, QImage::Format_RGB32, {0xff101010U, 0xff303030U, 0xff000000U, 0xff000000U})
        << image({1, 2}, QImage::Format_RGB32, {0xff202020U, 0xff000000U});
}

void TestMapPicture::halve()
{
    QFETCH(QImage, source);
    QFETCH(QImage, half);
    QCOMPARE(MapPicture::halve(source), half);
}

void TestMapPicture::bandsInAnyOrderGiveTheSameCopies_data()
{
    QTest::addColumn<QSize>("size");
    QTest::newRow("odd sides") << QSize(1003, 517);
    QTest::newRow("tall, several bands a copy row") << QSize(300, 2049);
    QTest::newRow("one band") << QSize(600, 9);
}

void TestMapPicture::bandsInAnyOrderGiveTheSameCopies()
{
    QFETCH(QSize, size);
    const QImage full = noise(size, 7);
    const MapPicture whole(full);
    LevelBuilder builder(full);
    QVERIFY(!builder.isNull());
    QVERIFY(builder.bandRows() >= 2 << whole.levels().size()); // the half-size step is a halving too
    for (int band = builder.bandCount() - 1; band >= 0; --band) // last first, as another thread might
        builder.shrinkBand(band);
    const std::vector<QImage> levels = builder.takeLevels();
    QCOMPARE(levels.size(), whole.levels().size());
    for (size_t k = 0; k < levels.size(); ++k)
        QCOMPARE(levels[k], whole.levels()[k]);
}

void TestMapPicture::levelFor_data()
{
    QTest::addColumn<double>("scale");
    QTest::addColumn<int>("divisor");
    QTest::addColumn<QSize>("drawnFrom");
    // A 2000 x 1000 picture has copies of 500 x 250 and 250 x 125, and no half-size one.
    QTest::newRow("magnified") << 2.0 << 1 << QSize(2000, 1000);
    QTest::newRow("natural size") << 1.0 << 1 << QSize(2000, 1000);
    QTest::newRow("just over half") << 0.51 << 1 << QSize(2000, 1000);
    QTest::newRow("half") << 0.5 << 1 << QSize(2000, 1000);
    QTest::newRow("0.36") << 0.36 << 1 << QSize(2000, 1000);
    QTest::newRow("0.35: the quarter stretched") << 0.35 << 4 << QSize(500, 250);
    QTest::newRow("quarter") << 0.25 << 4 << QSize(500, 250);
    QTest::newRow("0.2") << 0.2 << 4 << QSize(500, 250);
    QTest::newRow("eighth") << 0.125 << 8 << QSize(250, 125);
    QTest::newRow("below the smallest copy") << 0.01 << 8 << QSize(250, 125);
}

void TestMapPicture::levelFor()
{
    QFETCH(double, scale);
    QFETCH(int, divisor);
    QFETCH(QSize, drawnFrom);
    const MapPicture picture(noise({2000, 1000}, 3));
    int d = 0;
    QCOMPARE(picture.levelFor(scale, &d).size(), drawnFrom);
    QCOMPARE(d, divisor);
}

void TestMapPicture::copiesDrawTheSameMapWhenFitted_data()
{
    QTest::addColumn<QSize>("viewport");
    QTest::newRow("a quarter: drawn from the 1/4 copy") << QSize(400, 300);
    QTest::newRow("0.26: the 1/4 copy stretched") << QSize(416, 312);
    QTest::newRow("0.45: drawn from the full picture") << QSize(720, 540);
    QTest::newRow("a tenth: drawn from the 1/8 copy") << QSize(160, 120);
}

void TestMapPicture::copiesDrawTheSameMapWhenFitted()
{
    QFETCH(QSize, viewport);
    const QImage full = makeSyntheticMap({1600, 1200}, 11);
    const double scale = std::min(viewport.width() / 1600.0, viewport.height() / 1200.0);
    const QRectF fitted(0, 0, 1600 * scale, 1200 * scale);
    const MapPicture picture(full);
    int divisor = 0;
    const QImage drawn = framed(viewport, picture.levelFor(scale, &divisor), fitted);
    // Reference: the whole picture scaled down with Qt's area-averaging smooth scaling.
    const QImage smooth =
        full.scaled(fitted.size().toSize(), Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    const double mean = meanDifference(drawn, framed(viewport, smooth, QRectF(QPointF(0, 0), smooth.size())));
    QVERIFY2(mean < 4.0, qPrintable(QString::number(mean)));
    // The same map displaced by one displayed pixel differs far more: the comparison can tell.
    const double shifted =
        meanDifference(drawn, framed(viewport, smooth, QRectF(QPointF(1, 0), smooth.size())));
    QVERIFY2(shifted > 2 * mean, qPrintable(QString::number(shifted)));
}

QTEST_MAIN(TestMapPicture)
#include "tst_mappicture.moc"
