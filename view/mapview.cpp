#include "mapview.h"

#include "frame1widget.h"
#include "image1widget.h"
#include "checkedmath.h"

#include <QEvent>
#include <QLabel>
#include <QScrollBar>
#include <QSignalBlocker>
#include <algorithm>
#include <cmath>

namespace
{
// Label1 inside Frame1, twips.
constexpr int LabelLeft = 120, LabelTop = 120, LabelWidth = 852, LabelHeight = 348;
} // namespace

MapView::MapView(ViewFields& fields, QWidget* client, const WorkAreaSource& screen)
    : m_model(fields), m_screen(screen), m_twips(screen.twips()), m_client(client)
{
    m_frame = new Frame1Widget(client);
    m_frame->setTwips(m_twips);
    m_image = new Image1Widget(m_frame);
    connect(m_image, &Image1Widget::Image1_MouseDown, this, &MapView::Image1_MouseDown);
    connect(m_image, &Image1Widget::Image1_MouseMove, this, &MapView::Image1_MouseMove);
    connect(m_image, &Image1Widget::Image1_MouseUp, this, &MapView::Image1_MouseUp);
    connect(m_image, &Image1Widget::Image1_DragLost, this, &MapView::Image1_DragLost);
    connect(m_frame, &Frame1Widget::Frame1_MouseUp, this, &MapView::Frame1_MouseUp);
    connect(m_frame, &Frame1Widget::Frame1_MouseMove, this, &MapView::Frame1_MouseMove);
    connect(m_frame, &Frame1Widget::navigationRequested, this, &MapView::navigationRequested);
    m_image->hide(); // until a picture is loaded

    m_label = new QLabel(m_frame);
    m_label->setObjectName(QStringLiteral("Label1"));
    QFont font(QStringLiteral("Sans Serif"), 12);
    font.setStyleHint(QFont::SansSerif);
    font.setBold(true);
    m_label->setFont(font);
    m_label->setAutoFillBackground(true);
    // The readout sits over the map; presses there still reach the map beneath it.
    m_label->setAttribute(Qt::WA_TransparentForMouseEvents);
    m_label->setGeometry(m_twips.toPixels(LabelLeft, LabelTop, LabelWidth, LabelHeight));
    m_label->raise();

    m_hbar = new QScrollBar(Qt::Horizontal, client);
    m_hbar->setObjectName(QStringLiteral("HScroll1"));
    m_vbar = new QScrollBar(Qt::Vertical, client);
    m_vbar->setObjectName(QStringLiteral("VScroll1"));
    for (QScrollBar* bar : {m_hbar.data(), m_vbar.data()}) {
        bar->setRange(ScrollBarModel::Min, ScrollBarModel::Max);
        bar->setSingleStep(ScrollBarModel::SmallChange);
        // A dragged thumb changes the position only when it is released.
        bar->setTracking(false);
    }
    connect(m_hbar, &QScrollBar::valueChanged, this, [this](int v) { userScrolled(m_model.HScroll1(), v); });
    connect(m_vbar, &QScrollBar::valueChanged, this, [this](int v) { userScrolled(m_model.VScroll1(), v); });

    m_frame->show();
    m_label->show();
    m_hbar->show();
    m_vbar->show();
    m_clientId = client;
    m_frameId = m_frame.data();
    m_imageId = m_image.data();
    client->installEventFilter(this);
    // The first paint of the viewport or the map, whichever Qt paints, ends the refit period.
    m_frame->installEventFilter(this);
    m_image->installEventFilter(this);
}

MapView::~MapView()
{
    if (m_client)
        m_client->removeEventFilter(this);
    if (m_frame)
        m_frame->removeEventFilter(this);
    if (m_image)
        m_image->removeEventFilter(this);
    delete m_hbar.data();
    delete m_vbar.data();
    delete m_frame.data(); // with Image1 and Label1
}

bool MapView::clientSizeKnown() const
{
    return m_client && m_client->isVisible() && !m_client->size().isEmpty();
}

ScreenFitLayout MapView::clientLayout() const
{
    // The client area has no title or menu bar in it: its height stands for the window height less them.
    const int32_t W = m_twips.wholeTwipsX(m_client->width());
    const int32_t H = m_twips.wholeTwipsY(m_client->height());
    return FitToScreenLayout(W, CheckedAdd32(H, CaptionAllowance));
}

void MapView::FitToScreen()
{
    m_twips = m_screen.twips();
    m_frame->setTwips(m_twips);
    m_label->setGeometry(m_twips.toPixels(LabelLeft, LabelTop, LabelWidth, LabelHeight));

    int32_t left = 0, top = 0, W = 0, H = 0;
    GetWorkArea(m_screen, left, top, W, H, 1);
    applyLayout(clientSizeKnown() ? clientLayout() : FitToScreenLayout(W, H));
    m_laidOut = true;
    sync();
}

