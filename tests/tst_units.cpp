#include "module1.h"
#include "numbertext.h"
#include "scalefactors.h"
#include "unitcatalogue.h"

#include <QTest>
#include <cmath>
#include <limits>

class TestUnits : public QObject {
    Q_OBJECT
private slots:
    void catalogueOrderAndValues();
    void unitLookupIsExact();
    void unitFactors();
    void newRecordIsEmptyAndEqualiseCopies();
    void roundHalfEven_data();
    void roundHalfEven();
    void pixelDistanceOrderAndOverflow();
    void minOfKeepsFirstOnTie();
    void generalNumber_data();
    void generalNumber();
    void readoutFormats_data();
    void readoutFormats();
};

void TestUnits::catalogueOrderAndValues()
{
    const QStringList names{"Millimetres", "Centimetres", "Inches", "Feet", "Yards", "Metres", "Kilometres", "Miles"};
    const QStringList abbrevs{"mm", "cm", "in", "ft", "yd", "m", "km", "ml"};
    const double sizes[] = {1, 10, 25.4, 304.8, 914.4, 1000, 1000000, 1609344};
    for (int i = 0; i < UnitCount; ++i) {
        QCOMPARE(UnitName(i), names[i]);
        QCOMPARE(UnitAbbrev(i), abbrevs[i]);
        QCOMPARE(UnitSize(i), sizes[i]);
    }
}

void TestUnits::unitLookupIsExact()
{
    QCOMPARE(UnitIndexOf("Miles"), 7);
    QCOMPARE(UnitIndexOf("Millimetres"), 0);
    QCOMPARE(UnitIndexOf("miles"), -1);
    QCOMPARE(UnitIndexOf("Miles "), -1);
    QCOMPARE(UnitIndexOf(""), -1);
}

void TestUnits::unitFactors()
{
    QCOMPARE(UnitFactorFor(6, 7), 1.609344);
    QCOMPARE(UnitFactorFor(6, 7), ScaleFactors::builtInDefaults().UnitFactor());
    QCOMPARE(UnitFactorFor(3, 3), 1.0);
    QCOMPARE(UnitFactorFor(7, 0), 1.0 / 1609344.0);
    QCOMPARE(UnitFactorFor(7, 6), 1000000.0 / 1609344.0);
    // A primary distance of 1 mile shows as about 1.609344 km.
    QVERIFY(std::abs(1.0 / UnitFactorFor(7, 6) - 1.609344) < 1e-12);
    QCOMPARE(UnitFactorFor(2, 3), 12.0);
}

