#include "fakemeasurehost.h"
#include "measurement.h"
#include "module1.h"
#include "tripmeterreadout.h"
#include "unitcatalogue.h"

#include <QLocale>
#include <QRegularExpression>
#include <QTest>
#include <cmath>
#include <limits>

// Calibration, tracing and the refresh after every sample, driven through the pointer handlers as the
// main window drives them. Positions are in view units (twips relative to Image1).
class TestMeasurement : public QObject
{
    Q_OBJECT
private slots:
    void init();

    void promptText_data();
    void promptText();
    void pressWhileUncalibratedOnlyPrompts();
    void voidCalibrationPromptsAgain();
    void calibrationFreesZoomAndCalFactor();
    void recalibrateDuringStroke();
    void twoSampleStroke();
    void fiveSampleExample();
    void onlyLeftAloneHeldSamples_data();
    void onlyLeftAloneHeldSamples();
    void otherReleasesPopUp_data();
    void otherReleasesPopUp();
    void strokesAddUpAtAnyZoomUntilReset();
    void thresholdsThroughStroke_data();
    void thresholdsThroughStroke();
    void longStraightStroke_data();
    void longStraightStroke();
    void sampleCountStopsAt32767();
    void unsoundRecordRefused_data();
    void unsoundRecordRefused();
    void extremeSoundRecordShowsNumbers();
    void nonPositiveZoomDividesNothing();
    void positionBeyond32BitsOverflows();
    void userDecimalSeparator();

private:
    // Calibrates at zoom 1 with a drag of `length` view units along X, then forgets the boxes shown.
    void calibrateTo(Measurement& m, double length);
    QStringList readouts() const { return {host.Text7, host.Text8, host.Text5}; }
    FakeMeasureHost host;
};

static const QChar CR(13);

// The state flags that are set, in one comparable word list.
static QString state(const Measurement& m)
{
    return QStringList{m.Calibrating() ? "Calibrating" : "", m.Calibrated() ? "Calibrated" : "",
                       m.Tracing() ? "Tracing" : "", m.leftDragInProgress() ? "Held" : ""}
        .join(' ')
        .simplified();
}

static QStringList box(const RecordingMessageBoxes::Shown& b)
{
    const char* icons[] = {"None", "Information", "Warning", "Critical", "Question"};
    return {b.title, b.text, icons[int(b.icon)]};
}

// Left press at `from`, left release at `to`, no move between.
static void drag(Measurement& m, QPointF from, QPointF to)
{
    m.Image1_MouseDown(1, 0, float(from.x()), float(from.y()));
    m.Image1_MouseUp(1, 0, float(to.x()), float(to.y()));
}

// Press at the first point, a move to each further point with the left button alone, release at the last.
static void stroke(Measurement& m, const QList<QPointF>& points)
{
    m.Image1_MouseDown(1, 0, float(points.first().x()), float(points.first().y()));
    for (qsizetype i = 1; i < points.size(); ++i)
        m.Image1_MouseMove(1, 0, float(points[i].x()), float(points[i].y()));
    m.Image1_MouseUp(1, 0, float(points.last().x()), float(points.last().y()));
}

void TestMeasurement::init()
{
    QLocale::setDefault(QLocale::c());
    host = FakeMeasureHost();
}

void TestMeasurement::calibrateTo(Measurement& m, double length)
{
    const float zoom = host.zoom;
    host.zoom = 1.0f;
    m.calibrate();
    drag(m, {0, 0}, {length, 0});
    QVERIFY(m.Calibrated());
    host.zoom = zoom;
    host.boxes.shown.clear();
}

void TestMeasurement::promptText_data()
{
    QTest::addColumn<float>("calFactor");
    QTest::addColumn<QString>("abbrev");
    QTest::addColumn<QString>("secondLine");
    QTest::newRow("1 km") << 1.0f << "km" << QString("1 km away (eg between gridlines), then release");
    // Single precision: 0.1f in double precision would show 0.100000001490116.
    QTest::newRow("0.1") << 0.1f << "ml" << QString("0.1 ml away (eg between gridlines), then release");
}

