// The main window driven as a user drives it: pointer events on the map, menus, pop-up and toolbar.
#include "apptesting.h"

#include "fakemeasurehost.h"
#include "measurement.h"

#include <QLineEdit>
#include <QMenu>
#include <QScrollBar>
#include <QToolButton>

class TestFrmMain : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase() { ConfigureApplication(); }
    void init();
    void cleanup();
    void meterBoxesAndToolbar();
    void popUpOpensOnReleaseByButtonAndPlace_data();
    void popUpOpensOnReleaseByButtonAndPlace();
    void moveWithRightButtonAlsoHeldTakesNoSample();
    void equivalentCommandsBehaveAlike_data();
    void equivalentCommandsBehaveAlike();
    void zoomIsRefusedWhileTheLeftButtonIsHeld();
    void stretchMeasuresTheSameAtAnyZoomAndScroll();
    void denseCurvedStrokeCountsEverySample();
    void helpOpensTheHelpFileInTheStartFolder();

private:
    void calibrateOnGrid();
    std::unique_ptr<Harness> h;
};

void TestFrmMain::init()
{
    h = std::make_unique<Harness>();
    startWith(*h, sampleMap("rushmere-edge.bmp"));
    QVERIFY(h->main().isLoaded());
}

void TestFrmMain::cleanup()
{
    if (h->main().popUpMenu())
        h->main().popUpMenu()->hide();
    h.reset();
}

void TestFrmMain::calibrateOnGrid()
{
    drag(*h, {{125, 400}, {375, 400}}); // 1 km: grid line to grid line
    QVERIFY(h->main().measurement().Calibrated());
}

void TestFrmMain::meterBoxesAndToolbar()
{
    const struct {
        const char* name;
        const char* accessible;
        QColor colour;
        bool meter;
    } boxes[] = {{"Text7", "Primary distance", QColor(0, 0, 192), true},
                 {"Text14", "Primary unit", QColor(0, 0, 192), false},
                 {"Text8", "Secondary distance", QColor(0, 192, 0), true},
                 {"Text15", "Secondary unit", QColor(0, 192, 0), false}};
    int lastRight = -1;
    for (const auto& b : boxes) {
        auto* box = h->main().window()->findChild<QLineEdit*>(QLatin1String(b.name));
        QVERIFY(box && box->isVisible() && box->isReadOnly());
        QCOMPARE(box->accessibleName(), QString(b.accessible));
        QCOMPARE(box->palette().color(QPalette::Text), b.colour);
        QVERIFY(box->font().bold());
        QVERIFY(box->x() > lastRight); // left to right: Text7, Text14, Text8, Text15
        lastRight = box->geometry().right();
        if (b.meter) {
            QCOMPARE(box->font().pointSize(), 15);
            QVERIFY(QFontInfo(box->font()).fixedPitch());
            QVERIFY(box->alignment() & Qt::AlignRight);
        } else {
            QCOMPARE(box->font().pointSize(), 12);
        }
    }
    QVERIFY(!h->main().window()->findChild<QLineEdit*>(QStringLiteral("Text5"))->isVisible());
    // The toolbar strip keeps its design size, 12132 x 612 twips, whatever the screen.
    const double tpp = h->view().twipsPerPixelX();
    QCOMPARE(h->main().window()->findChild<QWidget*>(QStringLiteral("Frame2"))->size(),
             QSize(qRound(12132 / tpp), qRound(612 / tpp)));
    const char* tips[][2] = {{"OpenFileButton", "Open another map file"},
                             {"ZoomInButton", "Zoom In"},
                             {"ZoomOutButton", "Zoom Out"},
                             {"ZoomToFitButton", "Zoom to Fit Screen"},
                             {"ReCalButton", "Recalibrate"},
                             {"ResetButton", "Reset the tripmeters"}};
    for (const auto& t : tips) {
        auto* button = h->main().window()->findChild<QToolButton*>(QLatin1String(t[0]));
        QVERIFY(button);
        QCOMPARE(button->toolTip(), QString(t[1]));
        QCOMPARE(button->accessibleName(), QString(t[1]));
        QVERIFY(!button->icon().isNull());
    }
    QCOMPARE(h->action("menuOpen")->shortcut(), QKeySequence("Ctrl+O"));
    QCOMPARE(h->action("MenuZoomIn")->shortcut(), QKeySequence("Ctrl+I"));
    QCOMPARE(h->action("menuZoomOut")->shortcut(), QKeySequence("Ctrl+T"));
    QCOMPARE(h->action("menuZoomToFit")->shortcut(), QKeySequence("Ctrl+F"));
}