void MapView::applyLayout(const ScreenFitLayout& l)
{
    // Nothing is ever laid out with a negative size; the viewport keeps at least a twip so that a fit
    // still gives a positive zoom factor.
    const int32_t frameW = std::max(0, l.FrameWidth), frameH = std::max(0, l.FrameHeight);
    m_frame->setGeometry(m_twips.toPixels(FrameLeft, FrameTop, frameW, frameH));
    m_vbar->setGeometry(
        m_twips.toPixels(l.VScrollLeft, FrameTop, BarThickness, std::max(0, l.VScrollHeight)));
    m_hbar->setGeometry(m_twips.toPixels(FrameLeft, l.HScrollTop, std::max(0, l.HScrollWidth), BarThickness));
    m_model.setFrameSize(float(std::max(1, frameW)), float(std::max(1, frameH)));
}

void MapView::loadPicture(MapPicturePtr picture)
{
    const QSize px = picture ? picture->naturalSize() : QSize();
    m_image->setPicture(std::move(picture));
    m_model.loadNaturalSize(double(m_twips.perPixelX()) * px.width(),
                            double(m_twips.perPixelY()) * px.height());
    m_refitOnResize = true;
    sync();
}

void MapView::ZoomIn()
{
    m_refitOnResize = false;
    m_model.ZoomIn();
    sync();
}

void MapView::ZoomOut()
{
    m_refitOnResize = false;
    m_model.ZoomOut();
    sync();
}

void MapView::ZoomToFit()
{
    m_model.ZoomToFit();
    sync();
    m_image->update(); // Refresh
}

void MapView::scrollBy(Qt::Orientation orientation, int steps, bool page)
{
    ScrollBarModel& bar = orientation == Qt::Horizontal ? m_model.HScroll1() : m_model.VScroll1();
    if (!bar.Visible() || !m_image->picture())
        return;
    const int by = page ? steps * int(bar.LargeChange()) : steps * int(ScrollBarModel::SmallChange);
    const int to = std::clamp(int(bar.Value()) + by, int(ScrollBarModel::Min), int(ScrollBarModel::Max));
    userScrolled(bar, to);
}

void MapView::focusMap()
{
    if (m_frame)
        m_frame->setFocus(Qt::OtherFocusReason);
}

QPoint MapView::popUpPoint() const
{
    // The centre of the viewport, where the user's eye is on the map.
    return m_frame ? m_frame->mapToGlobal(m_frame->rect().center()) : QPoint();
}

void MapView::userScrolled(ScrollBarModel& bar, int value)
{
    if (m_syncing)
        return;
    m_refitOnResize = false;
    bar.setValue(int16_t(value));
    sync();
}

void MapView::followClientResize()
{
    if (!m_laidOut || !clientSizeKnown())
        return;
    applyLayout(clientLayout());
    if (m_image->picture()) {
        if (m_refitOnResize) {
            m_model.ZoomToFit();
        } else {
            // The zoom stays; the bars are laid out for the new viewport and each shown bar's position
            // places the image again.
            m_model.LayoutScrollBars();
            if (m_model.HScroll1().Visible())
                m_model.HScroll1_Change();
            if (m_model.VScroll1().Visible())
                m_model.VScroll1_Change();
            m_model.ShowViewReadout();
        }
    }
    sync();
}

bool MapView::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == m_clientId && (event->type() == QEvent::Resize || event->type() == QEvent::Show))
        followClientResize();
    else if ((watched == m_frameId || watched == m_imageId) && event->type() == QEvent::Paint &&
             m_image->picture())
        m_refitOnResize = false; // the user has seen the map at its zoom

    return QObject::eventFilter(watched, event);
}

void MapView::sync()
{
    if (!m_frame)
        return;
    m_syncing = true;
    const ImageGeometry& g = m_model.image();
    m_image->setPlacement(m_twips.toPixelsF(g.Left(), g.Top(), g.Width(), g.Height()), m_twips);
    m_image->setVisible(g.Visible && m_image->picture() != nullptr);
    m_label->setText(m_model.Label1Caption());
    const auto showBar = [](QScrollBar* w, const ScrollBarModel& m) {
        const QSignalBlocker block(w);
        w->setPageStep(m.LargeChange());
        w->setValue(m.Value());
        w->setVisible(m.Visible());
    };
    showBar(m_hbar, m_model.HScroll1());
    showBar(m_vbar, m_model.VScroll1());
    m_syncing = false;
}
