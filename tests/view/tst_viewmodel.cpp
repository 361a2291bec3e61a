#include "viewmodel.h"

#include <QTest>
#include <cmath>

// Zoom, scroll-bar layout and readout arithmetic, without any window. Lengths in twips.
class TestViewModel : public QObject
{
    Q_OBJECT
private slots:
    void zoomToFit_data();
    void zoomToFit();
    void naturalSizeRoundsHalfEven();
    void oneZoomInFromSameAspectFit();
    void layoutExampleFromZoomedFit();
    void zoomInFactorsInSinglePrecision();
    void zoomInRefusedFrom100();
    void zoomOutRefusedBelowHundredth();
    void zoomInThenOutRestores();
    void centredImageStaysCentred();
    void centrePointStaysUnderCentre();
    void layoutCases_data();
    void layoutCases();
    void overflowAfterMovesOnlyWhenPositionChanges();
    void horizontalBarLeavesLayoutAlone();
    void verticalBarRelaysBothBars();
    void barEndsPutEdgesOnEdges();
    void zoomOutAtFarEndClosesStrip();
    void readout_data();
    void readout();
    void barChangeRaisedOnlyOnChange();
    void fitWithoutPictureChangesNothing();

private:
    static void place(ViewModel& m, float left, float top, float width, float height)
    {
        m.image().setLeft(left);
        m.image().setTop(top);
        m.image().setWidth(width);
        m.image().setHeight(height);
    }
};

void TestViewModel::zoomToFit_data()
{
    QTest::addColumn<int>("natW");
    QTest::addColumn<int>("natH");
    QTest::addColumn<float>("frameW");
    QTest::addColumn<float>("frameH");
    QTest::addColumn<float>("factor");
    QTest::addColumn<float>("width");
    QTest::addColumn<float>("height");
    QTest::addColumn<float>("left");
    QTest::addColumn<float>("top");
    QTest::addColumn<QString>("caption");
    QTest::newRow("height limits") << 2000 << 1000 << 10000.f << 4000.f << 4.f << 8000.f << 4000.f << 1000.f
                                   << 0.f << "4.00:1";
    QTest::newRow("same aspect") << 5000 << 2000 << 10000.f << 4000.f << 2.f << 10000.f << 4000.f << 0.f
                                 << 0.f << "2.00:1";
    QTest::newRow("larger shrinks") << 40000 << 8000 << 10000.f << 4000.f << 0.25f << 10000.f << 2000.f << 0.f
                                    << 1000.f << "0.25:1";
    // 11598 / 45000 in single precision times 45000 is 11598.0004: whole twips keep it inside.
    QTest::newRow("no rounding overshoot") << 45000 << 9000 << 11598.f << 7098.f << float(11598.0 / 45000)
                                           << 11598.f << 2320.f << 0.f << 2389.f << "0.26:1";
}

void TestViewModel::zoomToFit()
{
    QFETCH(int, natW);
    QFETCH(int, natH);
    QFETCH(float, frameW);
    QFETCH(float, frameH);
    ViewFields f;
    ViewModel m(f);
    m.setDecimalSeparator(".");
    m.setFrameSize(frameW, frameH);
    m.loadNaturalSize(natW, natH);
    QVERIFY(!m.image().Stretch);
    m.ZoomToFit();
    QTEST(f.ZoomFactor, "factor");
    QTEST(m.image().Width(), "width");
    QTEST(m.image().Height(), "height");
    QTEST(m.image().Left(), "left");
    QTEST(m.image().Top(), "top");
    QTEST(m.Label1Caption(), "caption");
    QVERIFY(m.image().Stretch);
    QVERIFY(m.image().Visible);
    QVERIFY(!m.HScroll1().Visible());
    QVERIFY(!m.VScroll1().Visible());
}

void TestViewModel::naturalSizeRoundsHalfEven()
{
    ViewFields f;
    ViewModel m(f);
    m.loadNaturalSize(1000.5, 1001.5);
    QCOMPARE(f.NaturalWidth, 1000);
    QCOMPARE(f.NaturalHeight, 1002);
    QCOMPARE(m.image().Width(), 1000.f);
}

void TestViewModel::oneZoomInFromSameAspectFit()
{
    ViewFields f;
    ViewModel m(f);
    m.setFrameSize(10000, 4000);
    m.loadNaturalSize(5000, 2000);
    m.ZoomToFit();
    m.ZoomIn();
    QCOMPARE(f.ZoomFactor, float(2.0 * 1.1));
    QCOMPARE(m.image().Width(), 11000.f);
    QCOMPARE(m.image().Height(), 4400.f);
    QCOMPARE(m.image().Left(), -500.f);
    QCOMPARE(m.image().Top(), -200.f);
    for (const ScrollBarModel* bar : {&m.HScroll1(), &m.VScroll1()}) {
        QCOMPARE(bar->LargeChange(), int16_t(1000));
        QCOMPARE(bar->Value(), int16_t(50));
        QVERIFY(bar->Visible());
    }
}

