#include "maploader.h"
#include "picturebuffer.h"
#include "synthmap.h"

#include <QDataStream>
#include <QFile>
#include <QImageReader>
#include <QImageWriter>
#include <QTemporaryDir>
#include <QTest>
#include <cstring>

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
bool writePicture(const QString& path, const QImage& image)
{
    if (path.endsWith(".gif"))
        return writeGif(image, path);
    QImageWriter writer(path);
    writer.setQuality(95);
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

// Header fields in the little-endian order BMP and GIF files store them.
template <typename... T> QByteArray littleEndian(T... fields)
{
    QByteArray b;
    QDataStream out(&b, QIODevice::WriteOnly);
    out.setByteOrder(QDataStream::LittleEndian);
    (out << ... << fields);
    return b;
}

bool risesStrictly(const QList<int>& percents)
{
    return std::adjacent_find(percents.begin(), percents.end(), std::greater_equal<int>()) == percents.end();
}

} // namespace

class TestMapLoader : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void loadsEachKind_data();
    void loadsEachKind();
    void opensOrRefuses_data();
    void opensOrRefuses();
    void progressRisesTo100AndOnlyTheNewestLoadFinishes_data();
    void progressRisesTo100AndOnlyTheNewestLoadFinishes();
    void sketchRowsComeFinishedBeforeThePicture_data();
    void sketchRowsComeFinishedBeforeThePicture();
    void destroyingTheLoaderAbandonsItsLoad();

private:
    QString path(const QString& name) const { return m_dir.filePath(name); }
    MapPicturePtr load(const QString& name, QString* error, qint64 limit = gib) const
    {
        return MapLoader::loadBlocking(path(name), error, LoadLimits{limit});
    }
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
    QTest::addColumn<QSize>("size");
    QTest::addColumn<bool>("grey");
    QTest::addColumn<int>("tolerance"); // against Qt's own reading of the same file
    QTest::newRow("jpeg") << "map.jpg" << QSize(700, 530) << false << 2;
    QTest::newRow("grey jpeg") << "grey.jpg" << QSize(700, 530) << true << 2;
    QTest::newRow("bmp") << "map.bmp" << QSize(700, 530) << false << 0;
    QTest::newRow("png") << "map.png" << QSize(700, 530) << false << 0;
    QTest::newRow("gif") << "map.gif" << QSize(700, 530) << false << 0;
    QTest::newRow("tiff") << "map.tif" << QSize(700, 530) << false << 0;
    // Tall enough for many bands to be shrunk while the reader is still below them.
    QTest::newRow("tall bmp") << "tall.bmp" << QSize(500, 4000) << false << 0;
}

void TestMapLoader::loadsEachKind()
{
    QFETCH(QString, name);
    QFETCH(QSize, size);
    QFETCH(bool, grey);
    QFETCH(int, tolerance);
    const QImage map = makeSyntheticMap(size, 42);
    QVERIFY(writePicture(path(name), grey ? map.convertToFormat(QImage::Format_Grayscale8) : map));
    QString error = "not cleared";
    const MapPicturePtr picture = load(name, &error);
    QVERIFY2(picture, qPrintable(error));
    QCOMPARE(error, QString());
    QCOMPARE(picture->naturalSize(), size);
    QVERIFY(picture->full().format() == QImage::Format_RGB32 ||
            picture->full().format() == QImage::Format_ARGB32_Premultiplied);
    QCOMPARE(qAlpha(picture->full().pixel(0, 0)), 255);
    QCOMPARE(picture->full().allGray(), grey);
    // Qt's reading is right about colours: a swapped or misconverted channel shows here.
    const QImage qtReading = QImageReader(path(name)).read();
    QVERIFY(!qtReading.isNull());
    QVERIFY(channelDifference(picture->full(), qtReading) <= tolerance);
    const MapPicture whole(picture->full());
    QVERIFY(!whole.levels().empty());
    QCOMPARE(picture->levels(), whole.levels());
}

