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
    int button;
    int shift;
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
        calls.append({"Image1_MouseDown", b, s, x, y});
        startX = RoundToInt32(x);
        startY = RoundToInt32(y);
    }
    void Image1_MouseMove(int b, int s, float x, float y) override
    {
        calls.append({"Image1_MouseMove", b, s, x, y});
    }
    void Image1_MouseUp(int b, int s, float x, float y) override
    {
        calls.append({"Image1_MouseUp", b, s, x, y});
        if (b == 1)
            length += PixelDistance(startX, RoundToInt32(x), startY, RoundToInt32(y)) / fields.ZoomFactor;
    }
    void Frame1_MouseUp(int b, int s, float x, float y) override
    {
        calls.append({"Frame1_MouseUp", b, s, x, y});
    }
    void Frame1_MouseMove(int b, int s, float x, float y) override
    {
        calls.append({"Frame1_MouseMove", b, s, x, y});
    }
    const ViewFields& fields;
    QList<PointerCall> calls;
    int32_t startX = 0, startY = 0;
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
} // namespace

class TestMapView : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void controlsAndDesignPlaces();
    void beforeShowTheWorkAreaLays();
    void openedMapIsFittedAndShown();
    void pointerReachesTheHandlersInTwips();
    void dragIsCapturedOutsideTheImage();
    void framePointerEvents();
    void barsMoveTheImage();
    void draggedThumbMovesOnRelease();
    void measuresTheSameAtAnyZoom();
    void resizeKeepsEverythingInside_data();
    void resizeKeepsEverythingInside();
    void loadBeforeShowEndsFittedInsideTheClient();

private:
    void openMap(const QSize& clientPx, const QImage& picture);
    void press(QWidget* w, QPointF framePx, Qt::MouseButton b, QEvent::Type type);
    QPointF mapPointToFrame(QPointF natural) const; // natural twips -> Frame1 pixels

    std::unique_ptr<FakeWorkArea> m_area;
    std::unique_ptr<QWidget> m_client;
    std::unique_ptr<ViewFields> m_fields;
    std::unique_ptr<RecordingSink> m_sink;
    std::unique_ptr<MapView> m_view;
};

void TestMapView::init()
{
    m_area = std::make_unique<FakeWorkArea>(QRect(0, 0, 800, 572), 15.f);
    m_client = std::make_unique<QWidget>();
    m_fields = std::make_unique<ViewFields>();
    m_sink = std::make_unique<RecordingSink>(*m_fields);
    m_view = std::make_unique<MapView>(*m_fields, m_client.get(), m_sink.get());
    m_view->model().setDecimalSeparator(QStringLiteral("."));
}

void TestMapView::cleanup()
{
    m_view.reset();
    m_client.reset();
    m_area.reset();
}

void TestMapView::openMap(const QSize& clientPx, const QImage& picture)
{
    m_client->resize(clientPx);
    m_client->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_client.get()));
    QVERIFY(m_view->FitToScreen());
    m_view->loadPicture(std::make_shared<const MapPicture>(picture));
    m_view->ZoomToFit();
}

QPointF TestMapView::mapPointToFrame(QPointF natural) const
{
    const ImageGeometry& g = m_view->model().image();
    return QPointF((g.Left() + natural.x() * g.Width() / m_fields->NaturalWidth) / 15.0,
                   (g.Top() + natural.y() * g.Height() / m_fields->NaturalHeight) / 15.0);
}

void TestMapView::press(QWidget* w, QPointF framePx, Qt::MouseButton b, QEvent::Type type)
{
    // Sub-pixel positions, as a tablet or a high-resolution pointer gives them.
    const QPointF local = framePx - QPointF(w->pos());
    const Qt::MouseButtons held = type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::MouseButtons(b);
    QMouseEvent e(type, local, w->mapToGlobal(local), b, held, Qt::NoModifier);
    QApplication::sendEvent(w, &e);
}

void TestMapView::controlsAndDesignPlaces()
{
    for (const char* name : {"Frame1", "HScroll1", "VScroll1"})
        QVERIFY2(m_client->findChild<QWidget*>(name, Qt::FindDirectChildrenOnly), name);
    QWidget* frame = m_client->findChild<QWidget*>("Frame1");
    QVERIFY(frame->findChild<QWidget*>("Image1"));
    QCOMPARE(frame->findChild<QWidget*>("Image1")->accessibleName(), QStringLiteral("Map"));
    QLabel* label = frame->findChild<QLabel*>("Label1");
    QVERIFY(label);
    QCOMPARE(label->geometry(), QRect(8, 8, 57, 23)); // 120, 120, 852, 348 twips at 15
    QVERIFY(label->font().bold());
    QCOMPARE(label->font().pointSize(), 12);
    // Both bars show until the first layout hides them.
    QVERIFY(!m_view->hscroll1()->isHidden());
    QVERIFY(!m_view->vscroll1()->isHidden());
}

