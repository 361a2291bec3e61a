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
    void secondaryIsCutNotRounded();
    void noValueForUnsoundInputs_data();
    void noValueForUnsoundInputs();
};

Q_DECLARE_METATYPE(ReadoutFormat)

void TestTripMeterReadout::formatFor_data()
{
    QTest::addColumn<double>("t");
    QTest::addColumn<ReadoutFormat>("format");
    const double up = 1.0;
    QTest::newRow("zero") << 0.0 << ReadoutFormat::Thousandths;
    QTest::newRow("0.007 exactly") << 0.007 << ReadoutFormat::Thousandths;
    QTest::newRow("just above 0.007") << std::nextafter(0.007, up) << ReadoutFormat::Hundredths;
    QTest::newRow("0.07 exactly") << 0.07 << ReadoutFormat::Hundredths;
    QTest::newRow("just above 0.07") << std::nextafter(0.07, up) << ReadoutFormat::Tenths;
    QTest::newRow("0.7 exactly") << 0.7 << ReadoutFormat::Tenths;
    QTest::newRow("just above 0.7") << std::nextafter(0.7, up) << ReadoutFormat::Whole;
    QTest::newRow("7/10 as divided") << 7.0 / 10.0 << ReadoutFormat::Tenths;
    QTest::newRow("7/100 as divided") << 7.0 / 100.0 << ReadoutFormat::Hundredths;
    QTest::newRow("7/1000 as divided") << 7.0 / 1000.0 << ReadoutFormat::Thousandths;
    QTest::newRow("large step") << 250.0 << ReadoutFormat::Whole;
}

void TestTripMeterReadout::formatFor()
{
    QFETCH(double, t);
    QFETCH(ReadoutFormat, format);
    QCOMPARE(TripMeterReadout::formatFor(t), format);
}

void TestTripMeterReadout::refresh_data()
{
    QTest::addColumn<double>("segment"); // unzoomed view units
    QTest::addColumn<double>("route");   // unzoomed view units
    QTest::addColumn<double>("unitLength");
    QTest::addColumn<double>("unitFactor");
    QTest::addColumn<int>("count");
    QTest::addColumn<QString>("sep");
    QTest::addColumn<QString>("Text7");
    QTest::addColumn<QString>("Text8");
    QTest::addColumn<QString>("Text5");

    const double kmMiles = UnitFactorFor(6, 7);
    // 2.46 primary units: whole units after a step above 0.7, tenths after a step of 0.5.
    QTest::newRow("2.46, step 0.71") << 71.0 << 246.0 << 100.0 << kmMiles << 7 << "."
                                     << "2    "
                                     << "1.5  "
                                     << "7";
    QTest::newRow("2.46, step 0.5") << 50.0 << 246.0 << 100.0 << kmMiles << 7 << "."
                                    << "2.5  "
                                    << "1.5  "
                                    << "7";
    // Step exactly at each threshold and just above it, measured through the division by UnitLength.
    QTest::newRow("step 0.7") << 7.0 << 30.0 << 10.0 << 1.0 << 2 << "."
                              << "3.0  "
                              << "3.0  "
                              << "2";
    QTest::newRow("step 0.07") << 7.0 << 300.0 << 100.0 << 1.0 << 2 << "."
                               << "3.00 "
                               << "3.00 "
                               << "2";
    QTest::newRow("step 0.007") << 7.0 << 3000.0 << 1000.0 << 1.0 << 2 << "."
                                << "3.000"
                                << "3.000"
                                << "2";
    QTest::newRow("step 0.701") << 701.0 << 3000.0 << 1000.0 << 1.0 << 2 << "."
                                << "3    "
                                << "3    "
                                << "2";
    // 1 km with Kilometres and Miles: 0.62137... cut to 0.621.
    QTest::newRow("1 km, thousandths") << 0.0 << 1000.0 << 1000.0 << kmMiles << 1 << "."
                                       << "1.000"
                                       << "0.621"
                                       << "1";
    QTest::newRow("1 km, hundredths") << 50.0 << 1000.0 << 1000.0 << kmMiles << 9 << "."
                                      << "1.00 "
                                      << "0.62 "
                                      << "9";
    // Tenths in the primary and hundredths in the secondary meter in one refresh (step 0.1 km = 0.062 ml).
    QTest::newRow("tenths and hundredths") << 100.0 << 1000.0 << 1000.0 << kmMiles << 3 << "."
                                           << "1.0  "
                                           << "0.62 "
                                           << "3";
    // 0.9999: the primary is rounded by its format, the secondary cut first.
    QTest::newRow("0.9999") << 0.0 << 9999.0 << 10000.0 << 1.0 << 4 << "."
                            << "1.000"
                            << "0.999"
                            << "4";
    // The integer part grows past three digits, no thousands separator.
    QTest::newRow("1234.5 tenths") << 1.0 << 12345.0 << 10.0 << 1.0 << 5 << "."
                                   << "1234.5  "
                                   << "1234.5  "
                                   << "5";
    // Miles and Millimetres: the secondary meter shows 1609344 times the primary value.
    QTest::newRow("1 mile in mm") << 0.0 << 500.0 << 500.0 << UnitFactorFor(7, 0) << 1 << "."
                                  << "1.000"
                                  << "1609344.000"
                                  << "1";
    QTest::newRow("user separator") << 0.0 << 1000.0 << 1000.0 << kmMiles << 1 << ","
                                    << "1,000"
                                    << "0,621"
                                    << "1";
    QTest::newRow("count capped") << 0.0 << 0.0 << 1000.0 << kmMiles << 32767 << "."
                                  << "0.000"
                                  << "0.000"
                                  << "32767";
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
    QTEST(texts.Text5, "Text5");
}

