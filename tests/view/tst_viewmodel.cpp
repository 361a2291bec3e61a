#include "viewmodel.h"

#include <QTest>
#include <cmath>

namespace
{
// A picture of natW x natH twips loaded into a viewport of frameW x frameH, and fitted unless asked not to.
struct Fitted {
    Fitted(float frameW, float frameH, double natW, double natH, bool fit = true)
    {
        m.setDecimalSeparator(".");
        m.setFrameSize(frameW, frameH);
        m.loadNaturalSize(natW, natH);
        if (fit)
            m.ZoomToFit();
    }
    ViewFields f;
    ViewModel m{f};
    const ImageGeometry& img() const { return m.image(); }
};

// Zoom factors must match to the last bit, where QCOMPARE on floats would allow a few.
QString exact(float f)
{
    return QString::number(f, 'g', 9);
}

QRectF rect(const ImageGeometry& g)
{
    return QRectF(g.Left(), g.Top(), g.Width(), g.Height());
}

void place(ViewModel& m, float left, float width)
{
    m.image().setLeft(left);
    m.image().setTop(0);
    m.image().setWidth(width);
    m.image().setHeight(4000);
}
} // namespace

// Zoom, scroll-bar layout and readout arithmetic, without any window. Lengths in twips.
class TestViewModel : public QObject
{
    Q_OBJECT
private slots:
    void zoomToFit_data();
    void zoomToFit();
    void zoomInOnceAndBack_data();
    void zoomInOnceAndBack();
    void zoomLimits();
    void centredImageStaysCentred();
    void centrePointStaysUnderCentre();
    void layoutCases_data();
    void layoutCases();
    void barsMoveTheImage();
    void zoomOutAtFarEndClosesStrip();
    void readout_data();
    void readout();
    void barChangeRaisedOnlyOnChange();
    void fitWithoutPictureChangesNothing();
};

void TestViewModel::zoomToFit_data()
{
    QTest::addColumn<double>("natW");
    QTest::addColumn<double>("natH");
    QTest::addColumn<float>("frameW");
    QTest::addColumn<float>("frameH");
    QTest::addColumn<float>("factor");
    QTest::addColumn<QRectF>("geometry");
    QTest::addColumn<QString>("caption");
    QTest::newRow("height limits") << 2000.0 << 1000.0 << 10000.f << 4000.f << 4.f
                                   << QRectF(1000, 0, 8000, 4000) << "4.00:1";
    QTest::newRow("same aspect") << 5000.0 << 2000.0 << 10000.f << 4000.f << 2.f << QRectF(0, 0, 10000, 4000)
                                 << "2.00:1";
    QTest::newRow("larger shrinks") << 40000.0 << 8000.0 << 10000.f << 4000.f << 0.25f
                                    << QRectF(0, 1000, 10000, 2000) << "0.25:1";
    // The natural size is rounded half to even first: 1000 x 1002.
    QTest::newRow("natural half to even")
        << 1000.5 << 1001.5 << 1000.f << 1002.f << 1.f << QRectF(0, 0, 1000, 1002) << "1.00:1";
    // 11598 / 45000 in single precision times 45000 is 11598.0004: whole twips keep it inside.
    QTest::newRow("no rounding overshoot") << 45000.0 << 9000.0 << 11598.f << 7098.f << float(11598.0 / 45000)
                                           << QRectF(0, 2389, 11598, 2320) << "0.26:1";
}

void TestViewModel::zoomToFit()
{
    QFETCH(double, natW);
    QFETCH(double, natH);
    QFETCH(float, frameW);
    QFETCH(float, frameH);
    Fitted v(frameW, frameH, natW, natH, false);
    QVERIFY(!v.img().Stretch);
    v.m.ZoomToFit();
    QTEST(v.f.ZoomFactor, "factor");
    QTEST(rect(v.img()), "geometry");
    QTEST(v.m.Label1Caption(), "caption");
    QVERIFY(v.img().Stretch && v.img().Visible);
    QVERIFY(!v.m.HScroll1().Visible() && !v.m.VScroll1().Visible());
}

void TestViewModel::zoomInOnceAndBack_data()
{
    QTest::addColumn<int>("natW");
    QTest::addColumn<int>("natH");
    QTest::addColumn<QRectF>("zoomed");
    QTest::addColumn<bool>("hShown"); // a shown bar has page 1000 and position 50
    QTest::addColumn<bool>("vShown");
    QTest::newRow("viewport's aspect") << 5000 << 2000 << QRectF(-500, -200, 11000, 4400) << true << true;
    QTest::newRow("8800 x 4400 at 600, -200")
        << 2000 << 1000 << QRectF(600, -200, 8800, 4400) << false << true;
}

