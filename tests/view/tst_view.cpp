#include "checkedmath.h"
#include "workarea.h"
#include "picturepainter.h"
#include "screenfit.h"
#include "viewmodel.h"
#include "viewnavigation.h"

#include <QPainter>
#include <QTest>

namespace
{
// A picture of natW x natH twips loaded into a viewport of frameW x frameH twips.
struct View {
    View(float frameW, float frameH, double natW, double natH)
    {
        m.setDecimalSeparator(".");
        m.setFrameSize(frameW, frameH);
        m.loadNaturalSize(natW, natH);
    }
    QRectF image() const
    {
        return {m.image().Left(), m.image().Top(), m.image().Width(), m.image().Height()};
    }
    ViewFields f;
    ViewModel m{f};
};

// A screen of the test's choosing.
struct FakeScreen : WorkAreaSource {
    FakeScreen(QRect work, QRect screen = {}, float tpp = 15) : work(work), screen(screen), tpp(tpp) {}
    QRect workArea() const override { return work; }
    QRect screenArea() const override { return screen; }
    TwipsMapping twips() const override { return {tpp, tpp}; }
    QRect work, screen;
    float tpp;
};
} // namespace

Q_DECLARE_METATYPE(ViewNavigation)
using Nav = ViewNavigation;

// Zoom, scroll bars and readout without a window, the work area and window fit, and drawing. Twips.
class TestView : public QObject
{
    Q_OBJECT
private slots:
    void zoom_data()
    {
        QTest::addColumn<QSizeF>("natural"); // in a viewport of 10000 x 4000
        QTest::addColumn<float>("start");    // the factor after fitting, 0: as fitted
        QTest::addColumn<QByteArray>("steps");
        QTest::addColumn<QString>("shown"); // the factor to the last bit, then the readout
        QTest::addColumn<QRectF>("image");
        const auto row = [](const char* tag, QSizeF natural, float start, const char* steps,
                            const char* shown, QRectF image) {
            QTest::newRow(tag) << natural << start << QByteArray(steps) << QString(shown) << image;
        };
        const QSizeF frame(10000, 4000);
        const QRectF fitted(0, 0, 10000, 4000), in(-500, -200, 11000, 4400), out(455, 182, 9091, 3636);
        row("fit, height limits", {2000, 1000}, 0, "", "4 4.00:1", {1000, 0, 8000, 4000});
        // The natural size is rounded half to even first: 1000 x 1002. 4000 / 1002 in single precision
        // times 1002 is 4000.0001: whole twips keep the picture inside, as 10000.00007 below.
        row("fit, natural size half to even", {1000.5, 1001.5}, 0, "", "3.99201608 3.99:1",
            {3004, 0, 3992, 4000});
        row("fit, no overshoot", {45000, 9000}, 0, "", "0.222222224 0.22:1", {0, 1000, 10000, 2000});
        // Without a picture, or with a side of no size, nothing changes: the factor must stay finite.
        row("fit, no width", {0, 3000}, 0, "", "0 ", {0, 0, 0, 3000});
        row("fit, no height", {3000, 0}, 0, "", "0 ", {0, 0, 3000, 0});
        row("in", {5000, 2000}, 0, "+", "2.20000005 2.20:1", in);
        row("in twice and out", frame, 0, "++-", "1.10000002 1.10:1", in);
        // Each product in double precision, stored back in single; -2320.5 in whole twips is -2320.
        row("in four times", frame, 0, "++++", "1.46410012 1.46:1", {-2320, -928, 14641, 5856});
        // 90.9090881 x 1.1 is 100 in single precision: refused; the step below is not.
        row("in to 100", frame, 90.9090881f, "+", "90.9090881 1.00:1", fitted);
        row("in to below 100", frame, 90.9090805f, "+", "99.9999924 100.00:1", in);
        // 0.011 / 1.1 is 0.01 in single precision: allowed; the step below is refused.
        row("out to 0.01", frame, 0.011f, "-", "0.00999999978 0.01:1", out);
        row("out to below 0.01", frame, 0.010999999f, "-", "0.010999999 1.00:1", fitted);
    }
    void zoom()
    {
        QFETCH(QSizeF, natural);
        QFETCH(float, start);
        QFETCH(QByteArray, steps);
        View v(10000, 4000, natural.width(), natural.height());
        v.m.ZoomToFit();
        v.f.ZoomFactor = start ? start : v.f.ZoomFactor;
        for (char step : steps)
            step == '+' ? v.m.ZoomIn() : v.m.ZoomOut();
        QTEST(QString::number(v.f.ZoomFactor, 'g', 9) + ' ' + v.m.Label1Caption(), "shown");
        QTEST(v.image(), "image");
        // Shown, and stretched once the picture has been fitted.
        QVERIFY(v.m.image().Visible && v.m.image().Stretch == !v.m.Label1Caption().isEmpty());
    }