void TestMapLoader::opensOrRefuses_data()
{
    QTest::addColumn<QString>("name");     // huge.*: must be refused before any picture memory is taken
    QTest::addColumn<QByteArray>("bytes"); // null: no file at all
    QTest::addColumn<qint64>("limit");
    QTest::addColumn<QString>("error"); // empty: the file opens
    const auto row = [](const QString& tag, const QString& name, const QByteArray& bytes,
                        const QString& error, qint64 limit = 8 * gib) {
        QTest::addRow("%s", qPrintable(tag)) << name << bytes << limit << error;
    };
    const auto encoded = [this](const QString& name, const QImage& image) {
        return writePicture(path(name), image) ? readFile(path(name)) : QByteArray();
    };

    // 100 x 80 pixels at 4 bytes each: 32000 bytes.
    const QString tooLarge =
        "%1 is 100 x 80 pixels: it needs 1 MB of memory, more than this computer can spare.";
    for (const QString name : {"small.jpg", "small.bmp", "small.png", "small.gif"}) {
        const QByteArray small = encoded(name, m_map.copy(0, 0, 100, 80));
        QVERIFY(!small.isEmpty());
        row(name + " at the memory limit", name, small, QString(), 32000);
        row(name + " a byte over", name, small, tooLarge.arg(name), 31999);
    }

    const QString truncated = "%1 is damaged: it ends before the picture does.";
    const QByteArray jpeg = encoded("whole.jpg", m_map);
    QVERIFY(!jpeg.isEmpty());
    for (double kept : {0.9, 0.5, 0.1})
        row(QString("jpeg cut to %1").arg(kept), "cut.jpg", jpeg.left(int(jpeg.size() * kept)),
            truncated.arg("cut.jpg"));
    // Without only its end marker every row is there: that file opens.
    row("jpeg without its end marker", "noend.jpg", jpeg.chopped(2), QString());

    // Qt's own reader says nothing of these and fills in the missing rows.
    const QByteArray bmp = encoded("whole.bmp", m_map);
    QVERIFY(!bmp.isEmpty());
    row("bmp cut to two thirds", "cut.bmp", bmp.left(bmp.size() * 2 / 3), truncated.arg("cut.bmp"));
    row("bmp a byte short", "short.bmp", bmp.chopped(1), truncated.arg("short.bmp"));

    const QByteArray gif = encoded("good.gif", m_map);
    const int descriptor = 13 + 3 * 256; // screen descriptor and the 256-entry colour table
    QCOMPARE(gif.at(descriptor), ',');
    const QString undecodable = "bad.gif is damaged: its picture data cannot be decoded.";
    QByteArray unknownBlock = gif, codeSize = gif;
    unknownBlock[descriptor] = '\x99';
    codeSize[descriptor + 10] = '\x00';
    row("gif cut in the picture data", "bad.gif", gif.left(gif.size() / 2), truncated.arg("bad.gif"));
    row("gif, no picture after the colour table", "bad.gif", gif.left(descriptor), truncated.arg("bad.gif"));
    row("gif, unknown block", "bad.gif", unknownBlock, undecodable);
    row("gif, impossible code size", "bad.gif", codeSize, undecodable);

    // Tiny files whose headers claim 60000 x 60000 (13.4 GiB at 4 bytes a pixel).
    const QString huge =
        "%1 is 60000 x 60000 pixels: it needs 13.4 GB of memory, more than this computer can spare.";
    const quint16 big = 60000;
    const QByteArray hugeBmp = "BM" + littleEndian(quint32(0xffffffff), 0, 54, 40, qint32(big), qint32(big)) +
                               littleEndian(quint16(1), quint16(24)) + QByteArray(24, '\0') +
                               QByteArray(100, '\x7f');
    row("huge bmp", "huge.bmp", hugeBmp, huge.arg("huge.bmp"));
    QByteArray hugeJpeg = encoded("seed.jpg", m_map.copy(0, 0, 32, 32));
    const int sof = hugeJpeg.indexOf("\xff\xc0");
    QVERIFY(sof > 0);
    for (int at : {sof + 5, sof + 7}) { // height, then width, big-endian
        hugeJpeg[at] = char(60000 >> 8);
        hugeJpeg[at + 1] = char(60000 & 0xff);
    }
    row("huge jpeg", "huge.jpg", hugeJpeg, huge.arg("huge.jpg"));
    const QByteArray hugeGif = "GIF89a" + littleEndian(big, big) + QByteArray(3, '\0') + ',' +
                               littleEndian(0, big, big) + QByteArray("\0\x08\x02\x4c\x01\x00;", 7);
    row("huge gif", "huge.gif", hugeGif, huge.arg("huge.gif"));

    const QString unreadable = "%1 is not a picture Mapwheel can read.";
    row("text", "notes.jpg", "Walk from the mill to the beacon.\n", unreadable.arg("notes.jpg"));
    row("empty", "empty.gif", "", unreadable.arg("empty.gif"));
    row("JPEG signature, then nothing", "stub.jpg", QByteArray("\xff\xd8\xff\xe0\x00\x10JFIF", 10),
        truncated.arg("stub.jpg"));
    row("missing", "gone.bmp", QByteArray(), "gone.bmp cannot be opened: there is no such file.");
}