void TestMeasurement::promptText()
{
    QFETCH(float, calFactor);
    QFETCH(QString, abbrev);
    QFETCH(QString, secondLine);
    host.factors.setCalFactor(calFactor);
    host.factors.setAbbrev(abbrev);
    Measurement m(host);
    m.calibrate();

    QCOMPARE(host.boxes.shown.size(), 1);
    QCOMPARE(box(host.boxes.shown[0]),
             (QStringList{"Calibration Procedure",
                          QString("Zoom in, then click & drag from one point to another ") + CR + secondLine +
                              CR + CR + "HINT: only the position of the two end points is important",
                          "Information"}));
    QCOMPARE(host.promptsClosed, 1);
    QCOMPARE(state(m), "Calibrating");
}

void TestMeasurement::pressWhileUncalibratedOnlyPrompts()
{
    Measurement m(host);
    m.Image1_MouseDown(1, 0, 50.0f, 60.0f);
    QCOMPARE(host.boxes.titles(), QStringList{"Calibration Procedure"});
    QCOMPARE(state(m), "Calibrating");
    QCOMPARE(QPoint(m.CalStartX(), m.CalStartY()), QPoint(0, 0));

    // The release of that press is not a calibration drag.
    m.Image1_MouseUp(1, 0, 350.0f, 60.0f);
    QCOMPARE(host.boxes.shown.size(), 1);
    QCOMPARE(state(m), "Calibrating");
    QCOMPARE(m.UnitLength(), 0.0);

    // The drag is the next press and release; a Reset while it is held does not end it.
    m.Image1_MouseDown(1, 0, 10.0f, 20.0f);
    m.Reset();
    QCOMPARE(state(m), "Calibrating Held");
    m.Image1_MouseUp(1, 0, 310.0f, 420.0f);
    QCOMPARE(QPoint(m.CalStartX(), m.CalStartY()), QPoint(10, 20));
    QCOMPARE(QPoint(m.CalEndX(), m.CalEndY()), QPoint(310, 420));
    QCOMPARE(m.UnitLength(), 500.0);
    QCOMPARE(state(m), "Calibrated");
}

void TestMeasurement::voidCalibrationPromptsAgain()
{
    Measurement m(host);
    calibrateTo(m, 100.0);
    stroke(m, {{0, 0}, {100, 0}, {200, 0}});
    const int writes = host.readoutWrites;

    m.calibrate();
    host.boxes.shown.clear();
    // 40.2 and 39.6 both round to 40, 7.5 and 8.4 both to 8: the same whole position.
    drag(m, {40.2, 7.5}, {39.6, 8.4});
    QCOMPARE(host.boxes.titles(), (QStringList{"Calibration Void", "Calibration Procedure"}));
    QCOMPARE(box(host.boxes.shown[0]),
             (QStringList{"Calibration Void", "Calibration distance must not be zero - please re-calibrate",
                          "Warning"}));
    QVERIFY(host.boxes.shown[1].text.startsWith(QStringLiteral("Zoom in")));
    QCOMPARE(state(m), "Calibrating");
    QCOMPARE(m.UnitLength(), 0.0);
    QCOMPARE(host.readoutWrites, writes); // the meters keep their values
    QCOMPARE(m.RouteLength(), 200.0);

    // A non-zero drag now succeeds and clears the meters.
    drag(m, {0, 0}, {0, 50});
    QCOMPARE(state(m), "Calibrated");
    QCOMPARE(m.UnitLength(), 50.0);
    QCOMPARE(readouts(), (QStringList{"0.000", "0.000", "0"}));
    QCOMPARE(m.RouteLength(), 0.0);
}

void TestMeasurement::calibrationFreesZoomAndCalFactor()
{
    Measurement m(host);
    host.zoom = 2.0f;
    m.calibrate();
    host.boxes.shown.clear();
    drag(m, {100, 50}, {400, 50}); // 300 view units at zoom 2
    QCOMPARE(m.UnitLength(), 150.0);
    QCOMPARE(state(m), "Calibrated");
    QCOMPARE(host.boxes.shown.size(), 1);
    QCOMPARE(box(host.boxes.shown[0]),
             (QStringList{"Calibration Procedure", "Now you can click & drag to measure distances",
                          "Information"}));
    QCOMPARE(host.Text5, QStringLiteral("0")); // the meters were cleared

    // A straight stroke of 300 view units at zoom 1, samples 2 units apart: 2 primary units.
    host.zoom = 1.0f;
    QList<QPointF> points;
    for (int x = 0; x <= 300; x += 2)
        points << QPointF(x, 10);
    stroke(m, points);
    QCOMPARE(m.RouteLength(), 300.0);
    // Last step 1 unit = 0.0067 km: thousandths; 1.2427... ml cut.
    QCOMPARE(readouts(), (QStringList{"2.000", "1.242", "151"}));

    // With a calibration distance of 0.5 km, 300 view units at zoom 1 make 1 km 600 units long.
    host.factors.setCalFactor(0.5f);
    m.calibrate();
    drag(m, {0, 0}, {180, 240});
    QCOMPARE(m.UnitLength(), 600.0);
}