void TestMapView::beforeShowTheWorkAreaLays()
{
    QVERIFY(m_view->FitToScreen());
    const ScreenFitLayout& l = m_view->workAreaLayout();
    QCOMPARE(l.FrameWidth, 11598);
    QCOMPARE(l.FrameHeight, 7098);
    QCOMPARE(m_view->model().FrameWidth(), 11598.f);
    QCOMPARE(m_view->frame1()->geometry(), QRect(8, 40, 773, 473));
    QCOMPARE(m_view->vscroll1()->geometry(), QRect(783, 40, 17, 473));
    QCOMPARE(m_view->hscroll1()->geometry(), QRect(8, 515, 773, 17));
}

void TestMapView::openedMapIsFittedAndShown()
{
    const QImage picture = blocks(1000, 700);
    // A client area of 800 x 532 pixels stands for the 800 x 572 work area less 600 twips of bars.
    openMap(QSize(800, 532), picture);
    QCOMPARE(m_view->frame1()->geometry(), QRect(8, 40, 773, 473));
    QCOMPARE(m_fields->NaturalWidth, 15000);
    QCOMPARE(m_fields->NaturalHeight, 10500);
    QCOMPARE(m_fields->ZoomFactor, float(7098.0 / 10500));
    QCOMPARE(m_view->model().image().Left(), 729.f);
    QCOMPARE(m_view->label1()->text(), QStringLiteral("0.68:1"));
    QTRY_VERIFY(!m_view->hscroll1()->isVisible());
    QVERIFY(!m_view->vscroll1()->isVisible());
    QVERIFY(m_view->image1()->isVisible());

    // The picture on screen: each block's centre shows the block's colour; left of the image, the frame.
    const QImage shot = m_view->frame1()->grab().toImage();
    const double scale = double(m_fields->ZoomFactor), left = 729.0 / 15;
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
    QCOMPARE(QColor(shot.pixel(20, 200)), m_view->frame1()->palette().color(QPalette::Window));
}

void TestMapView::pointerReachesTheHandlersInTwips()
{
    openMap(QSize(800, 532), blocks(1000, 700));
    QWidget* image = m_view->image1();
    // Frame1 pixel (300, 200) is 4500 twips from the frame's left, 729 of them before the image.
    const QPoint local = QPoint(300, 200) - image->pos();
    QTest::mousePress(image, Qt::LeftButton, Qt::ShiftModifier, local);
    QTest::mouseRelease(image, Qt::RightButton, Qt::ControlModifier, local);
    QCOMPARE(m_sink->calls.size(), 2);
    QCOMPARE(m_sink->calls[0].handler, QStringLiteral("Image1_MouseDown"));
    QCOMPARE(m_sink->calls[0].button, 1);
    QCOMPARE(m_sink->calls[0].shift, 1);
    QCOMPARE(m_sink->calls[0].x, 3771.f);
    QCOMPARE(m_sink->calls[0].y, 3000.f);
    QCOMPARE(m_sink->calls[1].handler, QStringLiteral("Image1_MouseUp"));
    QCOMPARE(m_sink->calls[1].button, 2);
    QCOMPARE(m_sink->calls[1].shift, 2);
    // Over the readout the press still reaches the map.
    m_sink->calls.clear();
    QTest::mouseClick(image, Qt::MiddleButton, Qt::AltModifier, QPoint(60, 20) - image->pos());
    QCOMPARE(m_sink->calls.size(), 2);
    QCOMPARE(m_sink->calls[1].button, 4);
    QCOMPARE(m_sink->calls[1].shift, 4);
    QCOMPARE(m_sink->calls[1].x, float(60 * 15 - 729));
}

void TestMapView::dragIsCapturedOutsideTheImage()
{
    openMap(QSize(800, 532), blocks(1000, 700));
    QWidget* image = m_view->image1();
    QTest::mousePress(image, Qt::LeftButton, {}, QPoint(100, 100));
    // Past the image's left edge, over the bare frame: still the image's handlers, in its twips.
    QTest::mouseMove(image, QPoint(-30, 100));
    QTest::mouseRelease(image, Qt::LeftButton, {}, QPoint(-30, 100));
    QStringList handlers;
    for (const PointerCall& c : m_sink->calls)
        handlers << c.handler;
    QVERIFY2(!handlers.contains("Frame1_MouseUp"), qPrintable(handlers.join(',')));
    QCOMPARE(handlers.last(), QStringLiteral("Image1_MouseUp"));
    QVERIFY(m_sink->calls.last().x < 0);
    const auto move = std::find_if(m_sink->calls.begin(), m_sink->calls.end(),
                                   [](const PointerCall& c) { return c.handler == "Image1_MouseMove"; });
    QVERIFY(move != m_sink->calls.end());
    QCOMPARE(move->button, 1);
}

