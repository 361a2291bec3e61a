#include "fakeworkarea.h"
#include "frame1widget.h"
#include "image1widget.h"
#include "mapview.h"
#include "module1.h"
#include "pointersink.h"

#include <QApplication>
#include <QMouseEvent>
#include <QTest>
#include <cmath>

namespace
{
struct PointerCall {
    QString handler;
    int button, shift;
    float x, y;
};

// Keeps every pointer call, and measures each left drag on the map the way the measuring code does:
// positions rounded to whole twips, the distance divided by the zoom factor of the moment.
class RecordingSink : public PointerSink
{
public:
    explicit RecordingSink(const ViewFields& f) : fields(f) {}
    void Image1_MouseDown(int b, int s, float x, float y) override
    {
        calls.append({__func__, b, s, x, y});
        start = {RoundToInt32(x), RoundToInt32(y)};
    }
    void Image1_MouseUp(int b, int s, float x, float y) override
    {
        calls.append({__func__, b, s, x, y});
        if (b == 1)
            length +=
                PixelDistance(start.x(), RoundToInt32(x), start.y(), RoundToInt32(y)) / fields.ZoomFactor;
    }
    void Image1_MouseMove(int b, int s, float x, float y) override { calls.append({__func__, b, s, x, y}); }
    void Frame1_MouseUp(int b, int s, float x, float y) override { calls.append({__func__, b, s, x, y}); }
    void Frame1_MouseMove(int b, int s, float x, float y) override { calls.append({__func__, b, s, x, y}); }
    const ViewFields& fields;
    QList<PointerCall> calls;
    QPoint start;
    double length = 0;
};

// Eight by six blocks of flat colour: easy to recognise after smooth shrinking.
QImage blocks(int w, int h)
{
    QImage img(w, h, QImage::Format_RGB32);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            const int bx = x * 8 / w, by = y * 6 / h;
            img.setPixel(x, y, qRgb(30 * bx + 20, 40 * by + 10, ((bx + by) % 2) * 200 + 20));
        }
    return img;
}
// One main window client with the view in it, on an 800 x 572 pixel work area at 15 twips per pixel.
struct Rig {
    Rig() { view.model().setDecimalSeparator(QStringLiteral(".")); }
    FakeWorkArea area{QRect(0, 0, 800, 572), 15.f};
    QWidget client;
    ViewFields fields;
    RecordingSink sink{fields};
    MapView view{fields, &client, &sink};
    QList<QWidget*> frameAndBars() { return {view.frame1(), view.hscroll1(), view.vscroll1()}; }
};
} // namespace

class TestMapView : public QObject
{
    Q_OBJECT
private slots:
    void init() { r = std::make_unique<Rig>(); }
    void cleanup() { r.reset(); }
    void beforeOpening();
    void openedMapIsFittedAndShown();
    void pointerEvents();
    void barsMoveTheImage();
    void measuresTheSameAtAnyZoom();
    void resizeKeepsEverythingInside_data();
    void resizeKeepsEverythingInside();
    void loadBeforeShowEndsFittedInsideTheClient();

private:
    void openMap();
    std::unique_ptr<Rig> r;
};

// A 1000 x 700 pixel picture in a client area of 800 x 532 pixels, which stands for the 800 x 572 work
// area less 600 twips of title and menu bars.
void TestMapView::openMap()
{
    r->client.resize(800, 532);
    r->client.show();
    QVERIFY(QTest::qWaitForWindowExposed(&r->client));
    QVERIFY(r->view.FitToScreen());
    r->view.loadPicture(std::make_shared<const MapPicture>(blocks(1000, 700)));
    r->view.ZoomToFit();
}