void TestMeasurement::recalibrateDuringStroke()
{
    Measurement m(host);
    calibrateTo(m, 100.0);
    m.Image1_MouseDown(1, 0, 0.0f, 0.0f);
    m.Image1_MouseMove(1, 0, 100.0f, 0.0f);
    QCOMPARE(state(m), "Calibrated Tracing Held");
    const double route = m.RouteLength();
    const int writes = host.readoutWrites;

    // Recalibrate (by keyboard) while the stroke's button is held: the stroke ends, the meters stay,
    // and its release is no calibration drag.
    m.calibrate();
    QCOMPARE(state(m), "Calibrating");
    host.boxes.shown.clear();
    m.Image1_MouseUp(1, 0, 300.0f, 0.0f);
    QVERIFY(host.boxes.shown.isEmpty());
    QCOMPARE(state(m), "Calibrating");
    QCOMPARE(m.RouteLength(), route);
    QCOMPARE(host.readoutWrites, writes);
    QCOMPARE(m.UnitLength(), 100.0);

    // A press recorded before another calibrate belongs to the earlier calibration.
    m.Image1_MouseDown(1, 0, 0.0f, 0.0f);
    m.calibrate();
    host.boxes.shown.clear();
    m.Image1_MouseUp(1, 0, 300.0f, 0.0f);
    QVERIFY(host.boxes.shown.isEmpty());
    QCOMPARE(m.UnitLength(), 100.0);
}

void TestMeasurement::twoSampleStroke()
{
    Measurement m(host);
    calibrateTo(m, 1000.0);
    m.Image1_MouseDown(1, 0, 0.0f, 0.0f);
    // The sample's call hands back the midpoint (2.5, 1.5) as (2, 2): halves go to the even neighbour.
    float x = 5.0f, y = 3.0f;
    bool final = false;
    m.UpdateTripMeters(x, y, final);
    QCOMPARE(QPointF(x, y), QPointF(2, 2));
    QCOMPARE(QPoint(m.LastX(), m.LastY()), QPoint(2, 2));
    QCOMPARE(m.RouteLength(), std::sqrt(8.0));
    QVERIFY(!final);
    // The release position is not a sample: the final call ends at the last one.
    x = y = 99.0f;
    final = true;
    m.UpdateTripMeters(x, y, final);
    QCOMPARE(QPointF(x, y), QPointF(5, 3));
    QCOMPARE(QPoint(m.LastX(), m.LastY()), QPoint(5, 3));
    QCOMPARE(m.RouteLength(), std::sqrt(8.0) + std::sqrt(10.0));
    QCOMPARE(m.SampleCount(), int16_t(2));
}

