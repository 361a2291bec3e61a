#include "fakeworkarea.h"
#include "module1.h"
#include "screenfit.h"

#include <QTest>
#include <limits>

// The work area in pixels and twips, and the viewport layout derived from it.
class TestScreenFit : public QObject
{
    Q_OBJECT
private slots:
    void layout_data();
    void layout();
    void layoutOverflowIsAnError();
    void workArea_data();
    void workArea();
    void workAreaInPixels();
    void workAreaOverflowIsAnError();
    void realScreenGivesAPositiveArea();
};

void TestScreenFit::layout_data()
{
    QTest::addColumn<QRect>("area"); // pixels
    QTest::addColumn<float>("tpp");
    QTest::addColumn<int>("W");
    QTest::addColumn<int>("H");
    QTest::addColumn<int>("frameW");
    QTest::addColumn<int>("frameH");
    QTest::addColumn<int>("vLeft");
    QTest::addColumn<int>("hTop");
    QTest::newRow("800x572 at 15") << QRect(0, 0, 800, 572) << 15.f << 12000 << 8580 << 11598 << 7098 << 11748
                                   << 7728;
    QTest::newRow("1024x740 at 12") << QRect(0, 0, 1024, 740) << 12.f << 12288 << 8880 << 11886 << 7398
                                    << 12036 << 8028;
    // A task bar at the left or top shifts the area; only its width and height count.
    QTest::newRow("task bar left") << QRect(60, 0, 800, 572) << 15.f << 12000 << 8580 << 11598 << 7098
                                   << 11748 << 7728;
    QTest::newRow("task bar top") << QRect(0, 40, 800, 572) << 15.f << 12000 << 8580 << 11598 << 7098 << 11748
                                  << 7728;
}

void TestScreenFit::layout()
{
    QFETCH(QRect, area);
    QFETCH(float, tpp);
    FakeWorkArea fake(area, tpp);
    int32_t left = -1, top = -1, W = 0, H = 0;
    GetWorkArea(left, top, W, H, 1);
    QTEST(int(W), "W");
    QTEST(int(H), "H");
    QCOMPARE(left, RoundToInt32(double(tpp) * area.left()));
    QCOMPARE(top, RoundToInt32(double(tpp) * area.top()));
    const ScreenFitLayout l = FitToScreenLayout(W, H);
    QTEST(int(l.FrameWidth), "frameW");
    QTEST(int(l.FrameHeight), "frameH");
    QTEST(int(l.VScrollLeft), "vLeft");
    QTEST(int(l.HScrollTop), "hTop");
    QCOMPARE(l.VScrollHeight, l.FrameHeight);
    QCOMPARE(l.HScrollWidth, l.FrameWidth);
}

void TestScreenFit::layoutOverflowIsAnError()
{
    const int32_t low = std::numeric_limits<int32_t>::min() + 100;
    QVERIFY_THROWS_EXCEPTION(OverflowError, FitToScreenLayout(low, 8580));
    QVERIFY_THROWS_EXCEPTION(OverflowError, FitToScreenLayout(12000, low));
    // Small areas give negative sizes but no error: the view clamps them when it lays out.
    QCOMPARE(FitToScreenLayout(0, 0).FrameWidth, -402);
}

void TestScreenFit::workArea_data()
{
    QTest::addColumn<QRect>("work");
    QTest::addColumn<QRect>("screen");
    QTest::addColumn<float>("tpp");
    QTest::addColumn<int>("left");
    QTest::addColumn<int>("top");
    QTest::addColumn<int>("width");
    QTest::addColumn<int>("height");
    // Each edge is rounded on its own, halves to even: left 37.5 -> 38, right 62.5 -> 62, width 24;
    // top 12.5 -> 12, bottom 37.5 -> 38, height 26 (two pixels of 12.5 twips each).
    QTest::newRow("edges rounded apart") << QRect(3, 1, 2, 2) << QRect() << 12.5f << 38 << 12 << 24 << 26;
    QTest::newRow("failed query, whole screen")
        << QRect() << QRect(0, 0, 1024, 768) << 15.f << 0 << 0 << 15360 << 11520;
    QTest::newRow("no screen, design size") << QRect() << QRect() << 15.f << 0 << 0 << 12000 << 9000;
}

void TestScreenFit::workArea()
{
    QFETCH(QRect, work);
    QFETCH(QRect, screen);
    QFETCH(float, tpp);
    FakeWorkArea fake(work, tpp, screen);
    int32_t left = 0, top = 0, width = 0, height = 0;
    GetWorkArea(left, top, width, height, 1);
    QTEST(int(left), "left");
    QTEST(int(top), "top");
    QTEST(int(width), "width");
    QTEST(int(height), "height");
}

void TestScreenFit::workAreaInPixels()
{
    FakeWorkArea fake(QRect(60, 40, 800, 572), 15.f);
    int32_t left = 0, top = 0, width = 0, height = 0;
    GetWorkArea(left, top, width, height, 0);
    QCOMPARE(left, 60);
    QCOMPARE(top, 40);
    QCOMPARE(width, 800);
    QCOMPARE(height, 572);
}

void TestScreenFit::workAreaOverflowIsAnError()
{
    FakeWorkArea fake(QRect(0, 0, 200000000, 600), 15.f); // 3E9 twips wide
    int32_t left = 0, top = 0, width = 0, height = 0;
    QVERIFY_THROWS_EXCEPTION(OverflowError, GetWorkArea(left, top, width, height, 1));
}

void TestScreenFit::realScreenGivesAPositiveArea()
{
    int32_t left = 0, top = 0, width = 0, height = 0;
    GetWorkArea(left, top, width, height, 1);
    QVERIFY(width > 0 && height > 0);
    QCOMPARE(TwipsPerPixelX(), 15.f); // the offscreen screen reports 96 dots to the inch
}

QTEST_MAIN(TestScreenFit)
#include "tst_screenfit.moc"