void TestMapView::beforeOpening()
{
    for (const char* name : {"Frame1", "HScroll1", "VScroll1"})
        QVERIFY2(r->client.findChild<QWidget*>(name, Qt::FindDirectChildrenOnly), name);
    QCOMPARE(r->view.frame1()->findChild<QWidget*>("Image1")->accessibleName(), QStringLiteral("Map"));
    QLabel* label = r->view.frame1()->findChild<QLabel*>("Label1");
    QVERIFY(label);
    QCOMPARE(label->geometry(), QRect(8, 8, 57, 23)); // 120, 120, 852, 348 twips at 15
    QVERIFY(label->font().bold());
    QCOMPARE(label->font().pointSize(), 12);
    // Both bars show until the first layout hides them.
    QVERIFY(!r->view.hscroll1()->isHidden() && !r->view.vscroll1()->isHidden());

    QVERIFY(r->view.FitToScreen());
    QCOMPARE(r->view.workAreaLayout().FrameWidth, 11598);
    QCOMPARE(r->view.workAreaLayout().FrameHeight, 7098);
    QCOMPARE(r->view.model().FrameWidth(), 11598.f);
    QList<QRect> placed;
    for (QWidget* w : r->frameAndBars())
        placed << w->geometry();
    QCOMPARE(placed, QList<QRect>({QRect(8, 40, 773, 473), QRect(8, 515, 773, 17), QRect(783, 40, 17, 473)}));
}

void TestMapView::openedMapIsFittedAndShown()
{
    openMap();
    QCOMPARE(r->view.frame1()->geometry(), QRect(8, 40, 773, 473));
    QCOMPARE(r->fields.NaturalWidth, 15000);
    QCOMPARE(r->fields.NaturalHeight, 10500);
    QCOMPARE(r->fields.ZoomFactor, float(7098.0 / 10500));
    QCOMPARE(r->view.model().image().Left(), 729.f);
    QCOMPARE(r->view.label1()->text(), QStringLiteral("0.68:1"));
    QTRY_VERIFY(!r->view.hscroll1()->isVisible() && !r->view.vscroll1()->isVisible());
    QVERIFY(r->view.image1()->isVisible());

    // Each block's centre shows the block's colour; left of the image, the frame.
    const QImage picture = blocks(1000, 700), shot = r->view.frame1()->grab().toImage();
    const double scale = double(r->fields.ZoomFactor), left = 729.0 / 15;
    for (int by = 0; by < 6; ++by)
        for (int bx = 0; bx < 8; ++bx) {
            const QPoint pic((2 * bx + 1) * 1000 / 16, (2 * by + 1) * 700 / 12);
            const QPoint at(int(left + pic.x() * scale), int(pic.y() * scale));
            if (QRect(8, 8, 57, 23).contains(at))
                continue; // under the readout
            const QColor want(picture.pixel(pic)), got(shot.pixel(at));
            QVERIFY2(std::abs(want.red() - got.red()) <= 6 && std::abs(want.green() - got.green()) <= 6 &&
                         std::abs(want.blue() - got.blue()) <= 6,
                     qPrintable(QStringLiteral("block %1,%2").arg(bx).arg(by)));
        }
    QCOMPARE(QColor(shot.pixel(20, 200)), r->view.frame1()->palette().color(QPalette::Window));
}

void TestMapView::pointerEvents()
{
    openMap();
    QWidget* image = r->view.image1();
    const auto expect = [&](int i, const char* handler, int button, int shift, float x, float y) {
        const PointerCall& c = r->sink.calls.at(i);
        QCOMPARE(c.handler, QLatin1String(handler));
        QCOMPARE(QList<float>({float(c.button), float(c.shift), c.x, c.y}),
                 QList<float>({float(button), float(shift), x, y}));
    };
    // Frame1 pixel (300, 200) is 4500 twips from the frame's left, 729 of them before the image.
    const QPoint local = QPoint(300, 200) - image->pos();
    QTest::mousePress(image, Qt::LeftButton, Qt::ShiftModifier, local);
    QTest::mouseRelease(image, Qt::RightButton, Qt::ControlModifier, local);
    // Over the readout the click still reaches the map.
    QTest::mouseClick(image, Qt::MiddleButton, Qt::AltModifier, QPoint(60, 20) - image->pos());
    // Left of the fitted image, on the bare frame.
    QTest::mouseClick(r->view.frame1(), Qt::RightButton, {}, QPoint(20, 300));
    QCOMPARE(r->sink.calls.size(), 5);
    expect(0, "Image1_MouseDown", 1, 1, 3771, 3000);
    expect(1, "Image1_MouseUp", 2, 2, 3771, 3000);
    expect(3, "Image1_MouseUp", 4, 4, 60 * 15 - 729, 300);
    expect(4, "Frame1_MouseUp", 2, 0, 300, 4500);

    // A drag past the image's left edge, over the bare frame, stays with the image, in its twips.
    r->sink.calls.clear();
    QTest::mousePress(image, Qt::LeftButton, {}, QPoint(100, 100));
    QTest::mouseMove(image, QPoint(-30, 100));
    QTest::mouseRelease(image, Qt::LeftButton, {}, QPoint(-30, 100));
    QStringList handlers;
    for (const PointerCall& c : r->sink.calls)
        handlers << c.handler;
    QCOMPARE(handlers, QStringList({"Image1_MouseDown", "Image1_MouseMove", "Image1_MouseUp"}));
    QCOMPARE(r->sink.calls[1].button, 1);
    QVERIFY(r->sink.calls[2].x < 0);
}