void TestViewModel::layoutExampleFromZoomedFit()
{
    // A fitted 8000 x 4000 at left 1000 in 10000 x 4000, zoomed in once: 8800 x 4400 at 600, -200.
    ViewFields f;
    ViewModel m(f);
    m.setFrameSize(10000, 4000);
    m.loadNaturalSize(2000, 1000);
    m.ZoomToFit();
    m.ZoomIn();
    QCOMPARE(m.image().Width(), 8800.f);
    QCOMPARE(m.image().Height(), 4400.f);
    QCOMPARE(m.image().Left(), 600.f);
    QCOMPARE(m.image().Top(), -200.f);
    QVERIFY(!m.HScroll1().Visible());
    QCOMPARE(m.VScroll1().LargeChange(), int16_t(1000));
    QCOMPARE(m.VScroll1().Value(), int16_t(50));
    QVERIFY(m.VScroll1().Visible());
}

void TestViewModel::zoomInFactorsInSinglePrecision()
{
    ViewFields f;
    ViewModel m(f);
    m.setFrameSize(4000, 4000);
    m.loadNaturalSize(4000, 4000);
    m.setDecimalSeparator(".");
    m.ZoomToFit();
    QCOMPARE(f.ZoomFactor, 1.f);
    // Each product is formed in double precision and stored back in single precision.
    const float expected[] = {1.10000002f, 1.21000004f, 1.33100009f, 1.46410012f};
    for (float e : expected) {
        m.ZoomIn();
        QCOMPARE(f.ZoomFactor, e);
    }
    QCOMPARE(m.Label1Caption(), QStringLiteral("1.46:1"));
}

void TestViewModel::zoomInRefusedFrom100()
{
    ViewFields f;
    ViewModel m(f);
    m.setFrameSize(4000, 4000);
    m.loadNaturalSize(4000, 4000);
    m.ZoomToFit();
    for (int i = 0; i < 48; ++i)
        m.ZoomIn();
    QCOMPARE(f.ZoomFactor, 97.0172424f); // 1.1^48, the last step below 100
    const float w = m.image().Width(), l = m.image().Left();
    const QString caption = m.Label1Caption();
    for (int i = 0; i < 3; ++i) {
        m.ZoomIn();
        QCOMPARE(f.ZoomFactor, float(double(float(double(97.0172424f) * 1.1)) / 1.1));
        QCOMPARE(m.image().Width(), w);
        QCOMPARE(m.image().Left(), l);
        QCOMPARE(m.Label1Caption(), caption);
        QVERIFY(m.image().Visible);
    }
}

void TestViewModel::zoomOutRefusedBelowHundredth()
{
    ViewFields f;
    ViewModel m(f);
    m.setFrameSize(4000, 4000);
    m.loadNaturalSize(4000, 4000);
    m.ZoomToFit();
    for (int i = 0; i < 48; ++i)
        m.ZoomOut();
    const float last = f.ZoomFactor;
    QCOMPARE(last, 0.0103074433f);
    const float w = m.image().Width();
    m.ZoomOut();
    QCOMPARE(f.ZoomFactor, last);
    QCOMPARE(m.image().Width(), w);
    QVERIFY(f.ZoomFactor > 0);
}

void TestViewModel::zoomInThenOutRestores()
{
    ViewFields f;
    ViewModel m(f);
    m.setFrameSize(10000, 4000);
    m.loadNaturalSize(2000, 1000);
    m.ZoomToFit();
    const float z = f.ZoomFactor;
    // Horizontally the image fits after the step, so no bar moves it.
    m.ZoomIn();
    m.ZoomOut();
    QCOMPARE(f.ZoomFactor, z);
    QCOMPARE(m.image().Width(), 8000.f);
    QCOMPARE(m.image().Height(), 4000.f);
    QCOMPARE(m.image().Left(), 1000.f);
    QCOMPARE(m.image().Top(), 0.f);
}

