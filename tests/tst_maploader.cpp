#include "maploader.h"
#include "picturebuffer.h"
#include "synthmap.h"

#include <QFile>
#include <QImageReader>
#include <QImageWriter>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

namespace
{

constexpr qint64 gib = qint64(1) << 30;

bool writeFile(const QString& path, const QByteArray& bytes)
{
    QFile f(path);
    return f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size();
}

QByteArray readFile(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// Writes `image` in the format the file name's suffix names; GIF through the bench's own writer.
bool writePicture(const QString& path, const QImage& image, int quality = 95)
{
    if (path.endsWith(".gif"))
        return writeGif(image, path);
    QImageWriter writer(path);
    writer.setQuality(quality);
    return writer.write(image);
}

int channelDifference(const QImage& a, const QImage& b)
{
    const QImage x = a.convertToFormat(QImage::Format_RGB32), y = b.convertToFormat(QImage::Format_RGB32);
    int worst = 0;
    for (int r = 0; r < x.height(); ++r) {
        const auto* p = reinterpret_cast<const quint32*>(x.constScanLine(r));
        const auto* q = reinterpret_cast<const quint32*>(y.constScanLine(r));
        for (int c = 0; c < x.width(); ++c)
            for (int shift = 0; shift < 24; shift += 8)
                worst = std::max(worst, std::abs(int((p[c] >> shift) & 0xff) - int((q[c] >> shift) & 0xff)));
    }
    return worst;
}

void put16le(QByteArray& b, int at, int v)
{
    b[at] = char(v & 0xff);
    b[at + 1] = char((v >> 8) & 0xff);
}

void put32le(QByteArray& b, int at, qint64 v)
{
    for (int i = 0; i < 4; ++i)
        b[at + i] = char((v >> (8 * i)) & 0xff);
}

// A BMP file header and info header for a 24-bit picture of width x height, without the rows.
QByteArray bmpHeader(int width, int height)
{
    QByteArray b(54, '\0');
    b[0] = 'B';
    b[1] = 'M';
    const qint64 rows = qint64((width * 24 + 31) / 32 * 4) * height;
    put32le(b, 2, std::min<qint64>(54 + rows, 0xffffffff));
    put32le(b, 10, 54);
    put32le(b, 14, 40);
    put32le(b, 18, width);
    put32le(b, 22, height);
    put16le(b, 26, 1);
    put16le(b, 28, 24);
    return b;
}

} // namespace

class TestMapLoader : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void loadsEachKind_data();
    void loadsEachKind();
    void bmpCopiesShrunkWhileReadingMatchTheWhole();
    void keepsColoursInTheirChannels();
    void loadsGreyJpeg();
    void memoryLimit_data();
    void memoryLimit();
    void refusesAHugeHeaderAtOnce_data();
    void refusesAHugeHeaderAtOnce();
    void noticesTruncatedJpeg_data();
    void noticesTruncatedJpeg();
    void noticesTruncatedBmp();
    void refusesCorruptGif_data();
    void refusesCorruptGif();
    void refusesWhatIsNoPicture_data();
    void refusesWhatIsNoPicture();
    void progressRisesTo100BeforeFinished_data();
    void progressRisesTo100BeforeFinished();
    void previewComesFirstAndStandsInForTheWholeMap();
    void aNewerLoadReplacesAnOlderOne_data();
    void aNewerLoadReplacesAnOlderOne();
    void destroyingTheLoaderAbandonsItsLoad();

private:
    QString path(const QString& name) const { return m_dir.filePath(name); }
    QTemporaryDir m_dir;
    QImage m_map; // 700 x 530, a small scanned-looking map
};

void TestMapLoader::initTestCase()
{
    QVERIFY(m_dir.isValid());
    m_map = makeSyntheticMap({700, 530}, 42);
    QVERIFY(!m_map.isNull());
}

void TestMapLoader::loadsEachKind_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<int>("tolerance"); // against Qt's own reading of the same file
    QTest::newRow("jpeg") << "map.jpg" << 2;
    QTest::newRow("bmp") << "map.bmp" << 0;
    QTest::newRow("png") << "map.png" << 0;
    QTest::newRow("gif") << "map.gif" << 0;
    QTest::newRow("tiff") << "map.tif" << 0;
}