    void readout()
    {
        QCOMPARE(ViewModel::ZoomReadoutText(4, ","), QString("4,00:1"));
        QCOMPARE(ViewModel::ZoomReadoutText(1.005f, "."), QString("1.01:1")); // half up from the 7-digit text
    }

    void layout_data()
    {
        QTest::addColumn<float>("left");
        QTest::addColumn<float>("width"); // in a viewport 10000 wide
        QTest::addColumn<int>("valueBefore");
        QTest::addColumn<QList<int>>("bar"); // page, position, shown; then the image's left edge
        QTest::newRow("wholly before") << -5000.f << 4000.f << 30 << QList<int>{1, 100, 1, 6000};
        QTest::newRow("overflows before") << -4000.f << 12000.f << 30 << QList<int>{200, 100, 1, -2000};
        QTest::newRow("fits") << 1000.f << 8000.f << 30 << QList<int>{7, 30, 0, 1000};
        QTest::newRow("fits exactly") << 0.f << 10000.f << 30 << QList<int>{7, 30, 0, 0};
        QTest::newRow("overflows after") << 1000.f << 12000.f << 30 << QList<int>{300, 0, 1, 0};
        // Position already 0: no change is raised, so the image stays with its near edge inside.
        QTest::newRow("overflows after, already 0") << 1000.f << 12000.f << 0 << QList<int>{300, 0, 1, 1000};
        // 100 x (10000 / 26000) / (1 - 10000 / 26000) in single precision is 62.5000076.
        QTest::newRow("overflows after from the near edge") << 0.f << 26000.f << 0 << QList<int>{63, 0, 1, 0};
        QTest::newRow("wholly after") << 10000.f << 4000.f << 30 << QList<int>{1, 0, 1, 0};
        QTest::newRow("nothing, at the far edge") << 10000.f << 0.f << 30 << QList<int>{1, 0, 1, 0};
        QTest::newRow("overflows both") << -1000.f << 12000.f << 30 << QList<int>{500, 50, 1, -1000};
        QTest::newRow("page capped") << -5.f << 10010.f << 30 << QList<int>{32767, 50, 1, -5};
        QTest::newRow("page rounds to 0") << -1000.f << 2110000.f << 30 << QList<int>{1, 0, 1, 0};
    }
    void layout()
    {
        QFETCH(float, left);
        QFETCH(float, width);
        QFETCH(int, valueBefore);
        View v(10000, 4000, 8000, 4000);
        ScrollBarModel& bar = v.m.HScroll1();
        bar.setLargeChange(7);
        bar.setValue(int16_t(valueBefore));
        v.m.image().setLeft(left); // placed after the bar has moved it
        v.m.image().setWidth(width);
        v.m.LayoutScrollBars();
        QTEST((QList<int>{bar.LargeChange(), bar.Value(), bar.Visible(), int(v.m.image().Left())}), "bar");
    }

    void barsMoveTheImage()
    {
        View v(10000, 4000, 5000, 2000);
        v.m.ZoomToFit();
        v.m.ZoomIn(); // 11000 x 4400 at -500, -200; both bars at 50 with pages of 1000
        for (const ScrollBarModel* bar : {&v.m.HScroll1(), &v.m.VScroll1()})
            QCOMPARE((QList<int>{bar->Value(), bar->LargeChange(), bar->Visible()}),
                     (QList<int>{50, 1000, 1}));
        v.m.HScroll1().setValue(150); // held at 100
        QCOMPARE(v.image(), QRectF(-1000, -200, 11000, 4400));
        v.m.VScroll1().setValue(25); // the vertical bar also lays out both bars again
        QCOMPARE(v.image(), QRectF(-1000, -100, 11000, 4400));
        QCOMPARE(v.m.VScroll1().LargeChange(), int16_t(1000));
        v.m.HScroll1().setValue(20);
        QCOMPARE(v.image(), QRectF(-200, -100, 11000, 4400));
    }