void TestMeasurement::fiveSampleExample()
{
    // P1 (0,0) pressed, moves to P2 (8,0), P3 (8,8), P4 (0,8), P5 (12,4), then the release.
    Measurement m(host);
    calibrateTo(m, 1000.0);
    m.Image1_MouseDown(1, 0, 0.0f, 0.0f);
    QCOMPARE(m.RouteLength(), 0.0); // P1 to P1
    // Means of P1 and P2, of P1 to P3 (5.33, 2.67), of P1 to P4, and of P2 to P5 with P1 shifted out.
    const QList<QPoint> samples{{8, 0}, {8, 8}, {0, 8}, {12, 4}}, means{{4, 0}, {5, 3}, {4, 4}, {7, 5}};
    for (qsizetype i = 0; i < samples.size(); ++i) {
        m.Image1_MouseMove(1, 0, float(samples[i].x()), float(samples[i].y()));
        QCOMPARE(QPoint(m.LastX(), m.LastY()), means[i]);
    }
    const double beforeTail = 4.0 + std::sqrt(10.0) + std::sqrt(2.0) + std::sqrt(10.0);
    QCOMPARE(m.RouteLength(), beforeTail);

    // Tail: mean of P3 to P5 (6.67, 6.67) -> (7, 7); mean of P4, P5 (6, 6); P5 (12, 4).
    m.Image1_MouseUp(1, 0, 12.0f, 4.0f);
    QCOMPARE(QPoint(m.LastX(), m.LastY()), QPoint(12, 4));
    QCOMPARE(m.RouteLength(), beforeTail + 2.0 + std::sqrt(2.0) + std::sqrt(40.0));
    QCOMPARE(host.Text5, QStringLiteral("5"));
    // The last segment, sqrt(40) = 6.3 units of 1000, is at most 0.007: thousandths of 21.478 / 1000.
    QCOMPARE(host.Text7, QStringLiteral("0.021"));
}

void TestMeasurement::onlyLeftAloneHeldSamples_data()
{
    QTest::addColumn<int>("buttons");
    QTest::addColumn<bool>("sampled");
    QTest::newRow("left") << 1 << true;
    QTest::newRow("left and right") << 3 << false;
    QTest::newRow("left and middle") << 5 << false;
    QTest::newRow("right") << 2 << false;
    QTest::newRow("none") << 0 << false;
}

void TestMeasurement::onlyLeftAloneHeldSamples()
{
    QFETCH(int, buttons);
    QFETCH(bool, sampled);
    Measurement m(host);
    calibrateTo(m, 100.0);
    QCOMPARE(state(m), "Calibrated");
    const int writes = host.readoutWrites;
    // The press is a sample of its own, adding nothing but refreshing the meters.
    m.Image1_MouseDown(1, 0, 0.0f, 0.0f);
    QCOMPARE(state(m), "Calibrated Tracing Held");
    QCOMPARE(m.RouteLength(), 0.0);
    QCOMPARE(host.readoutWrites, writes + 1);
    QCOMPARE(host.Text5, QStringLiteral("1"));

    m.Image1_MouseMove(buttons, 0, 40.0f, 0.0f);
    QCOMPARE(m.SampleCount(), int16_t(sampled ? 2 : 1));
    QCOMPARE(m.RouteLength(), sampled ? 20.0 : 0.0);
    QCOMPARE(host.readoutWrites, writes + (sampled ? 2 : 1));

    // Without a sample taken by the move this is a click without movement: the release refreshes too.
    m.Image1_MouseUp(1, 0, 40.0f, 0.0f);
    QCOMPARE(state(m), "Calibrated");
    QCOMPARE(m.RouteLength(), sampled ? 40.0 : 0.0);
    QCOMPARE(host.readoutWrites, writes + (sampled ? 3 : 2));
    QCOMPARE(host.Text5, sampled ? "2" : "1");

    // Between strokes no move is a sample.
    m.Image1_MouseMove(1, 0, 90.0f, 0.0f);
    QCOMPARE(m.SampleCount(), int16_t(sampled ? 2 : 1));
}

void TestMeasurement::otherReleasesPopUp_data()
{
    QTest::addColumn<QString>("before"); // the state each row sets up
    QTest::addColumn<int>("button");
    for (int button : {2, 4})
        for (const char* state :
             {"", "Calibrating", "Calibrating Held", "Calibrated", "Calibrated Tracing Held"})
            QTest::addRow("'%s', button %d", state, button) << QString(state) << button;
}

void TestMeasurement::otherReleasesPopUp()
{
    QFETCH(QString, before);
    QFETCH(int, button);
    Measurement m(host);
    if (before.contains("Calibrated"))
        calibrateTo(m, 100.0);
    else if (!before.isEmpty())
        m.calibrate();
    if (before.contains("Held"))
        m.Image1_MouseDown(1, 0, 10.0f, 10.0f);
    if (before.contains("Tracing"))
        m.Image1_MouseMove(1, 0, 50.0f, 0.0f);
    QCOMPARE(state(m), before);
    const double route = m.RouteLength();
    const int boxes = host.boxes.shown.size();

    m.Image1_MouseUp(button, 0, 70.0f, 30.0f);
    QCOMPARE(host.popUps, 1);
    QCOMPARE(state(m), before);
    QCOMPARE(m.RouteLength(), route);
    QCOMPARE(host.boxes.shown.size(), boxes);
}