void TestMapLoader::loadsEachKind()
{
    QFETCH(QString, name);
    QFETCH(int, tolerance);
    QVERIFY(writePicture(path(name), m_map));
    QString error = "not cleared";
    const MapPicturePtr picture = MapLoader::loadBlocking(path(name), &error, LoadLimits{gib});
    QVERIFY2(picture, qPrintable(error));
    QCOMPARE(error, QString());
    QCOMPARE(picture->naturalSize(), QSize(700, 530));
    QVERIFY(!picture->isPreview());
    QVERIFY(picture->full().format() == QImage::Format_RGB32 ||
            picture->full().format() == QImage::Format_ARGB32_Premultiplied);
    QCOMPARE(picture->levels().size(), size_t(2));
    QCOMPARE(picture->levels()[0].size(), QSize(350, 265));
    QCOMPARE(picture->levels()[1].size(), QSize(175, 132));
    QCOMPARE(picture->levels()[0], MapPicture::halve(picture->full()));
    QCOMPARE(picture->levels()[1], MapPicture::halve(picture->levels()[0]));
    const QImage qtReading = QImageReader(path(name)).read();
    QVERIFY(!qtReading.isNull());
    QVERIFY(channelDifference(picture->full(), qtReading) <= tolerance);
}

void TestMapLoader::bmpCopiesShrunkWhileReadingMatchTheWhole()
{
    // Tall enough for many bands to be shrunk while the reader is still below them.
    const QImage tall = makeSyntheticMap({500, 4000}, 8);
    QVERIFY(writePicture(path("tall.bmp"), tall));
    QString error;
    const MapPicturePtr picture = MapLoader::loadBlocking(path("tall.bmp"), &error, LoadLimits{gib});
    QVERIFY2(picture, qPrintable(error));
    QCOMPARE(picture->full(), tall);
    const MapPicture whole(tall);
    QCOMPARE(picture->levels().size(), whole.levels().size());
    for (size_t k = 0; k < whole.levels().size(); ++k)
        QCOMPARE(picture->levels()[k], whole.levels()[k]);
}

void TestMapLoader::keepsColoursInTheirChannels()
{
    QImage stripes(300, 100, QImage::Format_RGB32);
    for (int x = 0; x < 300; ++x)
        for (int y = 0; y < 100; ++y)
            stripes.setPixel(x, y, x < 100 ? 0xffff0000U : x < 200 ? 0xff00ff00U : 0xff0000ffU);
    QVERIFY(writePicture(path("stripes.jpg"), stripes));
    QString error;
    const MapPicturePtr picture = MapLoader::loadBlocking(path("stripes.jpg"), &error, LoadLimits{gib});
    QVERIFY2(picture, qPrintable(error));
    const QImage& img = picture->full();
    const QRgb red = img.pixel(50, 50), green = img.pixel(150, 50), blue = img.pixel(250, 50);
    QVERIFY(qRed(red) > 230 && qGreen(red) < 25 && qBlue(red) < 25);
    QVERIFY(qGreen(green) > 230 && qRed(green) < 25 && qBlue(green) < 25);
    QVERIFY(qBlue(blue) > 230 && qRed(blue) < 25 && qGreen(blue) < 25);
    QCOMPARE(qAlpha(img.pixel(0, 0)), 255);
}

void TestMapLoader::loadsGreyJpeg()
{
    const QImage grey = m_map.convertToFormat(QImage::Format_Grayscale8);
    QVERIFY(writePicture(path("grey.jpg"), grey));
    QString error;
    const MapPicturePtr picture = MapLoader::loadBlocking(path("grey.jpg"), &error, LoadLimits{gib});
    QVERIFY2(picture, qPrintable(error));
    const QRgb p = picture->full().pixel(123, 321);
    QCOMPARE(qRed(p), qGreen(p));
    QCOMPARE(qGreen(p), qBlue(p));
    QVERIFY(std::abs(qRed(p) - qGray(grey.pixel(123, 321))) <= 6);
}

void TestMapLoader::memoryLimit_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<qint64>("limit");
    QTest::addColumn<QString>("error");
    // 100 x 80 pixels at 4 bytes each: 32000 bytes.
    const QString tooLarge =
        "%1 is 100 x 80 pixels: it needs 1 MB of memory, more than this computer can spare.";
    for (const char* name : {"small.jpg", "small.bmp", "small.png", "small.gif"}) {
        QTest::addRow("%s at the limit", name) << name << qint64(32000) << QString();
        QTest::addRow("%s a byte over", name) << name << qint64(31999) << tooLarge.arg(name);
    }
}