void TestMapView::framePointerEvents()
{
    openMap(QSize(800, 532), blocks(1000, 700));
    QWidget* frame = m_view->frame1();
    QTest::mouseClick(frame, Qt::RightButton, {}, QPoint(20, 300)); // left of the fitted image
    QCOMPARE(m_sink->calls.size(), 1);
    QCOMPARE(m_sink->calls[0].handler, QStringLiteral("Frame1_MouseUp"));
    QCOMPARE(m_sink->calls[0].button, 2);
    QCOMPARE(m_sink->calls[0].x, 300.f);
    QCOMPARE(m_sink->calls[0].y, 4500.f);
}

void TestMapView::barsMoveTheImage()
{
    openMap(QSize(800, 532), blocks(1000, 700));
    for (int i = 0; i < 3; ++i)
        m_view->ZoomIn();
    QScrollBar* h = m_view->hscroll1();
    QVERIFY(h->isVisible());
    QCOMPARE(h->value(), int(m_view->model().HScroll1().Value()));
    QCOMPARE(h->pageStep(), int(m_view->model().HScroll1().LargeChange()));
    QCOMPARE(h->maximum(), 100);
    QCOMPARE(h->singleStep(), 1);
    const int before = h->value();
    h->triggerAction(QAbstractSlider::SliderSingleStepAdd);
    QCOMPARE(int(m_view->model().HScroll1().Value()), before + 1);
    const ImageGeometry& g = m_view->model().image();
    QCOMPARE(g.Left(), ImageGeometry::whole(float(11598 - g.Width()) * ((before + 1) / 100.0)));
    QCOMPARE(m_view->image1()->placement().left(), g.Left() / 15.0);
    h->triggerAction(QAbstractSlider::SliderToMaximum);
    QCOMPARE(g.Left() + g.Width(), 11598.f);
    QCOMPARE(m_view->label1()->text(), QStringLiteral("0.90:1"));
}

void TestMapView::draggedThumbMovesOnRelease()
{
    openMap(QSize(800, 532), blocks(1000, 700));
    for (int i = 0; i < 3; ++i)
        m_view->ZoomIn();
    QScrollBar* v = m_view->vscroll1();
    const float top = m_view->model().image().Top();
    v->setSliderDown(true);
    v->setSliderPosition(90);
    QCOMPARE(m_view->model().image().Top(), top);
    QCOMPARE(m_view->model().VScroll1().Value(), int16_t(50));
    v->setSliderDown(false);
    QCOMPARE(m_view->model().VScroll1().Value(), int16_t(90));
    const ImageGeometry& g = m_view->model().image();
    QCOMPARE(g.Top(), ImageGeometry::whole(float(7098 - g.Height()) * 0.9));
}

void TestMapView::measuresTheSameAtAnyZoom()
{
    openMap(QSize(800, 532), blocks(1000, 700));
    QWidget* image = m_view->image1();
    // Three map points near the middle of the picture, in natural twips.
    const QPointF A(5000, 4000), B(9500, 6800), C(7300, 3900);
    const auto drag = [&](QPointF from, QPointF to) {
        press(image, mapPointToFrame(from), Qt::LeftButton, QEvent::MouseButtonPress);
        press(image, mapPointToFrame(to), Qt::LeftButton, QEvent::MouseButtonRelease);
    };
    const double ab = std::hypot(B.x() - A.x(), B.y() - A.y());
    const auto check = [&](const char* when) {
        // Each end is rounded to a whole twip of the zoomed image.
        const double tolerance = 2.0 / m_fields->ZoomFactor + 1e-4 * ab;
        QVERIFY2(std::abs(m_sink->length - ab) <= tolerance,
                 qPrintable(QStringLiteral("%1: %2 for %3").arg(when).arg(m_sink->length).arg(ab)));
        m_sink->length = 0;
    };
    drag(A, B);
    check("fitted");
    for (int i = 0; i < 3; ++i)
        m_view->ZoomIn();
    drag(A, B);
    check("after three zoom-ins");
    m_view->hscroll1()->triggerAction(QAbstractSlider::SliderPageStepAdd);
    m_view->vscroll1()->triggerAction(QAbstractSlider::SliderSingleStepSub);
    drag(A, B);
    check("after a scroll");
    // Two strokes with a zoom between them add up to the path through C.
    drag(A, C);
    m_view->ZoomOut();
    drag(C, B);
    const double acb = std::hypot(C.x() - A.x(), C.y() - A.y()) + std::hypot(B.x() - C.x(), B.y() - C.y());
    QVERIFY2(std::abs(m_sink->length - acb) <= 4.0 / m_fields->ZoomFactor + 1e-4 * acb,
             qPrintable(QString::number(m_sink->length - acb)));
}

