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

// Mean and largest difference of any channel between two pictures of the same size.
std::pair<double, int> difference(const QImage& a, const QImage& b)
{
    const QImage x = a.convertToFormat(QImage::Format_RGB32), y = b.convertToFormat(QImage::Format_RGB32);
    double sum = 0;
    int worst = 0;
    for (int r = 0; r < x.height(); ++r) {
        const auto* p = reinterpret_cast<const quint32*>(x.constScanLine(r));
        const auto* q = reinterpret_cast<const quint32*>(y.constScanLine(r));
        for (int c = 0; c < x.width(); ++c) {
            for (int shift = 0; shift < 24; shift += 8) {
                const int d = std::abs(int((p[c] >> shift) & 0xff) - int((q[c] >> shift) & 0xff));
                sum += d;
                worst = std::max(worst, d);
            }
        }
    }
    return {sum / (3.0 * x.width() * x.height()), worst};
}

// What the map view does: draws the copy levelFor() picks, stretched over the displayed rectangle.
QImage drawFitted(const MapPicture& picture, QSize viewport)
{
    const QSize natural = picture.naturalSize();
    const double scale =
        std::min(double(viewport.width()) / natural.width(), double(viewport.height()) / natural.height());
    QImage frame(viewport, QImage::Format_RGB32);
    frame.fill(Qt::white);
    QPainter p(&frame);
    p.setRenderHint(QPainter::SmoothPixmapTransform);
    int divisor = 0;
    const QImage& level = picture.levelFor(scale, &divisor);
    p.drawImage(QRectF(0, 0, natural.width() * scale, natural.height() * scale), level);
    return frame;
}

} // namespace

class TestMapPicture : public QObject
{
    Q_OBJECT
private slots:
    void levelSizes_data();
    void levelSizes();
    void halveAveragesEachChannelRounded();
    void halveKeepsTheLastColumnOfAOnePixelWideImage();
    void bandsInAnyOrderGiveTheSameCopies_data();
    void bandsInAnyOrderGiveTheSameCopies();
    void levelFor_data();
    void levelFor();
    void previewStandsInAtItsDivisor();
    void copiesDrawTheSameMapWhenFitted_data();
    void copiesDrawTheSameMapWhenFitted();
};

void TestMapPicture::levelSizes_data()
{
    QTest::addColumn<QSize>("size");
    QTest::addColumn<QList<QSize>>("expected");
    QTest::newRow("256 square: none") << QSize(256, 256) << QList<QSize>{};
    QTest::newRow("257 wide") << QSize(257, 10) << QList<QSize>{{128, 5}};
    QTest::newRow("odd sides round down") << QSize(1001, 601) << QList<QSize>{{500, 300}, {250, 150}};
    QTest::newRow("thin strip keeps a row") << QSize(2000, 1) << QList<QSize>{{1000, 1}, {500, 1}, {250, 1}};
    QTest::newRow("100 MP sheet") << QSize(11892, 8408)
                                  << QList<QSize>{{5946, 4204}, {2973, 2102}, {1486, 1051},
                                                  {743, 525},   {371, 262},   {185, 131}};
}

void TestMapPicture::levelSizes()
{
    QFETCH(QSize, size);
    QFETCH(QList<QSize>, expected);
    const std::vector<QSize> sizes = MapPicture::levelSizes(size);
    QCOMPARE(QList<QSize>(sizes.begin(), sizes.end()), expected);
}

void TestMapPicture::halveAveragesEachChannelRounded()
{
    QImage src(2, 2, QImage::Format_ARGB32_Premultiplied);
    // Red 0+1+1+1 = 3 -> 1 (3/4 rounds up), green and blue 0+0+1+1 = 2 -> 1 (a half rounds up),

    src.setPixel(0, 0, 0xff000000U);
    src.setPixel(1, 0, 0xff010001U);
    src.setPixel(0, 1, 0xff010100U);
    src.setPixel(1, 1, 0xff010101U);
    QCOMPARE(MapPicture::halve(src).pixel(0, 0), 0xff010101U);
    QImage sums(2, 2, QImage::Format_ARGB32_Premultiplied);
    sums.setPixel(0, 0, 0xffff0000U);
    sums.setPixel(1, 0, 0xffff0000U);
    sums.setPixel(0, 1, 0xffff0100U);
    sums.setPixel(1, 1, 0xffff0001U);
    // red 255 x4 = 255, green 1 of 4 -> 0, blue 1 of 4 -> 0, alpha 255
    QCOMPARE(MapPicture::halve(sums).pixel(0, 0), 0xffff0000U);
    QImage halfway(2, 2, QImage::Format_RGB32);
    halfway.fill(0xff000000U);
    halfway.setPixel(0, 0, 0xff020406U);
    QCOMPARE(MapPicture::halve(halfway).pixel(0, 0), 0xff010102U); // 2/4 -> 1, 4/4 -> 1, 6/4 -> 2 (1.5 up)
}