void TestMapView::barsMoveTheImage()
{
    openMap();
    for (int i = 0; i < 3; ++i)
        r->view.ZoomIn();
    const ImageGeometry& g = r->view.model().image();
    QScrollBar* h = r->view.hscroll1();
    QVERIFY(h->isVisible());
    QCOMPARE(h->value(), int(r->view.model().HScroll1().Value()));
    QCOMPARE(h->pageStep(), int(r->view.model().HScroll1().LargeChange()));
    QCOMPARE(h->maximum(), 100);
    QCOMPARE(h->singleStep(), 1);
    const int before = h->value();
    h->triggerAction(QAbstractSlider::SliderSingleStepAdd);
    QCOMPARE(int(r->view.model().HScroll1().Value()), before + 1);
    QCOMPARE(g.Left(), -968.f);
    QCOMPARE(r->view.image1()->placement().left(), g.Left() / 15.0);
    h->triggerAction(QAbstractSlider::SliderToMaximum);
    QCOMPARE(g.Left() + g.Width(), 11598.f);
    QCOMPARE(r->view.label1()->text(), QStringLiteral("0.90:1"));

    // A dragged thumb moves the image when it is let go.
    QScrollBar* v = r->view.vscroll1();
    const float top = g.Top();
    v->setSliderDown(true);
    v->setSliderPosition(90);
    QCOMPARE(g.Top(), top);
    QCOMPARE(r->view.model().VScroll1().Value(), int16_t(50));
    v->setSliderDown(false);
    QCOMPARE(r->view.model().VScroll1().Value(), int16_t(90));
    QCOMPARE(g.Top(), -2115.f);
}

void TestMapView::measuresTheSameAtAnyZoom()
{
    openMap();
    QWidget* image = r->view.image1();
    // Three map points near the middle of the picture, in natural twips.
    const QPointF A(5000, 4000), B(9500, 6800), C(7300, 3900);
    // A left-button event at a map point given in natural twips, at sub-pixel precision.
    const auto send = [&](QPointF natural, QEvent::Type type) {
        const ImageGeometry& g = r->view.model().image();
        const QPointF local((g.Left() + natural.x() * g.Width() / r->fields.NaturalWidth) / 15.0 - image->x(),
                            (g.Top() + natural.y() * g.Height() / r->fields.NaturalHeight) / 15.0 -
                                image->y());
        const Qt::MouseButtons held = type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::LeftButton;
        QMouseEvent e(type, local, image->mapToGlobal(local), Qt::LeftButton, held, Qt::NoModifier);
        QApplication::sendEvent(image, &e);
    };
    const auto drag = [&](QPointF from, QPointF to) {
        send(from, QEvent::MouseButtonPress);
        send(to, QEvent::MouseButtonRelease);
    };
    const auto check = [&](double want, int ends, const char* when) {
        // Each end is rounded to a whole twip of the zoomed image.
        QVERIFY2(std::abs(r->sink.length - want) <= ends / r->fields.ZoomFactor + 1e-4 * want,
                 qPrintable(QStringLiteral("%1: %2 for %3").arg(when).arg(r->sink.length).arg(want)));
        r->sink.length = 0;
    };
    const auto dist = [](QPointF p, QPointF q) { return std::hypot(q.x() - p.x(), q.y() - p.y()); };
    drag(A, B);
    check(dist(A, B), 2, "fitted");
    for (int i = 0; i < 3; ++i)
        r->view.ZoomIn();
    drag(A, B);
    check(dist(A, B), 2, "after three zoom-ins");
    r->view.hscroll1()->triggerAction(QAbstractSlider::SliderPageStepAdd);
    r->view.vscroll1()->triggerAction(QAbstractSlider::SliderSingleStepSub);
    drag(A, B);
    check(dist(A, B), 2, "after a scroll");
    // Two strokes with a zoom between them add up to the path through C.
    drag(A, C);
    r->view.ZoomOut();
    drag(C, B);
    check(dist(A, C) + dist(C, B), 4, "across a zoom");
}

