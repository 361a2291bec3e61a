#include "tripmeterreadout.h"
#include "unitcatalogue.h"

#include <QTest>
#include <cmath>
#include <limits>

// The readout refresh: format thresholds, the secondary value cut to thousandths, Text5.
class TestTripMeterReadout : public QObject
{
    Q_OBJECT
private slots:
    void formatFor_data();
    void formatFor();
    void refresh_data();
    void refresh();
};

Q_DECLARE_METATYPE(ReadoutFormat)

void TestTripMeterReadout::formatFor_data()
{
    QTest::addColumn<double>("t");
    QTest::addColumn<ReadoutFormat>("format");
    QTest::newRow("zero") << 0.0 << ReadoutFormat::Thousandths;
    QTest::newRow("0.007 exactly") << 0.007 << ReadoutFormat::Thousandths;
    QTest::newRow("just above 0.007") << std::nextafter(0.007, 1.0) << ReadoutFormat::Hundredths;
    QTest::newRow("0.07 exactly") << 0.07 << ReadoutFormat::Hundredths;
    QTest::newRow("just above 0.07") << std::nextafter(0.07, 1.0) << ReadoutFormat::Tenths;
    QTest::newRow("0.7 exactly") << 0.7 << ReadoutFormat::Tenths;
    QTest::newRow("just above 0.7") << std::nextafter(0.7, 1.0) << ReadoutFormat::Whole;
    QTest::newRow("large step") << 250.0 << ReadoutFormat::Whole;
}

void TestTripMeterReadout::formatFor()
{
    QFETCH(double, t);
    QFETCH(ReadoutFormat, format);
    QCOMPARE(TripMeterReadout::formatFor(t), format);
}

// Segment and route in unzoomed view units.
static void addRow(const char* name, double segment, double route, double unitLength, double unitFactor,
                   int count, const char* sep, const QString& t7, const QString& t8)
{
    QTest::newRow(name) << segment << route << unitLength << unitFactor << count << QString(sep) << t7 << t8;
}

void TestTripMeterReadout::refresh_data()
{
    QTest::addColumn<double>("segment");
    QTest::addColumn<double>("route");
    QTest::addColumn<double>("unitLength");
    QTest::addColumn<double>("unitFactor");
    QTest::addColumn<int>("count");
    QTest::addColumn<QString>("sep");
    QTest::addColumn<QString>("Text7");
    QTest::addColumn<QString>("Text8");

    const double kmMiles = UnitFactorFor(6, 7);
    // 2.46 primary units: whole units after a step above 0.7, tenths after a step of 0.5.
    addRow("2.46, step 0.71", 71.0, 246.0, 100.0, kmMiles, 7, ".", "2    ", "1.5  ");
    addRow("2.46, step 0.5", 50.0, 246.0, 100.0, kmMiles, 7, ".", "2.5  ", "1.5  ");
    // Step 0.701 reached through the division by UnitLength: whole units.
    addRow("step 0.701", 701.0, 3000.0, 1000.0, 1.0, 2, ".", "3    ", "3    ");
    // 1 km with Kilometres and Miles: 0.62137... cut to 0.621, or 0.62 with hundredths.
    addRow("1 km, thousandths", 0.0, 1000.0, 1000.0, kmMiles, 1, ".", "1.000", "0.621");
    addRow("1 km, hundredths", 50.0, 1000.0, 1000.0, kmMiles, 9, ".", "1.00 ", "0.62 ");
    // Step 0.1 km is 0.062 ml: tenths and hundredths in one refresh.
    addRow("tenths and hundredths", 100.0, 1000.0, 1000.0, kmMiles, 3, ".", "1.0  ", "0.62 ");
    // 0.9999: the primary is rounded by its format, the secondary cut first, never to 1.
    addRow("0.9999", 0.0, 9999.0, 10000.0, 1.0, 4, ".", "1.000", "0.999");
    addRow("0.99999", 0.0, 99999.0, 100000.0, 1.0, 4, ".", "1.000", "0.999");
    addRow("1234.5 tenths", 1.0, 12345.0, 10.0, 1.0, 5, ".", "1234.5  ", "1234.5  ");
    // Miles and Millimetres: the secondary shows 1609344 times the primary value.
    addRow("1 mile in mm", 0.0, 500.0, 500.0, UnitFactorFor(7, 0), 1, ".", "1.000", "1609344.000");
    addRow("user separator", 0.0, 1000.0, 1000.0, kmMiles, 1, ",", "1,000", "0,621");
    addRow("count capped", 0.0, 0.0, 1000.0, kmMiles, 32767, ".", "0.000", "0.000");

    // Values that cannot be shown as a number.
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const double inf = std::numeric_limits<double>::infinity();
    const QString none = TripMeterReadout::NoValue;
    addRow("unit length 0", 0.0, 10.0, 0.0, 1.0, 1, ".", none, none);
    addRow("unit length negative", 0.0, 10.0, -5.0, 1.0, 1, ".", none, none);
    addRow("unit length NaN", 0.0, 10.0, nan, 1.0, 1, ".", none, none);
    addRow("unit factor 0", 0.0, 10.0, 10.0, 0.0, 1, ".", "1.000", none);
    addRow("unit factor negative", 0.0, 10.0, 10.0, -1.609344, 1, ".", "1.000", none);
    addRow("unit factor NaN", 0.0, 10.0, 10.0, nan, 1, ".", "1.000", none);
    addRow("unit factor infinite", 0.0, 10.0, 10.0, inf, 1, ".", "1.000", none);
    addRow("value beyond double", 0.0, 1e300, 1e-300, 1.0, 1, ".", none, none);
    addRow("negative route", 0.0, -10.0, 10.0, 1.0, 1, ".", none, none);
}

void TestTripMeterReadout::refresh()
{
    QFETCH(double, segment);
    QFETCH(double, route);
    QFETCH(double, unitLength);
    QFETCH(double, unitFactor);
    QFETCH(int, count);
    QFETCH(QString, sep);
    const TripMeterTexts texts =
        TripMeterReadout::refresh(segment, route, unitLength, unitFactor, int16_t(count), sep);
    QTEST(texts.Text7, "Text7");
    QTEST(texts.Text8, "Text8");
    QCOMPARE(texts.Text5, QString::number(count));
    for (const QString& t : {texts.Text7, texts.Text8})
        QVERIFY2(!t.contains(QLatin1String("inf"), Qt::CaseInsensitive) &&
                     !t.contains(QLatin1String("nan"), Qt::CaseInsensitive),
                 qPrintable(t));
}

QTEST_GUILESS_MAIN(TestTripMeterReadout)
#include "tst_tripmeterreadout.moc"
