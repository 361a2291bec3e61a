#include "measurement.h"
#include "checkedmath.h"
#include "unitcatalogue.h"

#include <QTest>
#include <cmath>
#include <limits>

namespace
{
// The main window as far as the measurement shows itself in it: the three readouts, the boxes raised,
// the pop-ups opened, and the zoom and factors it hands over.
struct Window {
    Measurement m;
    ScaleFactors factors = ScaleFactors::builtInDefaults();
    float zoom = 1.0f;
    QStringList readouts{"0.000", "0.000", "0"}, boxes;
    int popUps = 0, calibrationsBegun = 0;

    void show(const MeasureOutcome& o)
    {
        if (o.readouts)
            readouts = QStringList{o.readouts->Text7, o.readouts->Text8, o.readouts->Text5};
        for (const Prompt& p : o.prompts)
            boxes << p.title;
        popUps += o.popUp;
        calibrationsBegun += o.calibrationPrompted;
    }
    void down(float x, float y, int button = 1) { show(m.Image1_MouseDown(button, x, y, {zoom, factors})); }
    void move(float x, float y, int buttons = 1) { show(m.Image1_MouseMove(buttons, x, y, {zoom, factors})); }
    void up(float x, float y, int button = 1) { show(m.Image1_MouseUp(button, x, y, {zoom, factors})); }
    void stroke(const QList<QPointF>& points)
    {
        down(points.first().x(), points.first().y());
        for (const QPointF& p : points.mid(1))
            move(p.x(), p.y());
        up(points.last().x(), points.last().y());
    }
    // A calibration drag of `length` twips at the current zoom; the boxes are then cleared.
    void calibrate(double length)
    {
        show(m.calibrate(factors));
        stroke({{0, 0}, {length, 0}});
        boxes.clear();
    }
    QString Text7() const { return readouts[0]; }
};
} // namespace

// Calibration, tracing and the readouts, as the window shows them.
class TestMeasure : public QObject
{
    Q_OBJECT
private slots:
    void init() { QLocale::setDefault(QLocale::c()); }
    void calibrationDialogue();
    void movingAverageAndTail();
    void zoomBetweenStrokesChangesNothing();
    void readoutTexts_data();
    void readoutTexts();
    void buttonsAndRefusals();
    void limits();
};

void TestMeasure::calibrationDialogue()
{
    Window w;
    w.factors = ScaleFactors::forUnits(7, 6, 0.1f);
    w.down(5, 5); // uncalibrated: the press only prompts, and is not the drag's start
    QCOMPARE(w.boxes, QStringList{"Calibration Procedure"});
    QCOMPARE(w.calibrationsBegun, 1);
    const QString prompt = w.m.calibrate(w.factors).prompts.first().text;
    QCOMPARE(
        prompt,
        QString("Zoom in, then click & drag from one point to another \r0.1 ml away (eg between "
                "gridlines), then release\r\rHINT: only the position of the two end points is important"));
    w.up(100, 0); // the release of the press that opened the prompt
    QCOMPARE(w.boxes.size(), 1);
    w.zoom = 2.0f; // 300 twips at zoom 2 over 0.1 ml: a mile is 1500 unzoomed twips
    w.stroke({{0, 0}, {180, 240}});
    QCOMPARE(w.boxes.last(), QString("Calibration Procedure"));
    QCOMPARE(w.readouts, (QStringList{"0.000", "0.000", "0"}));
    w.zoom = 1.0f;
    w.stroke({{0, 0}, {1500, 0}}); // steps of half a mile: tenths; 1.609 km after steps of 0.8 km: whole
    QCOMPARE(w.readouts, (QStringList{"1.0  ", "2    ", "2"}));
    w.show(w.m.calibrate(w.factors)); // recalibrating: the meters keep their count until a drag succeeds
    w.down(10, 10);
    QVERIFY(w.m.leftDragInProgress());
    w.up(10.4f, 9.6f); // the same whole twips: void, and asked again
    QCOMPARE(w.boxes.mid(2),
             (QStringList{"Calibration Procedure", "Calibration Void", "Calibration Procedure"}));
    QCOMPARE(w.readouts, (QStringList{"1.0  ", "2    ", "2"}));
    QCOMPARE(w.calibrationsBegun, 3);
}