void TestTripMeterReadout::secondaryIsCutNotRounded()
{
    // 0.62137... becomes 0.621, and 0.99999 (short of 1) becomes 0.999, never 1.
    QCOMPARE(TripMeterReadout::secondaryValue(1000.0, 1000.0, UnitFactorFor(6, 7)), 0.621);
    QCOMPARE(TripMeterReadout::secondaryValue(99999.0, 100000.0, 1.0), 0.999);
    QCOMPARE(TripMeterReadout::secondaryValue(0.0, 100000.0, 1.0), 0.0);
}

void TestTripMeterReadout::noValueForUnsoundInputs_data()
{
    QTest::addColumn<double>("route");
    QTest::addColumn<double>("unitLength");
    QTest::addColumn<double>("unitFactor");
    QTest::addColumn<QString>("Text7");
    QTest::addColumn<QString>("Text8");
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const double inf = std::numeric_limits<double>::infinity();
    const QString none = TripMeterReadout::NoValue;
    QTest::newRow("unit length 0") << 10.0 << 0.0 << 1.0 << none << none;
    QTest::newRow("unit length negative") << 10.0 << -5.0 << 1.0 << none << none;
    QTest::newRow("unit length NaN") << 10.0 << nan << 1.0 << none << none;
    QTest::newRow("unit factor 0") << 10.0 << 10.0 << 0.0 << "1.000" << none;
    QTest::newRow("unit factor negative") << 10.0 << 10.0 << -1.609344 << "1.000" << none;
    QTest::newRow("unit factor NaN") << 10.0 << 10.0 << nan << "1.000" << none;
    QTest::newRow("unit factor infinite") << 10.0 << 10.0 << inf << "1.000" << none;
    QTest::newRow("value beyond double") << 1e300 << 1e-300 << 1.0 << none << none;
    QTest::newRow("negative route") << -10.0 << 10.0 << 1.0 << none << none;
}

void TestTripMeterReadout::noValueForUnsoundInputs()
{
    QFETCH(double, route);
    QFETCH(double, unitLength);
    QFETCH(double, unitFactor);
    const TripMeterTexts texts = TripMeterReadout::refresh(0.0, route, unitLength, unitFactor, 1, ".");
    QTEST(texts.Text7, "Text7");
    QTEST(texts.Text8, "Text8");
    for (const QString& t : {texts.Text7, texts.Text8}) {
        QVERIFY2(!t.contains(QLatin1String("inf"), Qt::CaseInsensitive), qPrintable(t));
        QVERIFY2(!t.contains(QLatin1String("nan"), Qt::CaseInsensitive), qPrintable(t));
    }
}

QTEST_GUILESS_MAIN(TestTripMeterReadout)
#include "tst_tripmeterreadout.moc"