void TestMeasurement::strokesAddUpAtAnyZoomUntilReset()
{
    Measurement m(host);
    calibrateTo(m, 100.0); // at zoom 1
    stroke(m, {{0, 0}, {50, 0}, {100, 0}});
    QCOMPARE(m.RouteLength(), 100.0);
    // Far away: the jump from (100, 0) to (500, 500) is not counted.
    stroke(m, {{500, 500}, {500, 550}, {500, 600}});
    QCOMPARE(m.RouteLength(), 200.0);
    QCOMPARE(host.Text7, QStringLiteral("2.0  ")); // last tail step 25 units = 0.25
    QCOMPARE(host.Text5, QStringLiteral("3"));
    host.zoom = 2.0f;
    stroke(m, {{0, 0}, {100, 0}, {200, 0}}); // 200 view units at zoom 2: 100 on the map
    QCOMPARE(m.RouteLength(), 300.0);
    host.zoom = 0.5f;
    stroke(m, {{0, 0}, {0, 50}}); // 50 view units at zoom 0.5: 100 on the map
    QCOMPARE(m.RouteLength(), 400.0);
    QCOMPARE(host.Text7, QStringLiteral("4.0  ")); // last step 25 view units at zoom 0.5: 0.5 units

    m.Reset();
    QCOMPARE(m.RouteLength(), 0.0);
    QCOMPARE(m.SampleCount(), int16_t(0));
    QCOMPARE(readouts(), (QStringList{"0.000", "0.000", "0"}));
    QCOMPARE(state(m), "Calibrated");
    QCOMPARE(m.UnitLength(), 100.0);
    QCOMPARE(m.LastY(), 50);
    stroke(m, {{0, 0}, {0, 30}});
    QCOMPARE(m.RouteLength(), 60.0);
}

void TestMeasurement::thresholdsThroughStroke_data()
{
    QTest::addColumn<float>("x"); // one move from the press at 0; the smoothed point is at x / 2
    QTest::addColumn<QString>("Text7");
    QTest::newRow("step 0.7") << 1400.0f << "0.7  ";
    QTest::newRow("step 0.701") << 1402.0f << "1    ";
    QTest::newRow("step 0.07") << 140.0f << "0.07 ";
    QTest::newRow("step 0.071") << 142.0f << "0.1  ";
    QTest::newRow("step 0.007") << 14.0f << "0.007";
    QTest::newRow("step 0.008") << 16.0f << "0.01 ";
}

void TestMeasurement::thresholdsThroughStroke()
{
    QFETCH(float, x);
    Measurement m(host);
    calibrateTo(m, 1000.0);
    m.Image1_MouseDown(1, 0, 0.0f, 0.0f);
    m.Image1_MouseMove(1, 0, x, 0.0f);
    QTEST(host.Text7, "Text7");
}

void TestMeasurement::longStraightStroke_data()
{
    QTest::addColumn<QPointF>("start");
    QTest::addColumn<QPointF>("step");
    QTest::addColumn<int>("samples");
    QTest::addColumn<double>("tolerance"); // view units
    // Along an axis the rounded points stay on the line in order: the exact rounded distance.
    QTest::newRow("along X, sub-twip steps") << QPointF(3.3, 50) << QPointF(0.37, 0) << 20000 << 0.0;
    // Steps whose four-sample means are whole numbers: no rounding at all.
    QTest::newRow("diagonal, whole means") << QPointF(0, 0) << QPointF(12, 16) << 5000 << 0.0;
    // A general slope: each smoothed point may sit up to half a unit off the line in X and Y, so a
    // segment of length L may grow by at most 1 / (L - 1.5) across the line (its ends move by at most
    // 1 each way), while the movements along the line cancel out but for the two ends.
    const auto bound = [](QPointF step, int samples) {
        return samples / (std::hypot(step.x(), step.y()) - 1.5) + 2.0;
    };
    QTest::newRow("diagonal, pixel steps")
        << QPointF(7, 11) << QPointF(15, 45) << 5000 << bound({15, 45}, 5000);
    QTest::newRow("diagonal, fractional")
        << QPointF(0.4, 0.6) << QPointF(7.3, 9.1) << 10000 << bound({7.3, 9.1}, 10000);
}