void TestMeasure::movingAverageAndTail()
{
    // Calibrated at 1000 twips to the km; presses P1 (0,0), moves P2 (8,0), P3 (8,8), P4 (0,8), P5 (12,4).
    // Smoothed points (4,0) (5,3) (4,4) (7,5), halves to even; the tail (7,7) (6,6) (12,4).
    Window w;
    w.calibrate(1000);
    w.stroke({{0, 0}, {8, 0}, {8, 8}, {0, 8}, {12, 4}});
    // 21.478 twips: 0.021 km and 0.013 miles (cut, not rounded), the last step sqrt(40) in thousandths.
    QCOMPARE(w.readouts, (QStringList{"0.021", "0.013", "5"}));
    // Two samples: the midpoint (2.5, 1.5) is stored as (2, 2), 5.990 twips to (5, 3); rounding halves up
    // would store (3, 2), 5.842 twips. A hundred such strokes tell them apart.
    Window many;
    many.calibrate(1000);
    for (int i = 0; i < 100; ++i)
        many.stroke({{0, 0}, {5, 3}});
    QCOMPARE(many.readouts, (QStringList{"0.599", "0.372", "2"}));
}

void TestMeasure::zoomBetweenStrokesChangesNothing()
{
    Window w;
    w.zoom = 0.5f;
    w.calibrate(500); // 1000 unzoomed twips to the km
    w.zoom = 4.0f;
    w.stroke({{0, 0}, {4000, 0}}); // 1000 unzoomed twips in steps of 0.5 km
    QCOMPARE(w.readouts, (QStringList{"1.0  ", "0.6  ", "2"}));
    w.zoom = 0.25f;
    w.stroke({{0, 0}, {500, 0}}); // 2000 more in steps of 1 km
    QCOMPARE(w.readouts, (QStringList{"3    ", "1.9  ", "2"}));
    w.show(w.m.Reset());
    QCOMPARE(w.readouts, (QStringList{"0.000", "0.000", "0"}));
    w.stroke({{0, 0}, {1, 0}});
    QCOMPARE(w.Text7(), QString("0.004"));
}

void TestMeasure::readoutTexts_data()
{
    QTest::addColumn<QList<double>>("in"); // segment, route, unit length, unit factor
    QTest::addColumn<QString>("sep");
    QTest::addColumn<QString>("texts");
    const double kmMiles = 1.609344;
    const auto row = [](const char* name, QList<double> in, const char* sep, const char* texts) {
        QTest::newRow(name) << in << QString(sep) << QString(texts);
    };
    // The decimals follow the last segment in each unit; every comparison is strict.
    for (const auto& [step, texts] : {std::pair{700, "0.7  |0.7  "},
                                      {701, "1    |1    "},
                                      {70, "0.07 |0.07 "},
                                      {71, "0.1  |0.1  "},
                                      {7, "0.007|0.007"},
                                      {8, "0.01 |0.01 "}})
        row(texts, {double(step), double(step), 1000, 1}, ".", texts);
    row("tenths and hundredths", {100, 1000, 1000, kmMiles}, ".", "1.0  |0.62 ");
    row("the secondary cut, not rounded", {0, 9999, 10000, 1}, ".", "1.000|0.999");
    row("1 mile in mm", {0, 500, 500, 1.0 / 1609344}, ".", "1.000|1609344.000");
    row("user separator", {0, 1000, 1000, kmMiles}, ",", "1,000|0,621");
    row("unit length 0", {0, 10, 0, 1}, ".", "    ---|    ---");
    row("unit factor negative", {0, 10, 10, -1}, ".", "1.000|    ---");
}

void TestMeasure::readoutTexts()
{
    QFETCH(QList<double>, in);
    QFETCH(QString, sep);
    const TripMeterTexts t = TripMeterReadout::refresh(in[0], in[1], in[2], in[3], 7, sep);
    QTEST(t.Text7 + "|" + t.Text8, "texts");
    QCOMPARE(t.Text5, QString("7"));
}