    // Keys and wheel turns over the map, into scrolls and zooms; several turns in a row where a wheel sends
    // fractions of a notch. Three positions a notch.
    void navigation_data()
    {
        QTest::addColumn<QList<QPoint>>("turns");
        QTest::addColumn<int>("modifiers");
        QTest::addColumn<int>("key");
        QTest::addColumn<Nav>("last");
        const Nav none, zoomIn{Nav::ZoomIn}, zoomOut{Nav::ZoomOut};
        auto scroll = [](Qt::Orientation o, int steps, bool page = false) {
            return Nav{Nav::Scroll, o, steps, page};
        };
        auto wheel = [&](const char* name, QList<QPoint> turns, Qt::KeyboardModifiers m, Nav want) {
            QTest::newRow(name) << turns << int(m) << 0 << want;
        };
        auto key = [&](const char* name, int key, Qt::KeyboardModifiers m, Nav want) {
            QTest::newRow(name) << QList<QPoint>{} << int(m) << key << want;
        };
        wheel("down a notch", {{0, -120}}, {}, scroll(Qt::Vertical, 3));
        wheel("up two notches at once", {{0, 240}}, {}, scroll(Qt::Vertical, -6));
        wheel("Shift turns it sideways", {{0, -120}}, Qt::ShiftModifier, scroll(Qt::Horizontal, 3));
        wheel("a tilt to the right", {{-120, 0}}, {}, scroll(Qt::Horizontal, 3));
        wheel("half a notch does nothing", {{0, -60}}, {}, none);
        wheel("two halves make one", {{0, -60}, {0, -60}}, {}, scroll(Qt::Vertical, 3));
        wheel("a half back drops the half", {{0, -60}, {0, 60}, {0, 60}}, {}, scroll(Qt::Vertical, -3));
        wheel("Ctrl away zooms in", {{0, 120}}, Qt::ControlModifier, zoomIn);
        wheel("Ctrl towards zooms out", {{0, -120}}, Qt::ControlModifier, zoomOut);
        wheel("Ctrl, two notches, one command", {{0, 240}}, Qt::ControlModifier, zoomIn);
        wheel("Ctrl, half a notch", {{0, 60}}, Qt::ControlModifier, none);
        key("Left", Qt::Key_Left, {}, scroll(Qt::Horizontal, -1));
        key("Down", Qt::Key_Down, {}, scroll(Qt::Vertical, 1));
        key("Page Up", Qt::Key_PageUp, {}, scroll(Qt::Vertical, -1, true));
        key("Page Down", Qt::Key_PageDown, {}, scroll(Qt::Vertical, 1, true));
        key("Ctrl+Down is the menus'", Qt::Key_Down, Qt::ControlModifier, none);
        key("a letter", Qt::Key_A, {}, none);
    }

    void navigation()
    {
        QFETCH(QList<QPoint>, turns);
        QFETCH(int, modifiers);
        QFETCH(int, key);
        QFETCH(Nav, last);
        const auto m = Qt::KeyboardModifiers(modifiers);
        Nav got;
        WheelNotches wheel;
        for (QPoint t : turns)
            got = wheel.turn(t, m, 3);
        if (key)
            got = NavigationForKey(key, m);
        QCOMPARE(got.kind, last.kind);
        QCOMPARE(got, last);
    }