void TestViewModel::centredImageStaysCentred()
{
    ViewFields f;
    ViewModel m(f);
    m.setFrameSize(10000, 8000);
    m.loadNaturalSize(4000, 4000);
    m.ZoomToFit();
    for (int i = 0; i < 7; ++i) {
        m.ZoomIn();
        const double cx = m.image().Left() + m.image().Width() / 2.0;
        const double cy = m.image().Top() + m.image().Height() / 2.0;
        QVERIFY2(std::abs(cx - 5000) <= 1 && std::abs(cy - 4000) <= 1, qPrintable(QString::number(cx)));
    }
    for (int i = 0; i < 12; ++i) {
        m.ZoomOut();
        const double cx = m.image().Left() + m.image().Width() / 2.0;
        const double cy = m.image().Top() + m.image().Height() / 2.0;
        QVERIFY(std::abs(cx - 5000) <= 1 && std::abs(cy - 4000) <= 1);
    }
}

void TestViewModel::centrePointStaysUnderCentre()
{
    // An image that fits horizontally (no bar moves it): the map point under the centre stays there.
    ViewFields f;
    ViewModel m(f);
    m.setFrameSize(10000, 4000);
    m.loadNaturalSize(2000, 1000);
    m.ZoomToFit();
    place(m, 300, 0, 8000, 4000);           // off centre horizontally, still inside
    const double u = (5000 - 300) / 8000.0; // share of the image under the centre
    m.ZoomOut();
    QVERIFY(!m.HScroll1().Visible());
    QVERIFY(std::abs((5000 - m.image().Left()) / m.image().Width() - u) < 1.0 / 7000);
}

void TestViewModel::layoutCases_data()
{
    QTest::addColumn<float>("left");
    QTest::addColumn<float>("width");
    QTest::addColumn<int>("valueBefore");
    QTest::addColumn<int>("page");
    QTest::addColumn<int>("value");
    QTest::addColumn<bool>("visible");
    QTest::addColumn<float>("leftAfter");
    // Viewport 10000 wide.
    QTest::newRow("wholly before") << -5000.f << 4000.f << 30 << 1 << 100 << true << 6000.f;
    QTest::newRow("overflows before") << -4000.f << 12000.f << 30 << 200 << 100 << true << -2000.f;
    QTest::newRow("fits") << 1000.f << 8000.f << 30 << 7 << 30 << false << 1000.f;
    QTest::newRow("overflows after") << 1000.f << 12000.f << 30 << 300 << 0 << true << 0.f;
    QTest::newRow("wholly after") << 10000.f << 4000.f << 30 << 1 << 0 << true << 0.f;
    QTest::newRow("overflows both") << -1000.f << 12000.f << 30 << 500 << 50 << true << -1000.f;
    QTest::newRow("position half to even") << -50.f << 12000.f << 30 << 500 << 2 << true << -40.f;
    QTest::newRow("page capped") << -5.f << 10010.f << 30 << 32767 << 50 << true << -5.f;
    QTest::newRow("page rounds to 0") << -1000.f << 2110000.f << 30 << 1 << 0 << true << 0.f;
}

void TestViewModel::layoutCases()
{
    QFETCH(float, left);
    QFETCH(float, width);
    QFETCH(int, valueBefore);
    ViewFields f;
    ViewModel m(f);
    m.setFrameSize(10000, 4000);
    place(m, 0, 0, 8000, 4000);
    m.HScroll1().setLargeChange(7);
    m.HScroll1().setValue(int16_t(valueBefore)); // moves the image; placed again below
    place(m, left, 0, width, 4000);
    m.LayoutScrollBars();
    QTEST(int(m.HScroll1().LargeChange()), "page");
    QTEST(int(m.HScroll1().Value()), "value");
    QTEST(m.HScroll1().Visible(), "visible");
    QTEST(m.image().Left(), "leftAfter");
    QVERIFY(!m.VScroll1().Visible());
}

void TestViewModel::overflowAfterMovesOnlyWhenPositionChanges()
{
    ViewFields f;
    ViewModel m(f);
    m.setFrameSize(10000, 4000);
    place(m, 1000, 0, 12000, 4000);
    QCOMPARE(m.HScroll1().Value(), int16_t(0));
    m.LayoutScrollBars();
    QCOMPARE(m.HScroll1().Value(), int16_t(0));
    QCOMPARE(m.image().Left(), 1000.f); // position already 0: no change raised, nothing moved
}

void TestViewModel::horizontalBarLeavesLayoutAlone()
{
    ViewFields f;
    ViewModel m(f);
    m.setFrameSize(10000, 4000);
    m.loadNaturalSize(5000, 2000);
    m.ZoomToFit();
    m.ZoomIn();
    m.HScroll1().setLargeChange(77);
    m.VScroll1().setLargeChange(88);
    m.HScroll1().setValue(20);
    QCOMPARE(m.image().Left(), -200.f); // (10000 - 11000) x 20 / 100
    QCOMPARE(m.HScroll1().LargeChange(), int16_t(77));
    QCOMPARE(m.VScroll1().LargeChange(), int16_t(88));
}