void TestMapLoader::memoryLimit()
{
    QFETCH(QString, name);
    QFETCH(qint64, limit);
    QFETCH(QString, error);
    QVERIFY(writePicture(path(name), m_map.copy(0, 0, 100, 80)));
    QString message;
    const MapPicturePtr picture = MapLoader::loadBlocking(path(name), &message, LoadLimits{limit});
    QCOMPARE(message, error);
    QCOMPARE(bool(picture), error.isEmpty());
    if (picture)
        QCOMPARE(picture->naturalSize(), QSize(100, 80));
}

void TestMapLoader::refusesAHugeHeaderAtOnce_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QByteArray>("bytes");

    QByteArray bmp = bmpHeader(60000, 60000);
    bmp.append(QByteArray(100, '\x7f'));
    QTest::newRow("bmp") << "huge.bmp" << bmp;

    // A real small JPEG whose frame header is made to claim 60000 x 60000.
    QVERIFY(writePicture(path("seed.jpg"), m_map.copy(0, 0, 32, 32)));
    QByteArray jpeg = readFile(path("seed.jpg"));
    const int sof = jpeg.indexOf("\xff\xc0");
    QVERIFY(sof > 0);
    for (int at : {sof + 5, sof + 7}) { // height, then width, big-endian
        jpeg[at] = char(60000 >> 8);
        jpeg[at + 1] = char(60000 & 0xff);
    }
    QTest::newRow("jpeg") << "huge.jpg" << jpeg;

    QByteArray gif("GIF89a");
    gif.append(QByteArray(7, '\0'));
    put16le(gif, 6, 60000);
    put16le(gif, 8, 60000);
    gif.append(',');
    gif.append(QByteArray(9, '\0'));
    put16le(gif, 18, 60000);
    put16le(gif, 20, 60000);
    gif.append("\x08\x02\x4c\x01\x00;", 6);
    QTest::newRow("gif") << "huge.gif" << gif;
}

void TestMapLoader::refusesAHugeHeaderAtOnce()
{
    QFETCH(QString, name);
    QFETCH(QByteArray, bytes);
    QVERIFY(bytes.size() < 1000);
    QVERIFY(writeFile(path(name), bytes));
    const qint64 allocatedBefore = PictureBuffer::totalAllocated();
    QString error;
    const MapPicturePtr picture = MapLoader::loadBlocking(path(name), &error, LoadLimits{8 * gib});
    QVERIFY(!picture);
    // 60000 x 60000 x 4 bytes = 14.4e9 bytes = 13.4 GiB
    QCOMPARE(error,
             name +
                 " is 60000 x 60000 pixels: it needs 13.4 GB of memory, more than this computer can spare.");
    QCOMPARE(PictureBuffer::totalAllocated(), allocatedBefore);
}

void TestMapLoader::noticesTruncatedJpeg_data()
{
    QTest::addColumn<double>("kept"); // share of the file left
    QTest::newRow("nine tenths") << 0.9;
    QTest::newRow("half") << 0.5;
    QTest::newRow("a tenth") << 0.1;
}

void TestMapLoader::noticesTruncatedJpeg()
{
    QFETCH(double, kept);
    QVERIFY(writePicture(path("whole.jpg"), m_map));
    const QByteArray whole = readFile(path("whole.jpg"));
    QVERIFY(writeFile(path("cut.jpg"), whole.left(int(whole.size() * kept))));
    QString error;
    QVERIFY(!MapLoader::loadBlocking(path("cut.jpg"), &error, LoadLimits{gib}));
    QCOMPARE(error, QString("cut.jpg is damaged: it ends before the picture does."));

    // Without only its end marker, every row is there: that file opens.
    QVERIFY(writeFile(path("noend.jpg"), whole.left(whole.size() - 2)));
    QVERIFY(MapLoader::loadBlocking(path("noend.jpg"), &error, LoadLimits{gib}));
    QCOMPARE(error, QString());
}

