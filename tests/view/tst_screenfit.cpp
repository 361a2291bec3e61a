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
    void workAreaInPixels();
    void overflowIsAnError();
    void realScreenGivesAPositiveArea();
};

void TestScreenFit::layout_data()
{
    QTest::addColumn<QRect>("work"); // pixels
    QTest::addColumn<QRect>("screen");
    QTest::addColumn<float>("tpp");
    QTest::addColumn<QRect>("twips"); // left, top, W, H
    QTest::addColumn<QList<int>>("frameW, frameH, vLeft, hTop");
    QTest::newRow("800x572 at 15") << QRect(0, 0, 800, 572) << QRect() << 15.f << QRect(0, 0, 12000, 8580)
                                   << QList<int>{11598, 7098, 11748, 7728};
    QTest::newRow("1024x740 at 12") << QRect(0, 0, 1024, 740) << QRect() << 12.f << QRect(0, 0, 12288, 8880)
                                    << QList<int>{11886, 7398, 12036, 8028};
    // A task bar at the left or top shifts the area; only its width and height count.
    QTest::newRow("task bar left") << QRect(60, 0, 800, 572) << QRect() << 15.f << QRect(900, 0, 12000, 8580)
                                   << QList<int>{11598, 7098, 11748, 7728};
    QTest::newRow("task bar top") << QRect(0, 40, 800, 572) << QRect() << 15.f << QRect(0, 600, 12000, 8580)
                                  << QList<int>{11598, 7098, 11748, 7728};
    // Each edge is rounded on its own, halves to even: left 37.5 -> 38, right 62.5 -> 62, width 24;
    // top 12.5 -> 12, bottom 37.5 -> 38, height 26. Sizes go negative without an error: the view
    // clamps them when it lays out.
    QTest::newRow("edges rounded apart") << QRect(3, 1, 2, 2) << QRect() << 12.5f << QRect(38, 12, 24, 26)
                                         << QList<int>{-378, -1456, -228, -826};
    QTest::newRow("failed query, whole screen")
        << QRect() << QRect(0, 0, 1024, 768) << 15.f << QRect(0, 0, 15360, 11520)
        << QList<int>{14958, 10038, 15108, 10668};
    QTest::newRow("no screen, design size")
        << QRect() << QRect() << 15.f << QRect(0, 0, 12000, 9000) << QList<int>{11598, 7518, 11748, 8148};
}

void TestScreenFit::layout()
{
    QFETCH(QRect, work);
    QFETCH(QRect, screen);
    QFETCH(float, tpp);
    FakeWorkArea fake(work, tpp, screen);
    int32_t left = -1, top = -1, W = 0, H = 0;
    GetWorkArea(left, top, W, H, 1);
    QTEST(QRect(left, top, W, H), "twips");
    const ScreenFitLayout l = FitToScreenLayout(W, H);
    QTEST((QList<int>{l.FrameWidth, l.FrameHeight, l.VScrollLeft, l.HScrollTop}),
          "frameW, frameH, vLeft, hTop");
    QCOMPARE(l.VScrollHeight, l.FrameHeight);
    QCOMPARE(l.HScrollWidth, l.FrameWidth);
}

void TestScreenFit::workAreaInPixels()
{
    FakeWorkArea fake(QRect(60, 40, 800, 572), 15.f);
    int32_t left = 0, top = 0, width = 0, height = 0;
    GetWorkArea(left, top, width, height, 0);
    QCOMPARE(QRect(left, top, width, height), QRect(60, 40, 800, 572));
}

void TestScreenFit::overflowIsAnError()
{
    const int32_t low = std::numeric_limits<int32_t>::min() + 100;
    QVERIFY_THROWS_EXCEPTION(OverflowError, FitToScreenLayout(low, 8580));
    QVERIFY_THROWS_EXCEPTION(OverflowError, FitToScreenLayout(12000, low));
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
