#include "levelbuilder.h"
#include "loadjob.h"
#include "mappicture.h"
#include "picturebuffer.h"
#include "pictureheader.h"
#include "prefaulter.h"
#include "sketch.h"
#include "synthmap.h"
#include "tiffdecoder.h"

#include <QFile>
#include <QImageWriter>
#include <QTemporaryDir>
#include <QTemporaryFile>
#include <QTest>
#include <QtEndian>
#include <limits>
#include <random>
#include <sys/mman.h>
#include <tiffio.h>
#include <unistd.h>

namespace
{
// Header fields in the little-endian order BMP and GIF files store them.
template <typename... T> QByteArray le(T... fields)
{
    QByteArray b;
    ((fields = qToLittleEndian(fields), b.append(reinterpret_cast<const char*>(&fields), sizeof fields)),
     ...);
    return b;
}

// A BMP's file and info headers, 54 bytes; the rows would follow.
QByteArray bmp(qint32 width, qint32 height, quint16 bits = 24, quint32 compression = 0)
{
    return "BM" + le(0, 0, 54, 40, width, height, quint16(1), bits, compression) + QByteArray(20, '\0');
}

// A 2 x 1 GIF: a 4-colour table, then `before`, then the picture (with a 4-colour table of its own when
// `local`) in LZW codes of `codeSize` bits, one data sub-block, its end mark and the trailer.
QByteArray gif(char codeSize = 2, const QByteArray& before = {}, bool local = false)
{
    return "GIF89a" + le(quint16(2), quint16(1)) + QByteArray("\x81\0\0", 3) + QByteArray(12, '\x40') +
           before + ',' + le(quint16(0), quint16(0), quint16(2), quint16(1)) + (local ? '\x81' : '\0') +
           QByteArray(local ? 12 : 0, '\x20') + codeSize + QByteArray("\x02\x04\x0a\0;", 5);
}

// A TIFF as Qt writes it; compression 1 is LZW.
bool writeTiff(const QImage& image, const QString& path, int compression = 1)
{
    QImageWriter writer(path, "tiff");
    writer.setCompression(compression);
    return writer.write(image);
}

// An RGB TIFF in 64 x 64 tiles, which Qt does not write; the tiles at the right and bottom edges stick out.
bool writeTiledTiff(const QImage& image, const QString& path)
{
    TIFF* tif = TIFFOpen(QFile::encodeName(path).constData(), "w");
    if (!tif)
        return false;
    TIFFSetField(tif, TIFFTAG_IMAGEWIDTH, uint32_t(image.width()));
    TIFFSetField(tif, TIFFTAG_IMAGELENGTH, uint32_t(image.height()));
    TIFFSetField(tif, TIFFTAG_BITSPERSAMPLE, 8);
    TIFFSetField(tif, TIFFTAG_SAMPLESPERPIXEL, 3);
    TIFFSetField(tif, TIFFTAG_PHOTOMETRIC, PHOTOMETRIC_RGB);
    TIFFSetField(tif, TIFFTAG_PLANARCONFIG, PLANARCONFIG_CONTIG);
    TIFFSetField(tif, TIFFTAG_TILEWIDTH, 64);
    TIFFSetField(tif, TIFFTAG_TILELENGTH, 64);
    bool ok = true;
    for (int y = 0; y < image.height(); y += 64)
        for (int x = 0; x < image.width(); x += 64) {
            QImage tile = image.copy(x, y, 64, 64).convertToFormat(QImage::Format_RGB888); // 192-byte rows
            ok = ok && TIFFWriteTile(tif, tile.bits(), uint32_t(x), uint32_t(y), 0, 0) >= 0;
        }
    TIFFClose(tif);
    return ok;
}

// A TIFF with the number in its first directory's entry `tag` replaced; for a little-endian file whose
// entry holds one number in place. Checked against the file's size, as the compiler cannot know it.
QByteArray withTag(QByteArray tiff, quint16 tag, quint32 value)
{
    const quint32 at = tiff.size() >= 8 ? qFromLittleEndian<quint32>(tiff.constData() + 4) : 0;
    const quint16 count =
        at > 0 && at + 2 <= quint32(tiff.size()) ? qFromLittleEndian<quint16>(tiff.constData() + at) : 0;
    for (quint32 e = at + 2; e + 12 <= quint32(tiff.size()) && e < at + 2 + 12u * count; e += 12)
        if (qFromLittleEndian<quint16>(tiff.constData() + e) == tag)
            qToLittleEndian(value, tiff.data() + e + 8);
    return tiff;
}

// An LZW TIFF with a run of codes the decoder's table does not have yet, a third of the way in.
QByteArray scratched(QByteArray tiff)
{
    return tiff.replace(tiff.size() / 3, 64, QByteArray(64, '\xff'));
}

// The mean difference of the channels of two pictures in 32-bit formats without transparency; 0 only when
// they are the same.
double difference(const QImage& a, const QImage& b)
{
    if (a.size() != b.size())
        return 256;
    qint64 sum = 0;
    for (int y = 0; y < a.height(); ++y)
        for (int i = 0; i < a.width() * 4; ++i)
            sum += std::abs(a.constScanLine(y)[i] - b.constScanLine(y)[i]);
    return sum / (3.0 * a.width() * a.height());
}
} // namespace