void TestFrmMain::popUpOpensOnReleaseByButtonAndPlace_data()
{
    QTest::addColumn<QString>("place");
    QTest::addColumn<int>("button");
    QTest::addColumn<bool>("calibrated");
    QTest::addColumn<bool>("popUp");
    QTest::newRow("right on the map, awaiting the drag") << "Image1" << int(Qt::RightButton) << false << true;
    QTest::newRow("middle on the map, awaiting the drag")
        << "Image1" << int(Qt::MiddleButton) << false << true;
    QTest::newRow("right on the map, calibrated") << "Image1" << int(Qt::RightButton) << true << true;
    QTest::newRow("left on the map") << "Image1" << int(Qt::LeftButton) << true << false;
    QTest::newRow("right on the frame") << "Frame1" << int(Qt::RightButton) << true << true;
    QTest::newRow("middle on the frame") << "Frame1" << int(Qt::MiddleButton) << true << false;
    QTest::newRow("left on the frame") << "Frame1" << int(Qt::LeftButton) << true << false;
    QTest::newRow("right on the window") << "Client" << int(Qt::RightButton) << true << true;
    QTest::newRow("middle on the window") << "Client" << int(Qt::MiddleButton) << true << false;
    QTest::newRow("right on the toolbar strip") << "Frame2" << int(Qt::RightButton) << true << false;
    QTest::newRow("right on a toolbar button") << "ZoomInButton" << int(Qt::RightButton) << true << false;
}

void TestFrmMain::popUpOpensOnReleaseByButtonAndPlace()
{
    QFETCH(QString, place);
    QFETCH(int, button);
    QFETCH(bool, calibrated);
    QFETCH(bool, popUp);
    if (calibrated)
        calibrateOnGrid();
    if (place == "Frame1") // leave room around the picture so the frame itself shows
        for (int i = 0; i < 4; ++i)
            h->action("menuZoomOut")->trigger();
    QWidget* target = h->main().window()->findChild<QWidget*>(place);
    QVERIFY(target);
    // On the window: below the toolbar strip and left of the viewport.
    const QPointF at = place == "Client" ? QPointF(2, 100) : QPointF(2, 2);
    const auto b = Qt::MouseButton(button);
    sendMouse(target, QEvent::MouseButtonPress, b, b, at);
    QVERIFY(!h->main().popUpMenu()->isVisible()); // a press never opens it
    sendMouse(target, QEvent::MouseButtonRelease, b, Qt::NoButton, at);
    QCOMPARE(h->main().popUpMenu()->isVisible(), popUp);
    QCOMPARE(h->main().measurement().Calibrated(), calibrated);
}

void TestFrmMain::moveWithRightButtonAlsoHeldTakesNoSample()
{
    calibrateOnGrid();
    QWidget* image = h->image1();
    sendMouse(image, QEvent::MouseButtonPress, Qt::LeftButton, Qt::LeftButton, toImage1(*h, {200, 200}));
    sendMouse(image, QEvent::MouseMove, Qt::NoButton, Qt::LeftButton, toImage1(*h, {300, 200}));
    sendMouse(image, QEvent::MouseMove, Qt::NoButton, Qt::LeftButton | Qt::RightButton,
              toImage1(*h, {400, 200}));
    QCOMPARE(h->text("Text5"), QString("2"));
    sendMouse(image, QEvent::MouseButtonRelease, Qt::LeftButton, Qt::NoButton, toImage1(*h, {300, 200}));
    // press, then halfway (150), then the tail to the last sample (300): 100 px = 0.4 km
    QVERIFY2(std::abs(meter(h->text("Text7")) - 0.4) < 0.005, qPrintable(h->text("Text7")));
}