void TestViewModel::verticalBarRelaysBothBars()
{
    ViewFields f;
    ViewModel m(f);
    m.setFrameSize(10000, 4000);
    m.loadNaturalSize(5000, 2000);
    m.ZoomToFit();
    m.ZoomIn();
    m.HScroll1().setLargeChange(77);
    m.VScroll1().setLargeChange(88);
    m.VScroll1().setValue(100);
    QCOMPARE(m.image().Top(), -400.f);
    QCOMPARE(m.HScroll1().LargeChange(), int16_t(1000));
    QCOMPARE(m.VScroll1().LargeChange(), int16_t(1000));
    QCOMPARE(m.VScroll1().Value(), int16_t(100));
}

void TestViewModel::barEndsPutEdgesOnEdges()
{
    ViewFields f;
    ViewModel m(f);
    m.setFrameSize(10000, 4000);
    m.loadNaturalSize(5000, 2000);
    m.ZoomToFit();
    m.ZoomIn();
    m.HScroll1().setValue(100);
    QCOMPARE(m.image().Left() + m.image().Width(), 10000.f);
    m.HScroll1().setValue(0);
    QCOMPARE(m.image().Left(), 0.f);
    m.VScroll1().setValue(100);
    QCOMPARE(m.image().Top() + m.image().Height(), 4000.f);
    m.VScroll1().setValue(0);
    QCOMPARE(m.image().Top(), 0.f);
}

void TestViewModel::zoomOutAtFarEndClosesStrip()
{
    ViewFields f;
    ViewModel m(f);
    m.setFrameSize(10000, 4000);
    m.loadNaturalSize(5000, 2000);
    m.ZoomToFit();
    for (int i = 0; i < 3; ++i)
        m.ZoomIn();
    m.HScroll1().setValue(99);
    m.HScroll1().setValue(100); // far edge on the far edge
    QCOMPARE(m.image().Left() + m.image().Width(), 10000.f);
    m.ZoomOut();
    // The zoom leaves a strip after the far edge; the position is already 100, so the strip stays.
    QVERIFY(m.image().Left() + m.image().Width() < 10000.f);
    QCOMPARE(m.HScroll1().Value(), int16_t(100));
    // From another position the layout's 100 raises the change, which puts the far edge back on the
    // viewport's far edge.
    m.HScroll1().setValue(90);
    m.ZoomOut();
    QCOMPARE(m.HScroll1().Value(), int16_t(100));
    QCOMPARE(m.image().Left(), -1000.f);
    QCOMPARE(m.image().Left() + m.image().Width(), 10000.f);
}

void TestViewModel::readout_data()
{
    QTest::addColumn<float>("factor");
    QTest::addColumn<QString>("sep");
    QTest::addColumn<QString>("text");
    QTest::newRow("1") << 1.f << "."
                       << "1.00:1";
    QTest::newRow("0.5") << 0.5f << "."
                         << "0.50:1";
    QTest::newRow("12.1") << 12.1f << "."
                          << "12.10:1";
    QTest::newRow("1.331 chain") << 1.33100009f << "."
                                 << "1.33:1";
    QTest::newRow("97") << 97.0172424f << "."
                        << "97.02:1";
    QTest::newRow("comma") << 4.f << ","
                           << "4,00:1";
    QTest::newRow("half from 7 digits") << 1.005f << "."
                                        << "1.01:1";
    QTest::newRow("small") << 0.0103074433f << "."
                           << "0.01:1";
}

void TestViewModel::readout()
{
    QFETCH(float, factor);
    QFETCH(QString, sep);
    QTEST(ViewModel::ZoomReadoutText(factor, sep), "text");
}

void TestViewModel::barChangeRaisedOnlyOnChange()
{
    ScrollBarModel bar;
    int raised = 0;
    bar.setChangeHandler([&] { ++raised; });
    bar.setValue(0); // the current value
    QCOMPARE(raised, 0);
    bar.setValue(40);
    QCOMPARE(raised, 1);
    bar.setValue(40);
    QCOMPARE(raised, 1);
    bar.setValue(500); // beyond Max: held at 100
    QCOMPARE(bar.Value(), int16_t(100));
    QCOMPARE(raised, 2);
}

void TestViewModel::fitWithoutPictureChangesNothing()
{
    ViewFields f;
    f.ZoomFactor = 2.5f;
    ViewModel m(f);
    m.setFrameSize(10000, 4000);
    m.ZoomToFit();
    QCOMPARE(f.ZoomFactor, 2.5f);
}

QTEST_GUILESS_MAIN(TestViewModel)
#include "tst_viewmodel.moc"