    void screenFit_data()
    {
        QTest::addColumn<QRect>("work"); // pixels
        QTest::addColumn<QRect>("screen");
        QTest::addColumn<float>("tpp");
        // Twips: left, top, W, H; then the frame's width and height, the bars' left and top.
        QTest::addColumn<QList<int>>("fit");
        const auto row = [](const char* tag, QRect work, QRect screen, float tpp, QList<int> fit) {
            QTest::newRow(tag) << work << screen << tpp << fit;
        };
        row("800x572 at 15", {0, 0, 800, 572}, {}, 15, {0, 0, 12000, 8580, 11598, 7098, 11748, 7728});
        // A task bar at the left or top shifts the area. Each edge rounded on its own, halves to even:
        // left 37.5 -> 38, right 62.5 -> 62; top 12.5 -> 12, bottom 37.5 -> 38. Sizes go negative without an
        // error: the view clamps them.
        row("edges rounded apart", {3, 1, 2, 2}, {}, 12.5f, {38, 12, 24, 26, -378, -1456, -228, -826});
        row("failed query, whole screen", {}, {0, 0, 1024, 768}, 15,
            {0, 0, 15360, 11520, 14958, 10038, 15108, 10668});
        row("no screen, design size", {}, {}, 15, {0, 0, 12000, 9000, 11598, 7518, 11748, 8148});
    }
    void screenFit()
    {
        QFETCH(QRect, work);
        QFETCH(QRect, screen);
        QFETCH(float, tpp);
        int32_t left = -1, top = -1, W = 0, H = 0;
        GetWorkArea(FakeScreen(work, screen, tpp), left, top, W, H, 1);
        const ScreenFitLayout l = FitToScreenLayout(W, H);
        QTEST((QList<int>{left, top, W, H, l.FrameWidth, l.FrameHeight, l.VScrollLeft, l.HScrollTop}), "fit");
        QCOMPARE((QList<int>{l.VScrollHeight, l.HScrollWidth}), (QList<int>{l.FrameHeight, l.FrameWidth}));
    }

    void workAreaInPixelsAndOverflow()
    {
        int32_t left = 0, top = 0, width = 0, height = 0;
        GetWorkArea(FakeScreen({60, 40, 800, 572}), left, top, width, height, 0);
        QCOMPARE(QRect(left, top, width, height), QRect(60, 40, 800, 572));
        // 3E9 twips wide
        QVERIFY_THROWS_EXCEPTION(
            OverflowError, GetWorkArea(FakeScreen({0, 0, 200000000, 600}), left, top, width, height, 1));
        QVERIFY_THROWS_EXCEPTION(OverflowError, FitToScreenLayout(INT32_MIN, 8580));
        QVERIFY_THROWS_EXCEPTION(OverflowError, FitToScreenLayout(12000, INT32_MIN));
    }

    // The wait window's sketch: fitted whole into its box and centred, a band of rows where it falls.
    void fittedPart()
    {
        QCOMPARE(PicturePainter::fittedPart({240, 170}, {400, 100}, {0, 50, 400, 25}),
                 QRectF(0, 85, 240, 15)); // width limits: 0.6 a pixel, 55 above and below
        QCOMPARE(PicturePainter::fittedPart({240, 170}, {100, 200}, {0, 100, 100, 100}),
                 QRectF(77.5, 85, 85, 85)); // height limits
        QCOMPARE(PicturePainter::fittedPart({240, 170}, {}, {}), QRectF());
    }

    void paints_data()
    {
        QTest::addColumn<double>("scale"); // points per picture pixel
        QTest::addColumn<qreal>("dpr");
        QTest::addColumn<QColor>("colour"); // the full picture red, the quarter copy green, the eighth blue
        QTest::newRow("1") << 1.0 << qreal(1) << QColor(Qt::red);
        QTest::newRow("0.4, nearer 1:2 than 1:4") << 0.4 << qreal(1) << QColor(Qt::red);
        QTest::newRow("0.3, the quarter stretched") << 0.3 << qreal(1) << QColor(Qt::green);
        QTest::newRow("0.125") << 0.125 << qreal(1) << QColor(Qt::blue);
        QTest::newRow("0.05, below the smallest") << 0.05 << qreal(1) << QColor(Qt::blue);
        QTest::newRow("0.125 at 2 device pixels a point") << 0.125 << qreal(2) << QColor(Qt::green);
    }
    void paints()
    {
        QFETCH(double, scale);
        QFETCH(qreal, dpr);
        QImage full(800, 800, QImage::Format_RGB32), quarter(200, 200, full.format()),
            eighth(100, 100, full.format()), out(100, 100, full.format());
        full.fill(Qt::red);
        quarter.fill(Qt::green);
        eighth.fill(Qt::blue);
        out.fill(Qt::white);
        out.setDevicePixelRatio(dpr);
        QPainter p(&out);
        // Only the first 4 points across are exposed.
        PicturePainter::paint(p, MapPicture(full, {quarter, eighth}), {0, 0, 800 * scale, 800 * scale},
                              QRectF(0, 0, 4, 100), dpr);
        p.end();
        QTEST(QColor(out.pixel(2, 2)), "colour");
        QCOMPARE(QColor(out.pixel(20, 2)), QColor(Qt::white)); // not exposed: nothing drawn
    }
};

QTEST_MAIN(TestView)
#include "tst_view.moc"