void TestFrmMain::equivalentCommandsBehaveAlike_data()
{
    QTest::addColumn<QStringList>("commands");
    QTest::addColumn<QString>("effect");
    QTest::newRow("zoom in") << QStringList{"MenuZoomIn", "PopMenuZoomIn", "ZoomInButton"} << "zoom in";
    QTest::newRow("zoom out") << QStringList{"menuZoomOut", "PopMenuZoomOut", "ZoomOutButton"} << "zoom out";
    QTest::newRow("zoom to fit") << QStringList{"menuZoomToFit", "PopMenuZoomToFit", "ZoomToFitButton"}
                                 << "fit";
    QTest::newRow("recalibrate") << QStringList{"MenuRecalibrate", "PopMenuRecal", "ReCalButton"} << "prompt";
    QTest::newRow("reset") << QStringList{"PopMenuReset", "ResetButton"} << "reset";
}

void TestFrmMain::equivalentCommandsBehaveAlike()
{
    QFETCH(QStringList, commands);
    QFETCH(QString, effect);
    calibrateOnGrid();
    const float fitted = h->main().viewFields().ZoomFactor;
    for (const QString& name : commands) {
        h->action("menuZoomToFit")->trigger();
        drag(*h, {{125, 650}, {625, 650}});
        QVERIFY(meter(h->text("Text7")) > 1.9);
        const int shown = h->messages.shown.size();
        if (auto* button = h->main().window()->findChild<QToolButton*>(name))
            QTest::mouseClick(button, Qt::LeftButton);
        else
            h->action(qPrintable(name))->trigger();
        const float zoom = h->main().viewFields().ZoomFactor;
        if (effect == "zoom in")
            QCOMPARE(zoom, float(double(fitted) * 1.1));
        else if (effect == "zoom out")
            QCOMPARE(zoom, float(double(fitted) / 1.1));
        else
            QCOMPARE(zoom, fitted);
        if (effect == "prompt") {
            QCOMPARE(h->messages.shown.size(), shown + 1);
            QCOMPARE(h->lastTitle(), QString("Calibration Procedure"));
            QVERIFY(h->main().measurement().Calibrating());
            QVERIFY(meter(h->text("Text7")) > 1.9); // kept until the new calibration succeeds
            calibrateOnGrid();
        } else if (effect == "reset") {
            QCOMPARE(h->text("Text7"), QString("0.000"));
            QCOMPARE(h->text("Text8"), QString("0.000"));
            QVERIFY(h->main().measurement().Calibrated());
        } else {
            QCOMPARE(h->messages.shown.size(), shown);
        }
        h->action("PopMenuReset")->trigger();
    }
}

void TestFrmMain::zoomIsRefusedWhileTheLeftButtonIsHeld()
{
    calibrateOnGrid();
    const float fitted = h->main().viewFields().ZoomFactor;
    QWidget* image = h->image1();
    sendMouse(image, QEvent::MouseButtonPress, Qt::LeftButton, Qt::LeftButton, toImage1(*h, {200, 200}));
    h->main().window()->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(h->main().window()));
    QTest::keyClick(h->main().window(), Qt::Key_I, Qt::ControlModifier);
    h->action("MenuZoomIn")->trigger();
    QCOMPARE(h->main().viewFields().ZoomFactor, fitted);
    sendMouse(image, QEvent::MouseButtonRelease, Qt::LeftButton, Qt::NoButton, toImage1(*h, {200, 200}));
    QTest::keyClick(h->main().window(), Qt::Key_I, Qt::ControlModifier);
    QCOMPARE(h->main().viewFields().ZoomFactor, float(double(fitted) * 1.1));
}

