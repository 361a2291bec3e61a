#include "module1.h"
#include "numbertext.h"
#include "scalefactors.h"
#include "unitcatalogue.h"

#include <QLocale>
#include <QTest>
#include <cmath>
#include <limits>

// The unit catalogue, the ScaleFactors record, the rounding helpers and the number texts.
class TestUnits : public QObject
{
    Q_OBJECT
private slots:
    void catalogueLookupAndFactors();
    void newRecordIsEmptyAndEqualiseCopies();
    void roundHalfEven_data();
    void roundHalfEven();
    void pixelDistanceMinOfAndOverflow();
    void numberText_data();
    void numberText();
};

void TestUnits::catalogueLookupAndFactors()
{
    const QStringList names{"Millimetres", "Centimetres", "Inches",     "Feet",
                            "Yards",       "Metres",      "Kilometres", "Miles"};
    const QStringList abbrevs{"mm", "cm", "in", "ft", "yd", "m", "km", "ml"};
    const double sizes[] = {1, 10, 25.4, 304.8, 914.4, 1000, 1000000, 1609344};
    for (int i = 0; i < UnitCount; ++i) {
        QCOMPARE(UnitName(i), names[i]);
        QCOMPARE(UnitAbbrev(i), abbrevs[i]);
        QCOMPARE(UnitSize(i), sizes[i]);
    }
    // Names match exactly: case and trailing blanks count.
    QCOMPARE(UnitIndexOf("Miles"), 7);
    QCOMPARE(UnitIndexOf("Millimetres"), 0);
    QCOMPARE(UnitIndexOf("miles"), -1);
    QCOMPARE(UnitIndexOf("Miles "), -1);
    QCOMPARE(UnitIndexOf(""), -1);

    QCOMPARE(UnitFactorFor(6, 7), 1.609344);
    QCOMPARE(UnitFactorFor(6, 7), ScaleFactors::builtInDefaults().UnitFactor());
    QCOMPARE(UnitFactorFor(3, 3), 1.0);
    QCOMPARE(UnitFactorFor(2, 3), 12.0);
    QCOMPARE(UnitFactorFor(7, 0), 1.0 / 1609344.0);
    QCOMPARE(UnitFactorFor(7, 6), 1000000.0 / 1609344.0);
    // A primary distance of 1 mile shows as about 1.609344 km.
    QVERIFY(std::abs(1.0 / UnitFactorFor(7, 6) - 1.609344) < 1e-12);
}

// The five fields in the order Equalise copies them; numbers exact.
static QStringList fields(const ScaleFactors& s)
{
    const auto n = [](double v) { return QString::number(v, 'g', QLocale::FloatingPointShortest); };
    return {s.Unit1(), s.Unit2(), n(s.CalFactor()), n(s.UnitFactor()), s.Abbrev()};
}

void TestUnits::newRecordIsEmptyAndEqualiseCopies()
{
    QCOMPARE(fields(ScaleFactors()), (QStringList{"", "", "0", "0", ""}));
    ScaleFactors a = ScaleFactors::builtInDefaults();
    Equalise(a, a);
    QCOMPARE(fields(a), (QStringList{"Kilometres", "Miles", "1", "1.609344", "km"}));

    ScaleFactors b;
    b.setUnit1("Feet");
    b.setUnit2("Yards");
    b.setUnitFactor(3);
    b.setAbbrev("ft");
    b.setCalFactor(2.5f);
    Equalise(a, b);
    b.setUnit1("Miles"); // the records stay distinct
    QCOMPARE(fields(a), (QStringList{"Feet", "Yards", "2.5", "3", "ft"}));
}

void TestUnits::roundHalfEven_data()
{
    QTest::addColumn<double>("in");
    QTest::addColumn<int>("out");
    QTest::newRow("2.5") << 2.5 << 2;
    QTest::newRow("3.5") << 3.5 << 4;
    QTest::newRow("-2.5") << -2.5 << -2;
    QTest::newRow("0.49") << 0.49 << 0;
    QTest::newRow("1.51") << 1.51 << 2;
}

