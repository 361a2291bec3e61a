#include "folderof.h"
#include "checkedmath.h"
#include "numbertext.h"
#include "twips.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <cmath>
#include <limits>

// The shared helpers: rounding and checked arithmetic, number texts both ways, the twips mapping, paths.
class TestCore : public QObject
{
    Q_OBJECT
private slots:
    void roundingAndOverflow();
    void numberText_data();
    void numberText();
    void twipsMapping();
    void paths();
};

void TestCore::roundingAndOverflow()
{
    const std::pair<double, int> halves[] = {{2.5, 2}, {3.5, 4}, {-2.5, -2}, {0.49, 0}, {1.51, 2}, {-0.5, 0}};
    for (const auto& [in, out] : halves) {
        QCOMPARE(RoundToInt32(in), out);
        QCOMPARE(int(RoundToInt16(in)), out);
    }
    QCOMPARE(int(RoundToInt16(32767.4)), 32767);
    QCOMPARE(int(RoundToInt16(-32768.5)), -32768); // the half goes to the even, in range
    QVERIFY_THROWS_EXCEPTION(OverflowError, RoundToInt16(32767.5));
    QVERIFY_THROWS_EXCEPTION(OverflowError, RoundToInt16(-32769.0));
    QCOMPARE(RoundToInt32(2147483647.4), 2147483647);
    QVERIFY_THROWS_EXCEPTION(OverflowError, RoundToInt32(2147483647.5));
    QVERIFY_THROWS_EXCEPTION(OverflowError, RoundToInt32(std::nan("")));
    constexpr int32_t big = std::numeric_limits<int32_t>::max();
    QCOMPARE(CheckedAdd32(big - 1, 1), big);
    QVERIFY_THROWS_EXCEPTION(OverflowError, CheckedAdd32(big, 1));
    QCOMPARE(CheckedSub32(-big, 1), -big - 1);
    QVERIFY_THROWS_EXCEPTION(OverflowError, CheckedSub32(-big, 2));

    // Both X first, then both Y.
    QCOMPARE(PixelDistance(3, 0, 4, 0), 5.0);
    QCOMPARE(PixelDistance(1, 4, 0, 0), 3.0);
    QVERIFY_THROWS_EXCEPTION(OverflowError, PixelDistance(big, -1, 0, 0));
    QCOMPARE(MinOf(5.0, 4.0), 4.0);
    QCOMPARE(MinOf(int16_t(32767), 40000.5f), 32767.0f);
    QVERIFY(std::signbit(MinOf(-0.0, 0.0))); // on a tie, the first
    QVERIFY(isPositiveNumber(1e-300) && !isPositiveNumber(0.0) && !isPositiveNumber(-1.0));
    QVERIFY(!isPositiveNumber(std::nan("")) && !isPositiveNumber(HUGE_VAL));
}

enum Kind { Single = -1, Double = -2 };

void TestCore::numberText_data()
{
    QTest::addColumn<double>("value");
    QTest::addColumn<int>("kind"); // Single, Double or a ReadoutFormat
    QTest::addColumn<QString>("sep");
    QTest::addColumn<QString>("text");
    const auto row = [](const char* name, double v, int kind, const char* sep, const char* text) {
        QTest::newRow(name) << v << kind << QString(sep) << QString(text);
    };
    row("0.1 single", 0.1, Single, ".", "0.1");
    row("6.7 comma", 6.7, Single, ",", "6,7");
    row("1/3 single", 1.0 / 3, Single, ".", "0.3333333");
    row("1/3 double", 1.0 / 3, Double, ".", "0.333333333333333");
    row("1/1609344", 1.0 / 1609344, Double, ".", "6.21371192237334E-07");
    row("1e7 single", 1e7, Single, ".", "1E+07");
    row("9999999 single", 9999999.0, Single, ".", "9999999");
    row("0.0001", 0.0001, Double, ".", "0.0001");
    row("0.00001", 0.00001, Double, ".", "1E-05");
    row("-2.5", -2.5, Double, ".", "-2.5");
    row("whole", 2.5, int(ReadoutFormat::Whole), ".", "2    ");
    row("tenths", 0.25, int(ReadoutFormat::Tenths), ".", "0.2  ");
    row("hundredths, comma", 2.46, int(ReadoutFormat::Hundredths), ",", "2,46 ");
    row("thousandths", 12.3456, int(ReadoutFormat::Thousandths), ".", "12.346");
    // Through the 15-digit text first: 0.0004999999999999996 reads as 0.0005, which rounds up.
    row("via 15 digits", 0.0004999999999999996, int(ReadoutFormat::Thousandths), ".", "0.001");
    row("no thousands separator", 1234567.0, int(ReadoutFormat::Whole), ".", "1234567    ");
    row("no minus zero", -0.0001, int(ReadoutFormat::Thousandths), ".", "0.000");
}