void TestMapView::resizeKeepsEverythingInside_data()
{
    QTest::addColumn<int>("zoomIns");
    QTest::addColumn<bool>("painted");
    QTest::addColumn<QSize>("newSize");
    QTest::addColumn<int>("frameWidth"); // pixels
    QTest::newRow("before the first paint, smaller") << 0 << false << QSize(600, 400) << 573;
    QTest::newRow("before the first paint, larger") << 0 << false << QSize(1000, 700) << 973;
    QTest::newRow("shown fitted, smaller") << 0 << true << QSize(600, 400) << 573;
    QTest::newRow("zoomed, smaller") << 4 << true << QSize(600, 400) << 573;
    QTest::newRow("zoomed, larger") << 4 << false << QSize(1200, 900) << 1173;
    QTest::newRow("tiny") << 2 << true << QSize(40, 30) << 13;
}

void TestMapView::resizeKeepsEverythingInside()
{
    QFETCH(int, zoomIns);
    QFETCH(bool, painted);
    QFETCH(QSize, newSize);
    openMap();
    for (int i = 0; i < zoomIns; ++i)
        r->view.ZoomIn();
    if (painted)
        QTRY_VERIFY(!r->view.refitsOnResize());
    // Until the map is first seen or zoomed, a resize fits it again; after that the zoom stays.
    const bool refits = zoomIns == 0 && !painted;
    QCOMPARE(r->view.refitsOnResize(), refits);
    const float zoom = r->fields.ZoomFactor;
    r->client.resize(newSize);
    QTRY_COMPARE(r->client.size(), newSize);
    for (QWidget* w : r->frameAndBars())
        QVERIFY2((QRect(QPoint(0, 0), newSize).contains(w->geometry()) || w->geometry().isEmpty()) &&
                     w->width() >= 0 && w->height() >= 0,
                 w->objectName().toLatin1());
    QCOMPARE(r->view.hscroll1()->geometry().bottom(), newSize.height() - 1);
    QCOMPARE(r->view.vscroll1()->geometry().right(), newSize.width() - 1);
    QTEST(r->view.frame1()->width(), "frameWidth");
    const ImageGeometry& g = r->view.model().image();
    const ViewModel& model = r->view.model();
    if (refits) {
        QVERIFY(!r->view.hscroll1()->isVisible() && !r->view.vscroll1()->isVisible());
        QVERIFY(g.Width() <= model.FrameWidth() && g.Height() <= model.FrameHeight());
        QVERIFY(g.Width() == model.FrameWidth() || g.Height() == model.FrameHeight());
    } else {
        QCOMPARE(r->fields.ZoomFactor, zoom);
        // A shown bar leaves no empty strip beside the image.
        if (model.HScroll1().Visible())
            QVERIFY(g.Left() <= 0 && g.Left() + g.Width() >= model.FrameWidth());
    }
}

void TestMapView::loadBeforeShowEndsFittedInsideTheClient()
{
    // The main window loads the map before it is shown; it then opens at its final (maximized) size.
    r->client.resize(700, 450);
    QVERIFY(r->view.FitToScreen());
    QCOMPARE(r->view.layout().FrameWidth, 11598); // from the 800 x 572 work area for now
    r->view.loadPicture(std::make_shared<const MapPicture>(blocks(1000, 700)));
    r->view.ZoomToFit();
    r->client.show();
    QVERIFY(QTest::qWaitForWindowExposed(&r->client));
    QCOMPARE(r->view.layout().FrameWidth, 700 * 15 - 402);
    QCOMPARE(r->view.layout().FrameHeight, 450 * 15 + 600 - 1482);
    for (QWidget* w : r->frameAndBars())
        QVERIFY2(QRect(0, 0, 700, 450).contains(w->geometry()), w->objectName().toLatin1());
    QVERIFY(!r->view.hscroll1()->isVisible() && !r->view.vscroll1()->isVisible());
    QCOMPARE(r->fields.ZoomFactor, float(double(450 * 15 + 600 - 1482) / 10500));
    QTRY_VERIFY(!r->view.refitsOnResize());
}

QTEST_MAIN(TestMapView)
#include "tst_mapview.moc"
