#include "frame1widget.h"

#include "image1widget.h"

#include <QApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QWheelEvent>

Frame1Widget::Frame1Widget(QWidget* parent) : QFrame(parent)
{
    setObjectName(QStringLiteral("Frame1"));
    setFrameShape(QFrame::NoFrame);
    setAutoFillBackground(true);
    setFocusPolicy(Qt::StrongFocus);
    setAccessibleName(QStringLiteral("Map view"));
}

// Taking the press keeps the release on this frame, which is where the measuring code expects it.
void Frame1Widget::mousePressEvent(QMouseEvent* event)
{
    event->accept();
}

void Frame1Widget::mouseMoveEvent(QMouseEvent* event)
{
    const QPointF t = m_twips.toTwips(event->position());
    emit Frame1_MouseMove(PointerButtonCode(event->buttons()), PointerShiftCode(event->modifiers()), float(t.x()),
                          float(t.y()));
}

void Frame1Widget::mouseReleaseEvent(QMouseEvent* event)
{
    const QPointF t = m_twips.toTwips(event->position());
    emit Frame1_MouseUp(PointerButtonCode(event->button()), PointerShiftCode(event->modifiers()), float(t.x()),
                        float(t.y()));
}

void Frame1Widget::wheelEvent(QWheelEvent* event)
{
    const ViewNavigation n = m_wheel.turn(event->angleDelta(), event->modifiers(), QApplication::wheelScrollLines());
    if (n.kind != ViewNavigation::None)
        emit navigationRequested(n);
    event->accept();
}

void Frame1Widget::keyPressEvent(QKeyEvent* event)
{
    const ViewNavigation n = NavigationForKey(event->key(), event->modifiers());
    if (n.kind == ViewNavigation::None) {
        QFrame::keyPressEvent(event);
        return;
    }
    emit navigationRequested(n);
    event->accept();
}
