#include "image1widget.h"

#include "picturepainter.h"

#include <QApplication>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <cmath>

int PointerButtonCode(Qt::MouseButtons buttons)
{
    return (buttons.testFlag(Qt::LeftButton) ? 1 : 0) + (buttons.testFlag(Qt::RightButton) ? 2 : 0) +
           (buttons.testFlag(Qt::MiddleButton) ? 4 : 0);
}

int PointerShiftCode(Qt::KeyboardModifiers modifiers)
{
    return (modifiers.testFlag(Qt::ShiftModifier) ? 1 : 0) +
           (modifiers.testFlag(Qt::ControlModifier) ? 2 : 0) + (modifiers.testFlag(Qt::AltModifier) ? 4 : 0);
}

Image1Widget::Image1Widget(QWidget* frame) : QWidget(frame)
{
    setObjectName(QStringLiteral("Image1"));
    setAccessibleName(QStringLiteral("Map"));
    setCursor(Qt::CrossCursor);
    // Every pixel is painted from the picture, so nothing beneath needs drawing first.
    setAttribute(Qt::WA_OpaquePaintEvent);
}

Image1Widget::~Image1Widget()
{
    watchDrag(false);
}

void Image1Widget::setPicture(MapPicturePtr picture)
{
    m_picture = std::move(picture);
    update();
}

void Image1Widget::setPlacement(const QRectF& inFrame, TwipsMapping twips)
{
    m_twips = twips;
    if (inFrame == m_placement)
        return;
    m_placement = inFrame;
    const int x0 = int(std::floor(inFrame.left())), y0 = int(std::floor(inFrame.top()));
    const int x1 = int(std::ceil(inFrame.right())), y1 = int(std::ceil(inFrame.bottom()));
    const QRect g(x0, y0, std::max(0, x1 - x0), std::max(0, y1 - y0));
    if (g != geometry())
        setGeometry(g);
    update();
}

QPointF Image1Widget::toImageTwips(const QPointF& local) const
{
    // Through Frame1's pixels, so the sub-pixel offset of the image inside this widget counts.
    return m_twips.toTwips(local + QPointF(x(), y()) - m_placement.topLeft());
}

void Image1Widget::paintEvent(QPaintEvent* event)
{
    QPainter painter(this);
    const QRectF target = m_placement.translated(-x(), -y());
    // Where the picture does not reach (a fraction of a pixel at its edges), the frame's background shows.
    if (!target.contains(QRectF(event->rect())))
        painter.fillRect(event->rect(), palette().window());
    if (m_picture)
        PicturePainter::paint(painter, *m_picture, target, QRectF(event->rect()), devicePixelRatioF());
}

void Image1Widget::watchDrag(bool on)
{
    if (on == m_watching)
        return;
    m_watching = on;
    if (on)
        qApp->installEventFilter(this);
    else
        qApp->removeEventFilter(this);
}

bool Image1Widget::eventFilter(QObject* watched, QEvent* event)
{
    bool lost = false;
    switch (event->type()) {
    case QEvent::Show:
        if (watched->isWidgetType()) {
            const auto* w = static_cast<QWidget*>(watched);
            lost = w->isWindow() && (w->windowType() == Qt::Popup || w->isModal());
        }
        break;
    case QEvent::WindowBlocked:
        lost = watched == window();
        break;
    case QEvent::MouseMove:
        lost = !static_cast<QMouseEvent*>(event)->buttons().testFlag(Qt::LeftButton);
        break;
    case QEvent::MouseButtonRelease:
        // Widgets only: the window that carries the release to this one sees it first.
        lost = watched != this && watched->isWidgetType() &&
               static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton;
        break;
    default:
        break;
    }
    if (lost) {
        watchDrag(false);
        emit Image1_DragLost();
    }
    return false;
}

void Image1Widget::mousePressEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton)
        watchDrag(true);
    const QPointF t = toImageTwips(event->position());
    emit Image1_MouseDown(PointerButtonCode(event->button()), PointerShiftCode(event->modifiers()),
                          float(t.x()), float(t.y()));
}

void Image1Widget::mouseMoveEvent(QMouseEvent* event)
{
    const QPointF t = toImageTwips(event->position());
    emit Image1_MouseMove(PointerButtonCode(event->buttons()), PointerShiftCode(event->modifiers()),
                          float(t.x()), float(t.y()));
}

void Image1Widget::mouseReleaseEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton)
        watchDrag(false);
    const QPointF t = toImageTwips(event->position());
    emit Image1_MouseUp(PointerButtonCode(event->button()), PointerShiftCode(event->modifiers()),
                        float(t.x()), float(t.y()));
}