void TestFrmMain::stretchMeasuresTheSameAtAnyZoomAndScroll()
{
    calibrateOnGrid();
    const QList<QPointF> stretch{{375, 150}, {875, 150}, {875, 650}}; // 2 km and 2 km
    auto measure = [&] {
        h->action("PopMenuReset")->trigger();
        drag(*h, stretch);
        return h->main().measurement().RouteLength() / h->main().measurement().UnitLength();
    };
    const double fitted = measure();
    QVERIFY2(std::abs(fitted - 4.0) < 0.02, qPrintable(QString::number(fitted)));
    for (int i = 0; i < 3; ++i)
        h->action("MenuZoomIn")->trigger();
    const double zoomed = measure();
    h->view().vscroll1()->setValue(10);
    h->view().hscroll1()->setValue(10);
    const double scrolled = measure();
    // In two strokes, the second after a zoom, against the same two strokes at one zoom.
    auto twoStrokes = [&](bool zoomBetween) {
        h->action("PopMenuReset")->trigger();
        drag(*h, stretch.mid(0, 2));
        if (zoomBetween)
            h->action("menuZoomToFit")->trigger();
        drag(*h, stretch.mid(1));
        return h->main().measurement().RouteLength() / h->main().measurement().UnitLength();
    };
    const double oneZoom = twoStrokes(false);
    const double across = twoStrokes(true);
    // Each smoothed point is rounded to a whole twip: at 3750 unzoomed twips to the km, that is far
    // below a thousandth of a km over this stretch.
    for (double v : {zoomed, scrolled})
        QVERIFY2(std::abs(v - fitted) < 0.001, qPrintable(QString("%1 vs %2").arg(v).arg(fitted)));
    QVERIFY2(std::abs(across - oneZoom) < 0.001, qPrintable(QString("%1 vs %2").arg(across).arg(oneZoom)));
}

void TestFrmMain::denseCurvedStrokeCountsEverySample()
{
    calibrateOnGrid();
    // A reference measurement fed the same twips positions as the window's.
    FakeMeasureHost reference;
    reference.zoom = h->main().viewFields().ZoomFactor;
    Measurement expected(reference);
    expected.calibrate();
    const auto& m = h->main().measurement();
    expected.Image1_MouseDown(1, 0, float(m.CalStartX()), float(m.CalStartY()));
    expected.Image1_MouseUp(1, 0, float(m.CalEndX()), float(m.CalEndY()));

    QWidget* image = h->image1();
    auto* image1 = h->view().image1();
    const double tpp = h->view().twipsPerPixelX();
    auto twips = [&](QPointF local) {
        return QPointF((local.x() + image1->x() - image1->placement().left()) * tpp,
                       (local.y() + image1->y() - image1->placement().top()) * tpp);
    };
    const int samples = 600;
    const QPointF centre(750, 500);
    for (int i = 0; i <= samples; ++i) {
        const double a = M_PI * i / samples;
        const QPointF local = toImage1(*h, centre + QPointF(300 * std::cos(a), 300 * std::sin(a)));
        const QPointF t = twips(local);
        if (i == 0) {
            sendMouse(image, QEvent::MouseButtonPress, Qt::LeftButton, Qt::LeftButton, local);
            expected.Image1_MouseDown(1, 0, float(t.x()), float(t.y()));
        } else {
            sendMouse(image, QEvent::MouseMove, Qt::NoButton, Qt::LeftButton, local);
            expected.Image1_MouseMove(1, 0, float(t.x()), float(t.y()));
        }
    }
    QCOMPARE(h->text("Text5"), QString::number(samples + 1));
    sendMouse(image, QEvent::MouseButtonRelease, Qt::LeftButton, Qt::NoButton,
              toImage1(*h, centre + QPointF(-300, 0)));
    expected.Image1_MouseUp(1, 0, 0, 0);
    QCOMPARE(h->main().measurement().RouteLength(), expected.RouteLength());
    QCOMPARE(h->text("Text7"), reference.Text7);
    QCOMPARE(h->text("Text8"), reference.Text8);
    // Half a circle of 300 px radius at 250 px to the km: pi * 1.2 km, within the smoothing and the
    // rounding of each smoothed point to a whole twip.
    QVERIFY2(std::abs(meter(h->text("Text7")) - M_PI * 1.2) < 0.01, qPrintable(h->text("Text7")));
}

void TestFrmMain::helpOpensTheHelpFileInTheStartFolder()
{
    h->action("MainHelp")->trigger();
    QCOMPARE(h->help.shown, QStringList{h->program.StartDir + "/mapwheel.hlp"});
}

QTEST_MAIN(TestFrmMain)
#include "tst_frmmain.moc"