void TestUnits::roundHalfEven()
{
    QFETCH(double, in);
    QFETCH(int, out);
    QCOMPARE(RoundToInt32(in), out);
    QCOMPARE(int(RoundToInt16(in)), out);
}

void TestUnits::pixelDistanceMinOfAndOverflow()
{
    QCOMPARE(PixelDistance(3, 0, 4, 0), 5.0);
    QCOMPARE(PixelDistance(0, 3, 0, 4), 5.0);
    QCOMPARE(PixelDistance(10, 10, 7, 7), 0.0);
    QVERIFY_THROWS_EXCEPTION(OverflowError, PixelDistance(std::numeric_limits<int32_t>::max(), -1, 0, 0));
    QVERIFY_THROWS_EXCEPTION(OverflowError, RoundToInt16(32767.5));
    QCOMPARE(int(RoundToInt16(32767.4)), 32767);
    QVERIFY_THROWS_EXCEPTION(OverflowError, RoundToInt32(std::nan("")));

    QCOMPARE(MinOf(5.0, 4.0), 4.0);
    QCOMPARE(MinOf(4.0, 5.0), 4.0);
    QCOMPARE(MinOf(int16_t(32767), 40000.5f), 32767.0f);
    QCOMPARE(MinOf(int16_t(32767), 12.25f), 12.25f);
    // On a tie the first argument is returned: -0.0 and 0.0 compare equal.
    QVERIFY(std::signbit(MinOf(-0.0, 0.0)));
}

// General number texts in single or double precision, and the readout formats.
enum Kind { Single = -1, Double = -2 };

static void addRow(const char* name, double value, int kind, const char* sep, const char* text)
{
    QTest::newRow(name) << value << kind << QString(sep) << QString(text);
}

void TestUnits::numberText_data()
{
    QTest::addColumn<double>("value");
    QTest::addColumn<int>("kind"); // Single, Double or a ReadoutFormat
    QTest::addColumn<QString>("sep");
    QTest::addColumn<QString>("text");
    addRow("0.1 single", 0.1, Single, ".", "0.1");
    addRow("6.7 single", 6.7, Single, ".", "6.7");
    addRow("6.7 comma", 6.7, Single, ",", "6,7");
    addRow("1/3 single", 1.0 / 3, Single, ".", "0.3333333");
    addRow("1/3 double", 1.0 / 3, Double, ".", "0.333333333333333");
    addRow("1.609344", 1.609344, Double, ".", "1.609344");
    addRow("1/1609344", 1.0 / 1609344, Double, ".", "6.21371192237334E-07");
    addRow("1e7 single", 1e7, Single, ".", "1E+07");
    addRow("9999999 single", 9999999.0, Single, ".", "9999999");
    addRow("12 double", 12.0, Double, ".", "12");
    addRow("0.0001", 0.0001, Double, ".", "0.0001");
    addRow("0.00001", 0.00001, Double, ".", "1E-05");
    // The trip meter tests reach the other readout texts through their refresh.
    addRow("hundredths, comma", 2.46, int(ReadoutFormat::Hundredths), ",", "2,46 ");
    addRow("no thousands separator", 1234567.0, int(ReadoutFormat::Whole), ".", "1234567    ");
    addRow("zero", 0.0, int(ReadoutFormat::Thousandths), ".", "0.000");
}

void TestUnits::numberText()
{
    QFETCH(double, value);
    QFETCH(int, kind);
    QFETCH(QString, sep);
    const QString text = kind == Single   ? GeneralNumber(float(value), sep)
                         : kind == Double ? GeneralNumber(value, sep)
                                          : FormatReadout(value, ReadoutFormat(kind), sep);
    QTEST(text, "text");
}

QTEST_GUILESS_MAIN(TestUnits)
#include "tst_units.moc"