void TestUnits::newRecordIsEmptyAndEqualiseCopies()
{
    ScaleFactors fresh;
    QCOMPARE(fresh.Unit1(), QString());
    QCOMPARE(fresh.Unit2(), QString());
    QCOMPARE(fresh.Abbrev(), QString());
    QCOMPARE(fresh.UnitFactor(), 0.0);
    QCOMPARE(fresh.CalFactor(), 0.0f);

    ScaleFactors a = ScaleFactors::builtInDefaults();
    Equalise(a, a);
    QCOMPARE(a.Unit1(), QString("Kilometres"));
    QCOMPARE(a.CalFactor(), 1.0f);

    ScaleFactors b;
    b.setUnit1("Feet");
    b.setUnit2("Yards");
    b.setUnitFactor(3);
    b.setAbbrev("ft");
    b.setCalFactor(2.5f);
    Equalise(a, b);
    b.setUnit1("Miles"); // the records stay distinct
    QCOMPARE(a.Unit1(), QString("Feet"));
    QCOMPARE(a.Unit2(), QString("Yards"));
    QCOMPARE(a.UnitFactor(), 3.0);
    QCOMPARE(a.Abbrev(), QString("ft"));
    QCOMPARE(a.CalFactor(), 2.5f);
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

void TestUnits::pixelDistanceOrderAndOverflow()
{
    QCOMPARE(PixelDistance(3, 0, 4, 0), 5.0);
    QCOMPARE(PixelDistance(0, 3, 0, 4), 5.0);
    QCOMPARE(PixelDistance(10, 10, 7, 7), 0.0);
    QVERIFY_THROWS_EXCEPTION(OverflowError, PixelDistance(std::numeric_limits<int32_t>::max(), -1, 0, 0));
    QVERIFY_THROWS_EXCEPTION(OverflowError, RoundToInt16(32767.5));
    QCOMPARE(int(RoundToInt16(32767.4)), 32767);
    QVERIFY_THROWS_EXCEPTION(OverflowError, RoundToInt32(std::nan("")));
}

void TestUnits::minOfKeepsFirstOnTie()
{
    QCOMPARE(MinOf(5.0, 4.0), 4.0);
    QCOMPARE(MinOf(4.0, 5.0), 4.0);
    QCOMPARE(MinOf(int16_t(32767), 40000.5f), 32767.0f);
    QCOMPARE(MinOf(int16_t(32767), 12.25f), 12.25f);
    // On a tie the first argument is returned: -0.0 and 0.0 compare equal.
    QVERIFY(std::signbit(MinOf(-0.0, 0.0)));
}

void TestUnits::generalNumber_data()
{
    QTest::addColumn<double>("value");
    QTest::addColumn<bool>("single");
    QTest::addColumn<QString>("sep");
    QTest::addColumn<QString>("text");
    QTest::newRow("1") << 1.0 << true << "." << "1";
    QTest::newRow("0.1 single") << 0.1 << true << "." << "0.1";
    QTest::newRow("6.7 single") << 6.7 << true << "." << "6.7";
    QTest::newRow("6.7 comma") << 6.7 << true << "," << "6,7";
    QTest::newRow("2.5 single") << 2.5 << true << "." << "2.5";
    QTest::newRow("1/3 single") << 1.0 / 3 << true << "." << "0.3333333";
    QTest::newRow("1/3 double") << 1.0 / 3 << false << "." << "0.333333333333333";
    QTest::newRow("1.609344") << 1.609344 << false << "." << "1.609344";
    QTest::newRow("1/1609344") << 1.0 / 1609344 << false << "." << "6.21371192237334E-07";
    QTest::newRow("1e7 single") << 1e7 << true << "." << "1E+07";
    QTest::newRow("9999999 single") << 9999999.0 << true << "." << "9999999";
    QTest::newRow("12 double") << 12.0 << false << "." << "12";
    QTest::newRow("0.0001") << 0.0001 << false << "." << "0.0001";
    QTest::newRow("0.00001") << 0.00001 << false << "." << "1E-05";
}

void TestUnits::generalNumber()
{
    QFETCH(double, value);
    QFETCH(bool, single);
    QFETCH(QString, sep);
    QFETCH(QString, text);
    QCOMPARE(single ? GeneralNumber(float(value), sep) : GeneralNumber(value, sep), text);
}

void TestUnits::readoutFormats_data()
{
    QTest::addColumn<double>("value");
    QTest::addColumn<int>("format");
    QTest::addColumn<QString>("sep");
    QTest::addColumn<QString>("text");
    QTest::newRow("2.46 whole") << 2.46 << int(ReadoutFormat::Whole) << "." << "2    ";
    QTest::newRow("2.46 tenths") << 2.46 << int(ReadoutFormat::Tenths) << "." << "2.5  ";
    QTest::newRow("0.62 hundredths") << 0.621 << int(ReadoutFormat::Hundredths) << "." << "0.62 ";
    QTest::newRow("0.9999 thousandths") << 0.9999 << int(ReadoutFormat::Thousandths) << "." << "1.000";
    QTest::newRow("zero") << 0.0 << int(ReadoutFormat::Thousandths) << "." << "0.000";
    QTest::newRow("1234.5 tenths") << 1234.5 << int(ReadoutFormat::Tenths) << "." << "1234.5  ";
    QTest::newRow("comma") << 2.46 << int(ReadoutFormat::Hundredths) << "," << "2,46 ";
    QTest::newRow("no thousands separator") << 1234567.0 << int(ReadoutFormat::Whole) << "." << "1234567    ";
}

void TestUnits::readoutFormats()
{
    QFETCH(double, value);
    QFETCH(int, format);
    QFETCH(QString, sep);
    QFETCH(QString, text);
    QCOMPARE(FormatReadout(value, ReadoutFormat(format), sep), text);
}

QTEST_GUILESS_MAIN(TestUnits)
#include "tst_units.moc"