void TestMeasure::buttonsAndRefusals()
{
    Window w;
    w.calibrate(1000);
    w.down(0, 0, 2); // only the left button measures
    w.down(0, 0);
    w.move(500, 0, 3); // with the right button held too: no sample
    w.move(1000, 0);
    QCOMPARE(w.readouts, (QStringList{"0.5  ", "0.3  ", "2"}));
    w.up(0, 0, 4); // any other release opens the pop-up, which takes the pointer: the stroke closes there
    QCOMPARE(w.popUps, 1);
    QCOMPARE(w.readouts, (QStringList{"1.0  ", "0.6  ", "2"}));
    QVERIFY(!w.m.leftDragInProgress());
    w.move(3000, 0);
    w.up(3000, 0);
    QCOMPARE(w.readouts[0], QString("1.0  "));

    // A release that never came: the button seen up in a move, a new press, a menu or window taking the
    // pointer. Each closes the stroke through its tail, 1 km more each time.
    w.down(0, 0);
    w.move(1000, 0);
    w.move(1000, 0, 0);
    QCOMPARE(w.readouts[0], QString("2.0  "));
    w.down(0, 0);
    w.move(1000, 0);
    w.down(0, 0);
    QCOMPARE(w.readouts[0], QString("3.000"));
    w.move(1000, 0);
    w.show(w.m.endDrag({w.zoom, w.factors}));
    QCOMPARE(w.readouts[0], QString("4.0  "));
    QVERIFY(!w.m.leftDragInProgress());
    // A calibration drag whose release was lost is dropped: the next release alone measures nothing.
    w.show(w.m.calibrate(w.factors));
    w.down(0, 0);
    w.show(w.m.endDrag({w.zoom, w.factors}));
    QVERIFY(!w.m.leftDragInProgress());
    w.up(500, 0);
    QCOMPARE(w.boxes.last(), QString("Calibration Procedure"));
    QCOMPARE(w.readouts[0], QString("4.0  "));

    const std::pair<float, double> unusable[] = {
        {0.0f, 1.0}, {-1.0f, 1.0}, {NAN, 1.0}, {1.0f, 0.0}, {1.0f, -2.0}};
    for (const auto& [cal, unit] : unusable) {
        Window r;
        r.factors.setCalFactor(cal);
        r.factors.setUnitFactor(unit);
        r.show(r.m.calibrate(r.factors));
        r.stroke({{0, 0}, {100, 0}});
        QCOMPARE(r.boxes, (QStringList{"Calibration Refused", "Calibration Refused"}));
        QCOMPARE(r.readouts[0], QString("0.000")); // nothing measured
        QCOMPARE(r.calibrationsBegun, 0);
    }
    Window changed; // a record that became unusable between the prompt and the release is refused there
    changed.show(changed.m.calibrate(changed.factors));
    changed.down(0, 0);
    changed.factors.setUnitFactor(0);
    changed.up(100, 0);
    QCOMPARE(changed.boxes, (QStringList{"Calibration Procedure", "Calibration Refused"}));
}

void TestMeasure::limits()
{
    Window w;
    w.calibrate(1000);
    w.down(0, 0);
    for (int i = 1; i <= 40000; ++i)
        w.move(float(i), 0);
    QCOMPARE(w.readouts[2], QString("32767")); // the count stops there
    w.up(40000, 0);
    QCOMPARE(w.Text7(), QString("40.000"));
    w.zoom = 0.0f; // no positive zoom: nothing is measured
    w.stroke({{0, 0}, {5000, 0}});
    QCOMPARE(w.readouts, (QStringList{"40.000", "24.854", "2"}));
    w.zoom = 1.0f;
    QVERIFY_THROWS_EXCEPTION(OverflowError, w.down(3e9f, 0));
}

QTEST_GUILESS_MAIN(TestMeasure)
#include "tst_measure.moc"