void TestMapLoader::noticesTruncatedBmp()
{
    QVERIFY(writePicture(path("whole.bmp"), m_map));
    const QByteArray whole = readFile(path("whole.bmp"));
    QVERIFY(writeFile(path("cut.bmp"), whole.left(whole.size() * 2 / 3)));
    // Qt's own reader says nothing and fills in the missing rows:
    QImageReader plain(path("cut.bmp"));
    QVERIFY(!plain.read().isNull());
    QString error;
    QVERIFY(!MapLoader::loadBlocking(path("cut.bmp"), &error, LoadLimits{gib}));
    QCOMPARE(error, QString("cut.bmp is damaged: it ends before the picture does."));
    // One byte short is short too.
    QVERIFY(writeFile(path("short.bmp"), whole.left(whole.size() - 1)));
    QVERIFY(!MapLoader::loadBlocking(path("short.bmp"), &error, LoadLimits{gib}));
    QCOMPARE(error, QString("short.bmp is damaged: it ends before the picture does."));
}

void TestMapLoader::refusesCorruptGif_data()
{
    QTest::addColumn<QString>("damage");
    QTest::addColumn<QString>("error");
    const QString truncated = "bad.gif is damaged: it ends before the picture does.";
    const QString damaged = "bad.gif is damaged: its picture data cannot be decoded.";
    QTest::newRow("cut in the picture data") << "cut" << truncated;
    QTest::newRow("no picture after the colour table") << "no picture" << truncated;
    QTest::newRow("unknown block") << "unknown block" << damaged;
    QTest::newRow("impossible code size") << "code size" << damaged;
}

void TestMapLoader::refusesCorruptGif()
{
    QFETCH(QString, damage);
    QFETCH(QString, error);
    QVERIFY(writePicture(path("good.gif"), m_map));
    QByteArray gif = readFile(path("good.gif"));
    const int descriptor = 13 + 3 * 256; // screen descriptor and the 256-entry colour table
    QCOMPARE(gif.at(descriptor), ',');
    if (damage == "cut")
        gif.truncate(gif.size() / 2);
    else if (damage == "no picture")
        gif.truncate(descriptor);
    else if (damage == "unknown block")
        gif[descriptor] = '\x99';
    else if (damage == "code size")
        gif[descriptor + 10] = '\x00';
    QVERIFY(writeFile(path("bad.gif"), gif));
    QString message;
    QVERIFY(!MapLoader::loadBlocking(path("bad.gif"), &message, LoadLimits{gib}));
    QCOMPARE(message, error);
}

void TestMapLoader::refusesWhatIsNoPicture_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QByteArray>("bytes"); // empty: no file at all
    QTest::addColumn<QString>("error");
    QTest::newRow("text") << "notes.jpg" << QByteArray("Walk from the mill to the beacon.\n")
                          << "notes.jpg is not a picture Mapwheel can read.";
    QTest::newRow("empty") << "empty.gif" << QByteArray("")
                           << "empty.gif is not a picture Mapwheel can read.";
    QTest::newRow("JPEG signature, then nothing")
        << "stub.jpg" << QByteArray("\xff\xd8\xff\xe0\x00\x10JFIF", 10)
        << "stub.jpg is damaged: it ends before the picture does.";
    QTest::newRow("missing") << "gone.bmp" << QByteArray()
                             << "gone.bmp cannot be opened: there is no such file.";
}

void TestMapLoader::refusesWhatIsNoPicture()
{
    QFETCH(QString, name);
    QFETCH(QByteArray, bytes);
    QFETCH(QString, error);
    if (!bytes.isNull())
        QVERIFY(writeFile(path(name), bytes));
    QString message;
    QVERIFY(!MapLoader::loadBlocking(path(name), &message, LoadLimits{gib}));
    QCOMPARE(message, error);
}

void TestMapLoader::progressRisesTo100BeforeFinished_data()
{
    QTest::addColumn<QString>("name");
    QTest::newRow("jpeg, decoded here") << "tall.jpg";
    QTest::newRow("png, through Qt") << "tall.png";
}