void TestMeasurement::longStraightStroke()
{
    QFETCH(QPointF, start);
    QFETCH(QPointF, step);
    QFETCH(int, samples);
    QFETCH(double, tolerance);
    Measurement m(host);
    calibrateTo(m, 1000.0);
    float x = float(start.x()), y = float(start.y());
    m.Image1_MouseDown(1, 0, x, y);
    for (int i = 1; i < samples; ++i) {
        x = float(start.x() + i * step.x());
        y = float(start.y() + i * step.y());
        m.Image1_MouseMove(1, 0, x, y);
    }
    m.Image1_MouseUp(1, 0, x, y);
    const double straight =
        PixelDistance(RoundToInt32(start.x()), RoundToInt32(x), RoundToInt32(start.y()), RoundToInt32(y));
    QCOMPARE_LE(std::abs(m.RouteLength() - straight), tolerance + 1e-6 * straight);
    QCOMPARE(QPoint(m.LastX(), m.LastY()), QPoint(RoundToInt32(x), RoundToInt32(y)));
}

void TestMeasurement::sampleCountStopsAt32767()
{
    Measurement m(host);
    calibrateTo(m, 1000.0);
    m.Image1_MouseDown(1, 0, 0.0f, 0.0f);
    for (int i = 1; i < 40000; ++i)
        m.Image1_MouseMove(1, 0, float(i), 0.0f);
    QCOMPARE(m.SampleCount(), int16_t(32767));
    QCOMPARE(m.LastX(), 39998); // the smoothing goes on: mean 39997.5, to the even neighbour
    m.Image1_MouseUp(1, 0, 39999.0f, 0.0f);
    QCOMPARE(m.RouteLength(), 39999.0);
    QCOMPARE(host.Text7, QStringLiteral("39.999"));
    QCOMPARE(host.Text5, QStringLiteral("32767"));
}

void TestMeasurement::unsoundRecordRefused_data()
{
    QTest::addColumn<float>("calFactor");
    QTest::addColumn<double>("unitFactor");
    QTest::addColumn<QString>("text");
    const QString cal = CalibrationText::RefusedCalFactorText;
    const QString unit = CalibrationText::RefusedUnitFactorText;
    const double f = 1.609344;
    QTest::newRow("CalFactor 0") << 0.0f << f << cal;
    QTest::newRow("CalFactor negative") << -1.0f << f << cal;
    QTest::newRow("CalFactor NaN") << std::numeric_limits<float>::quiet_NaN() << f << cal;
    QTest::newRow("CalFactor infinite") << std::numeric_limits<float>::infinity() << f << cal;
    QTest::newRow("CalFactor -infinite") << -std::numeric_limits<float>::infinity() << f << cal;
    QTest::newRow("UnitFactor 0") << 1.0f << 0.0 << unit;
    QTest::newRow("UnitFactor negative") << 1.0f << -f << unit;
    QTest::newRow("UnitFactor NaN") << 1.0f << std::numeric_limits<double>::quiet_NaN() << unit;
    QTest::newRow("UnitFactor infinite") << 1.0f << std::numeric_limits<double>::infinity() << unit;
}