void TestMapLoader::opensOrRefuses()
{
    QFETCH(QString, name);
    QFETCH(QByteArray, bytes);
    QFETCH(qint64, limit);
    QFETCH(QString, error);
    if (!bytes.isNull())
        QVERIFY(writeFile(path(name), bytes));
    const bool huge = name.startsWith("huge");
    if (huge)
        QVERIFY(bytes.size() < 1000);
    const qint64 allocatedBefore = PictureBuffer::totalAllocated();
    QString message = "not set";
    const MapPicturePtr picture = load(name, &message, limit);
    QCOMPARE(message, error);
    QCOMPARE(bool(picture), error.isEmpty());
    if (huge)
        QCOMPARE(PictureBuffer::totalAllocated(), allocatedBefore);
}

void TestMapLoader::progressRisesTo100AndOnlyTheNewestLoadFinishes_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("abandoned"); // started just before, then replaced
    QTest::newRow("jpeg, decoded here") << "tall.jpg" << QString();
    QTest::newRow("png, through Qt") << "tall.png" << QString();
    QTest::newRow("JPEG abandoned") << "tall.bmp"
                                    << "first.jpg";
    QTest::newRow("PNG abandoned") << "tall.bmp"
                                   << "first.png";
}

void TestMapLoader::progressRisesTo100AndOnlyTheNewestLoadFinishes()
{
    QFETCH(QString, name);
    QFETCH(QString, abandoned);
    // Tall enough for many bands, so that progress comes in many steps.
    QVERIFY(writePicture(path(name), makeSyntheticMap({400, 3000}, 9)));
    MapLoader loader(LoadLimits{gib});
    QStringList events; // percentages, then how it finished
    connect(&loader, &MapLoader::progress, this, [&](int p) { events << QString::number(p); });
    connect(&loader, &MapLoader::finished, this, [&](MapPicturePtr p, const QString& error) {
        events << (p && error.isEmpty() ? QDebug::toString(p->naturalSize()) : "failed: " + error);
    });
    if (!abandoned.isEmpty()) {
        QVERIFY(writePicture(path(abandoned), makeSyntheticMap({600, 2000}, 1)));
        loader.start(path(abandoned));
    }
    loader.start(path(name));
    QTRY_VERIFY(!events.isEmpty() && !events.last().front().isDigit());
    if (!abandoned.isEmpty())
        QTest::qWait(50); // give a stray signal from the first load the chance to arrive
    QCOMPARE(events.takeLast(), QDebug::toString(QSize(400, 3000)));
    QList<int> percents; // anything else finishing among them reads as 0 and breaks the rise
    for (const QString& e : events)
        percents << e.toInt();
    QVERIFY(percents.size() >= 3);
    QCOMPARE(percents.first(), 0);
    QCOMPARE(percents.last(), 100);
    QVERIFY2(risesStrictly(percents), qPrintable(events.join(' ')));
}

void TestMapLoader::sketchRowsComeFinishedBeforeThePicture_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QSize>("size");
    QTest::addColumn<QSize>("sketch"); // the smallest copy with a side over 256 pixels
    QTest::newRow("jpeg, bands in order") << "sketch.jpg" << QSize(800, 2400) << QSize(100, 300);
    QTest::newRow("bmp, bottom band first") << "sketch.bmp" << QSize(500, 4000) << QSize(62, 500);
    QTest::newRow("png, bands shrunk by two threads") << "sketch.png" << QSize(600, 1800) << QSize(150, 450);
}

void TestMapLoader::sketchRowsComeFinishedBeforeThePicture()
{
    QFETCH(QString, name);
    QFETCH(QSize, size);
    QFETCH(QSize, sketch);
    QVERIFY(writePicture(path(name), makeSyntheticMap(size, 3)));
    MapLoader loader(LoadLimits{gib});
    MapPicturePtr picture;
    QImage seen(sketch, QImage::Format_RGB32); // each row as it was when reported
    QList<int> reported(sketch.height(), 0);
    connect(&loader, &MapLoader::sketchRows, this, [&](const QImage& rows, int first, int end) {
        QVERIFY(!picture);
        QCOMPARE(rows.size(), sketch);
        for (int y = first; y < end; ++y) {
            ++reported[y];
            std::memcpy(seen.scanLine(y), rows.constScanLine(y), size_t(rows.bytesPerLine()));
        }
    });
    connect(&loader, &MapLoader::finished, this, [&](MapPicturePtr p, const QString&) { picture = p; });
    loader.start(path(name));
    QTRY_VERIFY(picture);
    QCOMPARE(reported, QList<int>(sketch.height(), 1));
    const auto copy = std::find_if(picture->levels().begin(), picture->levels().end(),
                                   [&](const QImage& level) { return level.size() == sketch; });
    QVERIFY(copy != picture->levels().end());
    QCOMPARE(seen, *copy);
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