void TestMapPicture::halveKeepsTheLastColumnOfAOnePixelWideImage()
{
    QImage src(1, 4, QImage::Format_RGB32);
    src.setPixel(0, 0, 0xff101010U);
    src.setPixel(0, 1, 0xff303030U);
    src.setPixel(0, 2, 0xff000000U);
    src.setPixel(0, 3, 0xff000000U);
    const QImage half = MapPicture::halve(src);
    QCOMPARE(half.size(), QSize(1, 2));
    QCOMPARE(half.pixel(0, 0), 0xff202020U);
    QCOMPARE(half.pixel(0, 1), 0xff000000U);
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
    QVERIFY(builder.bandRows() >= 1 << whole.levels().size());
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
    // A 2000 x 1000 picture has copies of 1000 x 500, 500 x 250 and 250 x 125.
    QTest::newRow("magnified") << 2.0 << 1 << QSize(2000, 1000);
    QTest::newRow("natural size") << 1.0 << 1 << QSize(2000, 1000);
    QTest::newRow("just under natural") << 0.51 << 1 << QSize(2000, 1000);
    QTest::newRow("half") << 0.5 << 2 << QSize(1000, 500);
    QTest::newRow("0.3") << 0.3 << 2 << QSize(1000, 500);
    QTest::newRow("quarter") << 0.25 << 4 << QSize(500, 250);
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

void TestMapPicture::previewStandsInAtItsDivisor()
{
    const MapPicture preview = MapPicture::preview(noise({500, 300}, 5), QSize(4000, 2400), 8);
    QVERIFY(preview.isPreview());
    QCOMPARE(preview.naturalSize(), QSize(4000, 2400));
    int d = 0;
    QCOMPARE(preview.levelFor(1.0, &d).size(), QSize(500, 300));
    QCOMPARE(d, 8);
    QCOMPARE(preview.levelFor(1.0 / 16, &d).size(), QSize(250, 150));
    QCOMPARE(d, 16);
    QVERIFY(!MapPicture(noise({10, 10}, 1)).isPreview());
}

void TestMapPicture::copiesDrawTheSameMapWhenFitted_data()
{
    QTest::addColumn<QSize>("viewport");
    QTest::newRow("a quarter: drawn from the 1/4 copy") << QSize(400, 300);
    QTest::newRow("a third: drawn from the 1/2 copy") << QSize(533, 400);
    QTest::newRow("a tenth: drawn from the 1/8 copy") << QSize(160, 120);
}

void TestMapPicture::copiesDrawTheSameMapWhenFitted()
{
    QFETCH(QSize, viewport);
    const QImage full = makeSyntheticMap({1600, 1200}, 11);
    const MapPicture picture(full);
    // Reference: the whole picture scaled down with Qt's area-averaging smooth scaling.
    QImage reference(viewport, QImage::Format_RGB32);
    reference.fill(Qt::white);
    const double scale = std::min(double(viewport.width()) / 1600, double(viewport.height()) / 1200);
    QPainter(&reference)
        .drawImage(0, 0,
                   full.scaled(qRound(1600 * scale), qRound(1200 * scale), Qt::IgnoreAspectRatio,
                               Qt::SmoothTransformation));
    const auto [mean, worst] = difference(drawFitted(picture, viewport), reference);
    qInfo("mean %.2f, worst %d", mean, worst);
    QVERIFY2(mean < 4.0, qPrintable(QString::number(mean)));
    // The same map displaced by one displayed pixel differs far more: the comparison can tell.
    QImage shifted(viewport, QImage::Format_RGB32);
    shifted.fill(Qt::white);
    QPainter(&shifted).drawImage(1, 0, reference);
    QVERIFY(difference(drawFitted(picture, viewport), shifted).first > 2 * mean);
}

QTEST_MAIN(TestMapPicture)
#include "tst_mappicture.moc"