class TestLoader : public QObject
{
    Q_OBJECT
    QTemporaryDir m_dir;
    QImage m_blocks{1100, 600, QImage::Format_RGB32}; // 16-pixel squares in the GIF writer's own colours

private slots:
    void initTestCase()
    {
        for (int y = 0; y < 600; ++y)
            for (int x = 0; x < 1100; ++x)
                m_blocks.setPixel(x, y, qRgb(x / 16 % 6 * 51, 0, y / 16 % 6 * 51));
        QVERIFY(m_blocks.save(m_dir.filePath("map.jpg"), nullptr, 100) &&
                m_blocks.save(m_dir.filePath("map.bmp")) && writeGif(m_blocks, m_dir.filePath("map.gif")) &&
                writeTiff(m_blocks, m_dir.filePath("map.tif")) && m_blocks.save(m_dir.filePath("map.png")) &&
                m_blocks.mirrored().save(m_dir.filePath("up.bmp")));
    }

    void opens_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QByteArray>("bytes"); // null: the file as it is, or none
        QTest::addColumn<qint64>("limit");
        QTest::addColumn<QString>("error"); // empty: the file opens
        const QString cut = "%1 is damaged: it ends before the picture does.",
                      bad = "%1 is damaged: its picture data cannot be decoded.",
                      huge = "%1 is %2 pixels: it needs %3 GB of memory, more than this computer can spare.";
        const auto file = [this](const char* name) {
            QFile f(m_dir.filePath(name));
            return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
        };
        const auto row = [](const char* name, const QByteArray& bytes, const QString& error,
                            qint64 limit = qint64(1) << 30) {
            QTest::addRow("%s %lld", name, limit)
                << name << bytes << limit << (error.isEmpty() ? error : error.arg(name));
        };
        for (const char* name : {"map.jpg", "map.bmp", "map.gif", "map.tif", "map.png"}) {
            row(name, {}, {}, 2640000); // 1100 x 600 pixels at 4 bytes each
            row(name, {},
                "%1 is 1100 x 600 pixels: it needs 3 MB of memory, more than this computer can spare.",
                2639999);
        }
        row("half.jpg", file("map.jpg").left(file("map.jpg").size() / 2), cut);
        row("short.bmp", file("map.bmp").chopped(1), cut);
        row("half.tif", file("map.tif").left(file("map.tif").size() / 2), cut); // the directory comes last
        const quint32 nearTheEnd = quint32(file("map.tif").size() - 100);
        row("adrift.tif", withTag(file("map.tif"), TIFFTAG_STRIPOFFSETS, nearTheEnd), cut);
        row("scratched.tif", scratched(file("map.tif")), bad);
        row("code12.gif", gif(12), bad);
        row("notes.jpg", "Walk from the mill to the beacon.\n", "%1 is not a picture Mapwheel can read.");
        const qint32 most = std::numeric_limits<qint32>::max(), least = std::numeric_limits<qint32>::min();
        row("huge.bmp", bmp(60000, 60000) + QByteArray(100, '\x7f'), huge.arg("%1", "60000 x 60000", "13.4"));
        row("huge-square.bmp", bmp(most, most), huge.arg("%1", "2147483647 x 2147483647", "17179869168.0"));
        row("huge-lowest.bmp", bmp(60000, least), huge.arg("%1", "60000 x 2147483648", "480000.0"));
        row("huge-deep.bmp", bmp(most, least, 0xffff),
            huge.arg("%1", "2147483647 x 2147483648", "17179869176.0"));
        row("huge-narrow.bmp", bmp(1, most), huge.arg("%1", "1 x 2147483647", "8.0"));
        row("huge-flat.bmp", bmp(most, 1), huge.arg("%1", "2147483647 x 1", "8.0"));
        row("top-down.bmp", file("up.bmp").replace(22, 4, le(-600)), {}); // up.bmp is stored top row first
        row("cut while loading.bmp", file("map.bmp"), cut);               // loses its second half at 20 %
        row("cut while loading.gif", file("map.gif"), cut);
    }
    void opens()
    {
        QFETCH(QString, name);
        QFETCH(QByteArray, bytes);
        QFETCH(qint64, limit);
        QFile f(m_dir.filePath(name));
        QVERIFY(bytes.isNull() || (f.open(QIODevice::WriteOnly) && f.write(bytes) >= 0 && f.flush()));
        LoadJob::Hooks hooks;
        hooks.progress = [&](int percent) {
            if (name.startsWith("cut while") && percent >= 20 && f.size() == bytes.size())
                f.resize(bytes.size() / 2);
        };
        // The user reads the message; the decoders and their libraries leave the standard error alone.
        QTemporaryFile errors;
        QVERIFY(errors.open());
        std::fflush(stderr);
        const int stderrCopy = dup(2);
        dup2(errors.handle(), 2);
        QString error = "not cleared";
        const MapPicturePtr picture = LoadJob::run(f.fileName(), LoadLimits{limit}, hooks, &error);
        std::fflush(stderr);
        dup2(stderrCopy, 2);
        close(stderrCopy);
        QCOMPARE(errors.readAll(), QByteArray());
        QTEST(error, "error");
        QCOMPARE(bool(picture), error.isEmpty());
        if (!picture)
            return;
        const double tolerance = name.endsWith("jpg") ? 3 : 0; // mean channel difference
        QVERIFY(difference(picture->full(), m_blocks) <= tolerance);
        // Shrunk copies: a quarter, then halves until both sides are at most 256 (no half-size copy).
        QCOMPARE(picture->levels().size(), size_t(2));
        QVERIFY(difference(picture->levels()[0], m_blocks.scaled(275, 150)) <= tolerance);
        QVERIFY(difference(picture->levels()[1], m_blocks.scaled(137, 75)) <= tolerance);
    }

    // Layouts the TIFF decoder reads itself come out exactly as Qt's reader gives them; the others go
    // to Qt's reader.
    void tiff_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<bool>("direct");
        QImage alpha = m_blocks.convertToFormat(QImage::Format_ARGB32);
        alpha.setAlphaChannel(m_blocks.convertToFormat(QImage::Format_Grayscale8)); // some see-through
        // Written by Qt with `compression` (1 is LZW), or by the test itself in tiles for -1.
        const auto row = [this](const char* name, bool direct, const QImage& image, int compression = 1) {
            const QString path = m_dir.filePath(name);
            QVERIFY(compression < 0 ? writeTiledTiff(image, path) : writeTiff(image, path, compression));
            QTest::newRow(name) << path << direct;
        };
        row("plain.tif", true, m_blocks, 0);
        row("lzw.tif", true, m_blocks);
        row("grey.tif", true, m_blocks.convertToFormat(QImage::Format_Grayscale8));
        row("palette.tif", true, m_blocks.convertToFormat(QImage::Format_Indexed8));
        row("alpha.tif", true, alpha);
        row("tiled.tif", true, m_blocks, -1);
        row("16-bit.tif", false, m_blocks.convertToFormat(QImage::Format_RGBX64));
    }
    void tiff()
    {
        QFETCH(QString, name);
        QFETCH(bool, direct);
        TiffDecoder decoder(name);
        QCOMPARE(decoder.readHeader(), direct);
        QString error;
        const MapPicturePtr picture = LoadJob::run(name, LoadLimits{qint64(1) << 30}, {}, &error);
        QVERIFY2(picture, qPrintable(error));
        QImage qt(name);
        qt.convertTo(picture->full().format());
        QCOMPARE(picture->full(), qt);
    }

    // A stop request ends the decode at the next band, with no message for the user.
    void tiffStops()
    {
        std::atomic<bool> stop{false};
        int highest = 0;
        LoadJob::Hooks hooks;
        hooks.progress = [&](int percent) {
            highest = percent;
            stop = percent >= 10;
        };
        hooks.stop = &stop;
        QString error = "not cleared";
        QVERIFY(!LoadJob::run(m_dir.filePath("map.tif"), LoadLimits{qint64(1) << 30}, hooks, &error));
        QCOMPARE(error, QString());
        QVERIFY2(highest < 50, qPrintable(QString::number(highest)));
    }

    // The memory of a picture is mapped in a little ahead of the decoder, not all at once, and all of it
    // (with the shrunk copies) by the time the decoder is through.
    void prefaulterKeepsAhead()
    {
        const QImage full = PictureBuffer::allocate(QSize(4096, 4096), QImage::Format_RGB32); // 64 MiB
        LevelBuilder levels(full);
        QVERIFY(!full.isNull() && !levels.isNull());
        const auto resident = [](const QImage& image, qsizetype from, qsizetype to) {
            std::vector<unsigned char> pages(size_t((to - from) / 4096));
            if (mincore(const_cast<uchar*>(image.constBits() + from), size_t(to - from), pages.data()) != 0)
                return qsizetype(-1);
            return qsizetype(
                std::count_if(pages.begin(), pages.end(), [](unsigned char p) { return p & 1; }));
        };
        constexpr qsizetype MiB = qsizetype(1) << 20;
        std::atomic<qsizetype> decoded{8 * MiB};
        Prefaulter prefaulter(full, levels, &decoded);
        QTRY_COMPARE(resident(full, 0, 24 * MiB), 24 * MiB / 4096); // 16 MiB ahead of the decoder
        QTest::qWait(100);
        QCOMPARE(resident(full, 28 * MiB, 64 * MiB), 0); // and no more than a step further
        decoded = full.sizeInBytes();
        QTRY_COMPARE(resident(full, 0, full.sizeInBytes()), full.sizeInBytes() / 4096);
    }

    // Each pixel of a shrunk copy is the mean of four, every channel rounded half up, whatever the width:
    // blocks of four pixels out are worked together, the rest one by one.
    void shrinkingMeansFour()
    {
        std::mt19937 random(7);
        for (const int width : {1, 2, 3, 7, 8, 9, 10, 17, 33}) {
            std::vector<quint32> r0(size_t(width) + 8), r1(r0.size()); // room beyond the width stays unread
            for (size_t i = 0; i < r0.size(); ++i) {
                r0[i] = random();
                r1[i] = i % 3 ? random() : 0xffffffffU; // full channels: sums of 1020 must not carry
            }
            const int out = std::max(1, width / 2);
            std::vector<quint32> shrunk(size_t(out) + 1, 0xdeadbeefU);
            MapPicture::halveRow(r0.data(), r1.data(), width, shrunk.data());
            QCOMPARE(shrunk[size_t(out)], 0xdeadbeefU);
            for (int x = 0; x < out; ++x) {
                const size_t left = size_t(2 * x), right = width == 1 ? left : left + 1;
                for (int shift = 0; shift < 32; shift += 8) {
                    auto at = [shift](quint32 p) { return (p >> shift) & 0xffU; };
                    const quint32 mean = (at(r0[left]) + at(r0[right]) + at(r1[left]) + at(r1[right]) + 2) / 4;
                    QVERIFY2(at(shrunk[size_t(x)]) == mean,
                             qPrintable(QStringLiteral("width %1, pixel %2, bits %3").arg(width).arg(x).arg(shift)));
                }
            }
        }
    }

    // The sketch is the smallest shrunk copy with a side above 256 pixels; each band shrunk fills its rows.
    void sketchRowsFollowTheBands()
    {
        const QImage full = m_blocks.scaled(2200, 1200);
        LevelBuilder levels(full);
        QList<std::pair<int, int>> filled;
        QSize sketchSize;
        LoadHooks hooks;
        hooks.sketchRows = [&](const QImage& sketch, int first, int end) {
            sketchSize = sketch.size();
            filled.append({first, end});
        };
        Sketch sketch(levels, hooks);
        for (int band = 0; band < levels.bandCount(); ++band) {
            levels.shrinkBand(band);
            sketch.bandDone(band);
        }
        QCOMPARE(sketchSize, QSize(275, 150)); // of 550 x 300, 275 x 150 and 137 x 75
        QCOMPARE(filled.size(), levels.bandCount());
        QCOMPARE(filled.front().first, 0);
        QCOMPARE(filled.back().second, 150);
        for (int k = 1; k < filled.size(); ++k)
            QCOMPARE(filled[k].first, filled[k - 1].second);
    }

    void header_data()
    {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<PictureHeader::Completeness>("verdict");
        using enum PictureHeader::Completeness;
        const QByteArray g = gif(), rows(24, '\x11'); // 3 x 2 at 24 bits: two rows of 12 bytes
        QTest::newRow("gif without its trailer") << g.chopped(1) << Complete;
        QTest::newRow("gif cut before its data's end mark") << g.chopped(2) << Truncated;
        QTest::newRow("gif, picture with its own table") << gif(2, {}, true) << Complete;
        QTest::newRow("gif with an extension") << gif(2, QByteArray("!\xf9\x04\0\0\0\0\0", 8)) << Complete;
        QTest::newRow("bmp a byte short") << bmp(3, 2) + rows.chopped(1) << Truncated;
        QTest::newRow("bmp top-down, a byte short") << bmp(3, -2) + rows.chopped(1) << Truncated;
        QTest::newRow("bmp run-length") << bmp(3, 2, 8, 1) + "x" << NotChecked;
    }
    void header()
    {
        QFETCH(QByteArray, file);
        QTemporaryFile f;
        QVERIFY(f.open() && f.write(file) == file.size() && f.flush());
        QTEST(PictureHeader::completeness(PictureHeader::kindOf(file), f), "verdict");
    }
};

QTEST_GUILESS_MAIN(TestLoader)
#include "tst_loader.moc"