void TestMeasurement::unsoundRecordRefused()
{
    QFETCH(float, calFactor);
    QFETCH(double, unitFactor);
    QFETCH(QString, text);
    Measurement m(host);
    calibrateTo(m, 100.0);
    stroke(m, {{0, 0}, {100, 0}, {150, 0}});
    const int writes = host.readoutWrites, closed = host.promptsClosed;
    const auto makeUnsound = [&] {
        host.factors.setCalFactor(calFactor);
        host.factors.setUnitFactor(unitFactor);
    };

    makeUnsound();
    m.calibrate();
    QCOMPARE(host.boxes.shown.size(), 1);
    QCOMPARE(box(host.boxes.shown[0]), (QStringList{"Calibration Refused", text, "Warning"}));
    QCOMPARE(host.promptsClosed, closed); // no calibration procedure ran
    QCOMPARE(state(m), "");
    QCOMPARE(host.readoutWrites, writes);

    // Uncalibrated now: a press on the map asks again, and is refused again; nothing is measured.
    drag(m, {0, 0}, {300, 0});
    QCOMPARE(host.boxes.titles(), (QStringList{"Calibration Refused", "Calibration Refused"}));
    QCOMPARE(m.UnitLength(), 100.0);
    QCOMPARE(host.readoutWrites, writes);

    // Once the record is sound again the calibration works.
    host.factors = ScaleFactors::builtInDefaults();
    m.Image1_MouseDown(1, 0, 0.0f, 0.0f); // prompts
    drag(m, {0, 0}, {300, 0});
    QCOMPARE(m.UnitLength(), 300.0);

    // A record turned unsound between the prompt and the release is refused at the release.
    m.calibrate();
    m.Image1_MouseDown(1, 0, 0.0f, 0.0f);
    makeUnsound();
    host.boxes.shown.clear();
    m.Image1_MouseUp(1, 0, 100.0f, 0.0f);
    QCOMPARE(host.boxes.titles(), QStringList{"Calibration Refused"});
    QCOMPARE(m.UnitLength(), 300.0);
    QCOMPARE(state(m), "");
}

void TestMeasurement::extremeSoundRecordShowsNumbers()
{
    // The smallest and largest single-precision distances still give finite, non-negative readouts.
    for (float cal : {std::numeric_limits<float>::denorm_min(), std::numeric_limits<float>::max()}) {
        host = FakeMeasureHost();
        host.factors.setCalFactor(cal);
        host.zoom = 0.01f;
        Measurement m(host);
        m.calibrate();
        drag(m, {0, 0}, {2.0e9, 2.0e9});
        QVERIFY(m.Calibrated());
        QVERIFY(std::isfinite(m.UnitLength()) && m.UnitLength() > 0.0);
        stroke(m, {{0, 0}, {1.0e9, 0}, {2.0e9, 0}});
        for (const QString& t : {host.Text7, host.Text8})
            QVERIFY2(QRegularExpression("^[0-9. ]+$").match(t).hasMatch(), qPrintable(t));
    }
}

void TestMeasurement::nonPositiveZoomDividesNothing()
{
    // The window keeps its zoom positive; if it ever reported 0, nothing would be divided by it.
    Measurement m(host);
    m.calibrate();
    host.zoom = 0.0f;
    drag(m, {0, 0}, {100, 0});
    QCOMPARE(state(m), "Calibrating");
    QCOMPARE(m.UnitLength(), 0.0);

    host.zoom = 1.0f;
    calibrateTo(m, 100.0);
    host.zoom = 0.0f;
    stroke(m, {{0, 0}, {50, 0}, {100, 0}});
    QCOMPARE(m.RouteLength(), 0.0);
    QCOMPARE(readouts(), (QStringList{"0.000", "0.000", "3"}));
}

void TestMeasurement::positionBeyond32BitsOverflows()
{
    Measurement m(host);
    m.calibrate();
    QVERIFY_THROWS_EXCEPTION(OverflowError, m.Image1_MouseDown(1, 0, 3.0e9f, 0.0f));
    // The largest whole positions fit, but their difference does not.
    m.Image1_MouseDown(1, 0, -2.0e9f, 0.0f);
    QVERIFY_THROWS_EXCEPTION(OverflowError, m.Image1_MouseUp(1, 0, 2.0e9f, 0.0f));
}

void TestMeasurement::userDecimalSeparator()
{
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    host.factors.setCalFactor(0.1f);
    Measurement m(host);
    m.calibrate();
    QVERIFY(host.boxes.shown[0].text.contains(CR + QStringLiteral("0,1 km away")));
    drag(m, {0, 0}, {100, 0}); // 1000 view units per km
    stroke(m, {{0, 0}, {1000, 0}, {2000, 0}});
    QCOMPARE(m.RouteLength(), 2000.0);
    // Last step 500 units = 0.5 km; 1.242 ml, step 0.31 ml.
    QCOMPARE(readouts(), (QStringList{"2,0  ", "1,2  ", "3"}));
}

QTEST_GUILESS_MAIN(TestMeasurement)
#include "tst_measurement.moc"