void TestMapLoader::progressRisesTo100BeforeFinished()
{
    QFETCH(QString, name);
    // Tall enough for many bands, so that progress comes in many steps.
    QVERIFY(writePicture(path(name), makeSyntheticMap({400, 3000}, 9)));
    MapLoader loader(LoadLimits{gib});
    QStringList events;
    QList<int> percents;
    connect(&loader, &MapLoader::progress, this, [&](int p) {
        percents << p;
        events << "progress";
    });
    connect(&loader, &MapLoader::finished, this, [&](MapPicturePtr picture, const QString& error) {
        events << (picture && error.isEmpty() ? "finished" : "failed: " + error);
    });
    loader.start(path(name));
    QTRY_COMPARE(events.isEmpty() ? QString() : events.last(), QString("finished"));
    QCOMPARE(events.count("finished"), 1);
    QVERIFY(percents.size() >= 3);
    QCOMPARE(percents.first(), 0);
    QCOMPARE(percents.last(), 100);
    for (int i = 1; i < percents.size(); ++i)
        QVERIFY2(percents[i] > percents[i - 1],
                 qPrintable(QString("%1 after %2").arg(percents[i]).arg(percents[i - 1])));
}

void TestMapLoader::previewComesFirstAndStandsInForTheWholeMap()
{
    QVERIFY(writePicture(path("preview.jpg"), makeSyntheticMap({800, 600}, 3)));
    MapLoader loader(LoadLimits{gib});
    loader.setPreviewFromPixels(1);
    QStringList events;
    MapPicturePtr reduced, picture;
    connect(&loader, &MapLoader::preview, this, [&](MapPicturePtr p) {
        reduced = p;
        events << "preview";
    });
    connect(&loader, &MapLoader::finished, this, [&](MapPicturePtr p, const QString&) {
        picture = p;
        events << "finished";
    });
    loader.start(path("preview.jpg"));
    QTRY_VERIFY(picture);
    QCOMPARE(events, QStringList({"preview", "finished"}));
    QVERIFY(reduced->isPreview());
    QCOMPARE(reduced->naturalSize(), QSize(800, 600));
    QCOMPARE(reduced->full().size(), QSize(100, 75));
    int divisor = 0;
    reduced->levelFor(1.0, &divisor);
    QCOMPARE(divisor, 8);
    // The preview is the finished map at an eighth of its size (the smallest copy, 200 x 150, halved).
    QCOMPARE(picture->levels().back().size(), QSize(200, 150));
    QVERIFY(channelDifference(reduced->full(), MapPicture::halve(picture->levels().back())) <= 16);

    // Below the size set, no preview.
    loader.setPreviewFromPixels(800 * 600 + 1);
    events.clear();
    picture.reset();
    loader.start(path("preview.jpg"));
    QTRY_VERIFY(picture);
    QCOMPARE(events, QStringList({"finished"}));
}

void TestMapLoader::aNewerLoadReplacesAnOlderOne_data()
{
    QTest::addColumn<QString>("first");
    QTest::newRow("JPEG abandoned") << "first.jpg";
    QTest::newRow("PNG abandoned") << "first.png";
}

void TestMapLoader::aNewerLoadReplacesAnOlderOne()
{
    QFETCH(QString, first);
    QVERIFY(writePicture(path(first), makeSyntheticMap({600, 2000}, 1)));
    QVERIFY(writePicture(path("second.bmp"), m_map));
    MapLoader loader(LoadLimits{gib});
    QList<QSize> finished;
    QList<int> percents;
    connect(&loader, &MapLoader::finished, this,
            [&](MapPicturePtr p, const QString&) { finished << (p ? p->naturalSize() : QSize()); });
    connect(&loader, &MapLoader::progress, this, [&](int p) { percents << p; });
    loader.start(path(first));
    loader.start(path("second.bmp"));
    QTRY_VERIFY(!finished.isEmpty());
    QTest::qWait(50); // give a stray signal from the first load the chance to arrive
    QCOMPARE(finished, QList<QSize>({QSize(700, 530)}));
    QCOMPARE(percents.last(), 100);
    for (int i = 1; i < percents.size(); ++i)
        QVERIFY(percents[i] > percents[i - 1]);
}

void TestMapLoader::destroyingTheLoaderAbandonsItsLoad()
{
    QVERIFY(writePicture(path("long.jpg"), makeSyntheticMap({800, 3000}, 4)));
    int signalsSeen = 0;
    {
        MapLoader loader(LoadLimits{gib});
        connect(&loader, &MapLoader::finished, this, [&] { ++signalsSeen; });
        loader.start(path("long.jpg"));
    }
    QTest::qWait(50);
    QCOMPARE(signalsSeen, 0);
}

QTEST_MAIN(TestMapLoader)
#include "tst_maploader.moc"