void TestCore::numberText()
{
    QFETCH(double, value);
    QFETCH(int, kind);
    QFETCH(QString, sep);
    const QString text = kind == Single   ? GeneralNumber(float(value), sep)
                         : kind == Double ? GeneralNumber(value, sep)
                                          : FormatReadout(value, ReadoutFormat(kind), sep);
    QTEST(text, "text");
}

void TestCore::twipsMapping()
{
    const TwipsMapping at96 = TwipsMapping::forDpi(96, 96), at144 = TwipsMapping::forDpi(144, 120);
    QCOMPARE(at96.perPixelX(), 15.0f);
    QCOMPARE(at144.perPixelX(), 10.0f);
    QCOMPARE(at144.perPixelY(), 12.0f);
    QCOMPARE(TwipsMapping::forDpi(0, -1).perPixelY(), 15.0f); // no resolution reported: 96
    // Each edge to the nearest pixel, halves to even, so adjoining rectangles adjoin.
    QCOMPARE(at96.toPixels(120, 600, 252, 7.5), QRect(8, 40, 17, 0));
    QCOMPARE(at96.toPixels(22.5, 37.5, 15, 15), QRect(2, 2, 0, 2));
    QCOMPARE(at96.toPixels(10, 0, -30, 0).width(), 0);
    QCOMPARE(at96.toPixelsF(15, 30, 7.5, 0), QRectF(1, 2, 0.5, 0));
    QCOMPARE(at96.toTwips(QPointF(1.25, -2)), QPointF(18.75, -30));
    QCOMPARE(at144.wholeTwipsY(-3), -36);
    QCOMPARE(TwipsMapping(2.5f, 2.5f).wholeTwipsX(1), 2); // half to even
    QCOMPARE(TwipsMapping(2.5f, 2.5f).wholeTwipsX(3), 8);
    QVERIFY_THROWS_EXCEPTION(OverflowError, at96.wholeTwipsX(std::numeric_limits<int>::max()));
    QCOMPARE(at96.scaled(1.5, 2).toPixels(0, 0, 150, 150), QRect(0, 0, 15, 20));
}

void TestCore::paths()
{
    QCOMPARE(FolderOf("C:\\Maps\\walk.gif"), QString("C:\\Maps"));
    QCOMPARE(FolderOf("/home/ann/walk.gif"), QString("/home/ann"));
    QCOMPARE(FolderOf("C:\\walk.gif"), QString("C:"));
    QCOMPARE(FolderOf("/maps\\a/b.gif"), QString("/maps\\a"));
    QCOMPARE(FolderOf("walk.gif"), QString());
    QCOMPARE(InitialFolder("a.gif", {"/start"}), QString());

    // The start-up directory first, then the installed data folder.
    QTemporaryDir tmp;
    const QString start = tmp.path() + "/start", installed = tmp.path() + "/share";
    QVERIFY(QDir().mkpath(start) && QDir().mkpath(installed + "/Maps"));
    QVERIFY(QFile(installed + "/mapwheel.hlp").open(QIODevice::WriteOnly));
    QCOMPARE(InitialFolder("/srv/maps/a.gif", {start, installed}), QString("/srv/maps"));
    QCOMPARE(InitialFolder("", {start, installed}), installed + "/Maps");
    QCOMPARE(HelpFilePath({start, installed}), installed + "/mapwheel.hlp");
    QVERIFY(QDir().mkpath(start + "/Maps"));
    QCOMPARE(InitialFolder("", {start, installed}), start + "/Maps");

    // A drop of several files or a folder; the black-box scenario drops one file and a web address.
    QCOMPARE(DroppedMapFile(QList<QUrl>(2, QUrl::fromLocalFile(installed + "/mapwheel.hlp"))), QString());
    QCOMPARE(DroppedMapFile({QUrl::fromLocalFile(start + "/Maps")}), QString());
}

QTEST_GUILESS_MAIN(TestCore)
#include "tst_core.moc"
