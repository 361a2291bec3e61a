#include "gifwriter.h"
#include "mapsheet.h"

#include <QBuffer>
#include <QDir>
#include <QImageReader>
#include <QTest>
#include <random>

// The GIF writer read back by Qt's own reader, the routes' lengths, and the committed sample maps.
class TestMapMaker : public QObject
{
    Q_OBJECT
private slots:
    void gifRoundTrip_data();
    void gifRoundTrip();
    void gifNeedsIndexedPicture();
    void routeKm_data();
    void routeKm();
    void sampleMaps_data();
    void sampleMaps();

private:
    static QImage decode(const QByteArray& bytes);
};

QImage TestMapMaker::decode(const QByteArray& bytes)
{
    QBuffer buffer;
    buffer.setData(bytes);
    QImageReader reader(&buffer, "gif");
    return reader.read();
}

void TestMapMaker::gifRoundTrip_data()
{
    QTest::addColumn<int>("width");
    QTest::addColumn<int>("height");
    QTest::addColumn<int>("colours");
    QTest::addColumn<bool>("noise");
    QTest::newRow("one pixel") << 1 << 1 << 2 << false;
    QTest::newRow("flat stripes") << 300 << 200 << 4 << false;
    // Noise fills the 4096-code table many times over: every clear and widening of the codes is used.
    QTest::newRow("noise, 256 colours") << 320 << 240 << 256 << true;
    QTest::newRow("noise, 3 colours") << 500 << 300 << 3 << true;
}

void TestMapMaker::gifRoundTrip()
{
    QFETCH(int, width);
    QFETCH(int, height);
    QFETCH(int, colours);
    QFETCH(bool, noise);
    QImage picture(width, height, QImage::Format_Indexed8);
    QList<QRgb> table;
    for (int k = 0; k < colours; ++k)
        table << qRgb(k, 255 - k, (k * 37) % 256);
    picture.setColorTable(table);
    std::mt19937 rng(5);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            picture.setPixel(x, y, noise ? int(rng() % colours) : (x / 7 + y / 5) % colours);

    QCOMPARE(decode(EncodeGif(picture)).convertToFormat(QImage::Format_RGB32),
             picture.convertToFormat(QImage::Format_RGB32));
}

void TestMapMaker::gifNeedsIndexedPicture()
{
    QImage rgb(4, 4, QImage::Format_RGB32);
    rgb.fill(Qt::red);
    QVERIFY(EncodeGif(rgb).isEmpty());
    QString error;
    QVERIFY(!WriteGif(rgb, QDir::temp().filePath("never.gif"), &error));
    QVERIFY(!error.isEmpty());
}

void TestMapMaker::routeKm_data()
{
    QTest::addColumn<QList<QPoint>>("route");
    QTest::addColumn<double>("km");
    QTest::newRow("one point") << QList<QPoint>{{5, 5}} << 0.0;
    QTest::newRow("one grid square") << QList<QPoint>{{125, 125}, {375, 125}} << 1.0;
    QTest::newRow("3-4-5 pieces") << QList<QPoint>{{0, 0}, {150, 200}, {390, 270}, {270, 305}} << 2.5;
    QTest::newRow("diagonal of a square") << QList<QPoint>{{0, 0}, {250, 250}} << std::sqrt(2.0);
}

void TestMapMaker::routeKm()
{
    QFETCH(QList<QPoint>, route);
    QFETCH(double, km);
    QCOMPARE(RouteKm(route), km);
}

void TestMapMaker::sampleMaps_data()
{
    QTest::addColumn<QString>("file");
    QTest::addColumn<QByteArray>("format");
    QTest::newRow("GIF") << "ashby-moor.gif" << QByteArray("gif");
    QTest::newRow("JPEG") << "cold-fell.jpg" << QByteArray("jpeg");
    QTest::newRow("BMP") << "rushmere-edge.bmp" << QByteArray("bmp");
}

void TestMapMaker::sampleMaps()
{
    QFETCH(QString, file);
    QFETCH(QByteArray, format);
    QImageReader reader(QStringLiteral(MAPWHEEL_SOURCE_DIR "/Maps/") + file);
    QCOMPARE(reader.format(), format);
    const QImage map = reader.read();
    QVERIFY2(!map.isNull(), qPrintable(reader.errorString()));
    QCOMPARE(map.size(), QSize(SheetWidth, SheetHeight));
    // The first vertical grid line is where the scale says, 1 km left of the next one: grid blue there
    // and not a few pixels aside (on most rows; a river or a wood may cover a place here and there).
    const auto blueish = [](QRgb c) { return qBlue(c) > qRed(c) + 40 && qGray(c) < 170; };
    int rowsWithGrid = 0;
    for (int y = 0; y < MapHeight; y += 50) {
        if (blueish(map.pixel(GridOrigin, y)) && blueish(map.pixel(GridOrigin + PixelsPerKm, y)) &&
            !blueish(map.pixel(GridOrigin - 6, y)) && !blueish(map.pixel(GridOrigin + PixelsPerKm + 8, y)))
            ++rowsWithGrid;
    }
    QVERIFY2(rowsWithGrid >= 10, qPrintable(QString::number(rowsWithGrid)));
}

QTEST_MAIN(TestMapMaker)
#include "tst_mapmaker.moc"