void TestViewModel::zoomInOnceAndBack()
{
    QFETCH(int, natW);
    QFETCH(int, natH);
    QFETCH(bool, hShown);
    QFETCH(bool, vShown);
    Fitted v(10000, 4000, natW, natH);
    const float fitted = v.f.ZoomFactor;
    const QRectF before = rect(v.img());
    v.m.ZoomIn();
    QCOMPARE(exact(v.f.ZoomFactor), exact(float(fitted * 1.1)));
    QTEST(rect(v.img()), "zoomed");
    QVERIFY(v.img().Visible);
    const std::pair<const ScrollBarModel*, bool> bars[] = {{&v.m.HScroll1(), hShown},
                                                           {&v.m.VScroll1(), vShown}};
    for (const auto& [bar, shown] : bars) {
        QCOMPARE(bar->Visible(), shown);
        if (shown) {
            QCOMPARE(bar->LargeChange(), int16_t(1000));
            QCOMPARE(bar->Value(), int16_t(50));
        }
    }
    // The layout left the image where the step put it, so the way back is exact.
    v.m.ZoomOut();
    QCOMPARE(exact(v.f.ZoomFactor), exact(fitted));
    QCOMPARE(rect(v.img()), before);
    QVERIFY(v.img().Visible);
}

void TestViewModel::zoomLimits()
{
    Fitted v(4000, 4000, 4000, 4000);
    QCOMPARE(exact(v.f.ZoomFactor), exact(1.f));
    // Each product is formed in double precision and stored back in single precision.
    for (float e : {1.10000002f, 1.21000004f, 1.33100009f, 1.46410012f}) {
        v.m.ZoomIn();
        QCOMPARE(exact(v.f.ZoomFactor), exact(e));
    }
    QCOMPARE(v.m.Label1Caption(), QStringLiteral("1.46:1"));
    for (int i = 4; i < 48; ++i)
        v.m.ZoomIn();
    QCOMPARE(exact(v.f.ZoomFactor), exact(97.0172424f)); // 1.1^48, the last step below 100
    const float w = v.img().Width(), l = v.img().Left();
    const QString caption = v.m.Label1Caption();
    for (int i = 0; i < 3; ++i) {
        v.m.ZoomIn(); // refused: 106.7 is divided back to the same single
        QCOMPARE(exact(v.f.ZoomFactor), exact(97.0172424f));
        QCOMPARE(v.img().Width(), w);
        QCOMPARE(v.img().Left(), l);
        QCOMPARE(v.m.Label1Caption(), caption);
        QVERIFY(v.img().Visible);
    }
    // Zooming out stops where the factor would fall below a hundredth.
    v.m.ZoomToFit();
    for (int i = 0; i < 48; ++i)
        v.m.ZoomOut();
    QCOMPARE(exact(v.f.ZoomFactor), exact(0.0103074433f));
    const float small = v.img().Width();
    v.m.ZoomOut();
    QCOMPARE(exact(v.f.ZoomFactor), exact(0.0103074433f));
    QCOMPARE(v.img().Width(), small);
}

void TestViewModel::centredImageStaysCentred()
{
    Fitted v(10000, 8000, 4000, 4000);
    for (int i = 0; i < 19; ++i) {
        i < 7 ? v.m.ZoomIn() : v.m.ZoomOut();
        const double cx = v.img().Left() + v.img().Width() / 2.0, cy = v.img().Top() + v.img().Height() / 2.0;
        QVERIFY2(std::abs(cx - 5000) <= 1 && std::abs(cy - 4000) <= 1, qPrintable(QString::number(i)));
    }
}

void TestViewModel::centrePointStaysUnderCentre()
{
    // Off centre but inside horizontally, so no bar moves the image after the step.
    Fitted v(10000, 4000, 2000, 1000);
    place(v.m, 300, 8000);
    const double share = (5000 - 300) / 8000.0; // of the image's width, under the centre
    v.m.ZoomOut();
    QVERIFY(!v.m.HScroll1().Visible());
    QVERIFY(std::abs((5000 - v.img().Left()) / v.img().Width() - share) < 1.0 / 7000);
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
    // Position already 0: no change is raised, so the image stays with its near edge inside.
    QTest::newRow("overflows after, already 0") << 1000.f << 12000.f << 0 << 300 << 0 << true << 1000.f;
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
    place(m, 0, 8000);
    m.HScroll1().setLargeChange(7);
    m.HScroll1().setValue(int16_t(valueBefore)); // moves the image; placed again below
    place(m, left, width);
    m.LayoutScrollBars();
    QTEST(int(m.HScroll1().LargeChange()), "page");
    QTEST(int(m.HScroll1().Value()), "value");
    QTEST(m.HScroll1().Visible(), "visible");
    QTEST(m.image().Left(), "leftAfter");
    QVERIFY(!m.VScroll1().Visible());
}