void TestMapView::resizeKeepsEverythingInside_data()
{
    QTest::addColumn<int>("zoomIns");
    QTest::addColumn<bool>("painted");
    QTest::addColumn<QSize>("newSize");
    QTest::newRow("before the first paint, smaller") << 0 << false << QSize(600, 400);
    QTest::newRow("before the first paint, larger") << 0 << false << QSize(1000, 700);
    QTest::newRow("shown fitted, smaller") << 0 << true << QSize(600, 400);
    QTest::newRow("zoomed, smaller") << 4 << true << QSize(600, 400);
    QTest::newRow("zoomed, larger") << 4 << false << QSize(1200, 900);
    QTest::newRow("tiny") << 2 << true << QSize(40, 30);
}

void TestMapView::resizeKeepsEverythingInside()
{
    QFETCH(int, zoomIns);
    QFETCH(bool, painted);
    QFETCH(QSize, newSize);
    openMap(QSize(800, 532), blocks(1000, 700));
    for (int i = 0; i < zoomIns; ++i)
        m_view->ZoomIn();
    if (painted)
        QTRY_VERIFY(!m_view->refitsOnResize());
    const bool refits = zoomIns == 0 && !painted;
    QCOMPARE(m_view->refitsOnResize(), refits);
    const float zoom = m_fields->ZoomFactor;
    m_client->resize(newSize);
    const QRect inside(QPoint(0, 0), newSize);
    QTRY_COMPARE(m_client->size(), newSize);
    for (QWidget* w : {static_cast<QWidget*>(m_view->frame1()), static_cast<QWidget*>(m_view->hscroll1()),
                       static_cast<QWidget*>(m_view->vscroll1())}) {
        QVERIFY2(inside.contains(w->geometry()) || w->geometry().isEmpty(), w->objectName().toLatin1());
        QVERIFY(w->width() >= 0 && w->height() >= 0);
    }
    // The horizontal bar ends at the client area's lower edge, the vertical one at its right edge.
    QCOMPARE(m_view->hscroll1()->geometry().bottom(), newSize.height() - 1);
    QCOMPARE(m_view->vscroll1()->geometry().right(), newSize.width() - 1);
    QCOMPARE(m_view->frame1()->width(),
             std::max(0, int(std::lround((newSize.width() * 15 - 282) / 15.0)) - 8));
    QVERIFY(m_fields->ZoomFactor > 0);
    const ImageGeometry& g = m_view->model().image();
    if (refits) {
        QVERIFY(!m_view->hscroll1()->isVisible());
        QVERIFY(!m_view->vscroll1()->isVisible());
        QVERIFY(g.Width() <= m_view->model().FrameWidth() && g.Height() <= m_view->model().FrameHeight());
        QVERIFY(g.Width() == m_view->model().FrameWidth() || g.Height() == m_view->model().FrameHeight());
    } else {
        QCOMPARE(m_fields->ZoomFactor, zoom);
        // The image stands where the bars say; a shown bar has no empty strip beside the image.
        if (m_view->model().HScroll1().Visible()) {
            QVERIFY(g.Left() <= 0);
            QVERIFY(g.Left() + g.Width() >= m_view->model().FrameWidth());
        }
    }
}

void TestMapView::loadBeforeShowEndsFittedInsideTheClient()
{
    // The main window loads the map before it is shown; it then opens at its final (maximized) size.
    m_client->resize(700, 450);
    QVERIFY(m_view->FitToScreen());
    QCOMPARE(m_view->layout().FrameWidth, 11598); // from the 800 x 572 work area for now
    m_view->loadPicture(std::make_shared<const MapPicture>(blocks(1000, 700)));
    m_view->ZoomToFit();
    m_client->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_client.get()));
    QCOMPARE(m_view->layout().FrameWidth, 700 * 15 - 402);
    QCOMPARE(m_view->layout().FrameHeight, 450 * 15 + 600 - 1482);
    QVERIFY(QRect(0, 0, 700, 450).contains(m_view->frame1()->geometry()));
    QVERIFY(QRect(0, 0, 700, 450).contains(m_view->vscroll1()->geometry()));
    QVERIFY(QRect(0, 0, 700, 450).contains(m_view->hscroll1()->geometry()));
    QVERIFY(!m_view->hscroll1()->isVisible());
    QVERIFY(!m_view->vscroll1()->isVisible());
    QCOMPARE(m_fields->ZoomFactor, float(double(450 * 15 + 600 - 1482) / 10500));
    QTRY_VERIFY(!m_view->refitsOnResize());
}

QTEST_MAIN(TestMapView)
#include "tst_mapview.moc"