void TestViewModel::barsMoveTheImage()
{
    Fitted v(10000, 4000, 5000, 2000);
    v.m.ZoomIn(); // 11000 x 4400
    v.m.HScroll1().setLargeChange(77);
    v.m.VScroll1().setLargeChange(88);
    // The horizontal bar only moves the image.
    v.m.HScroll1().setValue(20);
    QCOMPARE(v.img().Left(), -200.f);
    QCOMPARE(v.m.HScroll1().LargeChange(), int16_t(77));
    QCOMPARE(v.m.VScroll1().LargeChange(), int16_t(88));
    v.m.HScroll1().setValue(100);
    QCOMPARE(v.img().Left() + v.img().Width(), 10000.f);
    v.m.HScroll1().setValue(0);
    QCOMPARE(v.img().Left(), 0.f);
    // The vertical bar also lays out both bars again.
    v.m.VScroll1().setValue(100);
    QCOMPARE(v.img().Top(), -400.f);
    QCOMPARE(v.m.HScroll1().LargeChange(), int16_t(1000));
    QCOMPARE(v.m.VScroll1().LargeChange(), int16_t(1000));
    QCOMPARE(v.m.VScroll1().Value(), int16_t(100));
    v.m.VScroll1().setValue(0);
    QCOMPARE(v.img().Top(), 0.f);
}

void TestViewModel::zoomOutAtFarEndClosesStrip()
{
    Fitted v(10000, 4000, 5000, 2000);
    for (int i = 0; i < 3; ++i)
        v.m.ZoomIn();
    v.m.HScroll1().setValue(99);
    v.m.HScroll1().setValue(100);
    QCOMPARE(v.img().Left() + v.img().Width(), 10000.f);
    // The position is already 100, so the strip after the far edge stays.
    v.m.ZoomOut();
    QVERIFY(v.img().Left() + v.img().Width() < 10000.f);
    QCOMPARE(v.m.HScroll1().Value(), int16_t(100));
    // From elsewhere the layout's 100 is a change, which closes the strip.
    v.m.HScroll1().setValue(90);
    v.m.ZoomOut();
    QCOMPARE(v.m.HScroll1().Value(), int16_t(100));
    QCOMPARE(v.img().Left(), -1000.f);
    QCOMPARE(v.img().Left() + v.img().Width(), 10000.f);
}

void TestViewModel::readout_data()
{
    QTest::addColumn<float>("factor");
    QTest::addColumn<char>("sep");
    QTest::addColumn<QString>("text");
    QTest::newRow("1") << 1.f << '.' << "1.00:1";
    QTest::newRow("0.5") << 0.5f << '.' << "0.50:1";
    QTest::newRow("12.1") << 12.1f << '.' << "12.10:1";
    QTest::newRow("1.331 chain") << 1.33100009f << '.' << "1.33:1";
    QTest::newRow("97") << 97.0172424f << '.' << "97.02:1";
    QTest::newRow("comma") << 4.f << ',' << "4,00:1";
    QTest::newRow("half from 7 digits") << 1.005f << '.' << "1.01:1";
    QTest::newRow("small") << 0.0103074433f << '.' << "0.01:1";
}

void TestViewModel::readout()
{
    QFETCH(float, factor);
    QFETCH(char, sep);
    QTEST(ViewModel::ZoomReadoutText(factor, QString(QChar(sep))), "text");
}

void TestViewModel::barChangeRaisedOnlyOnChange()
{
    ScrollBarModel bar;
    int raised = 0;
    bar.setChangeHandler([&] { ++raised; });
    bar.setValue(0); // the current value
    QCOMPARE(raised, 0);
    bar.setValue(40);
    bar.setValue(40);
    QCOMPARE(raised, 1);
    bar.setValue(500); // beyond Max: held at 100
    QCOMPARE(bar.Value(), int16_t(100));
    QCOMPARE(raised, 2);
}

void TestViewModel::fitWithoutPictureChangesNothing()
{
    // No picture, or one side of no size: the factor must not become infinite.
    for (const auto& [w, h] : {std::pair{0, 0}, {0, 3000}, {3000, 0}}) {
        ViewFields f;
        f.ZoomFactor = 2.5f;
        f.NaturalWidth = w;
        f.NaturalHeight = h;
        ViewModel m(f);
        m.setFrameSize(10000, 4000);
        m.ZoomToFit();
        QCOMPARE(f.ZoomFactor, 2.5f);
    }
}

QTEST_GUILESS_MAIN(TestViewModel)
#include "tst_viewmodel.moc"
