#include "frame1widget.h"

#include "image1widget.h"

#include <QMouseEvent>

Frame1Widget::Frame1Widget(QWidget* parent) : QFrame(parent)
{
    setObjectName(QStringLiteral("Frame1"));
    setFrameShape(QFrame::NoFrame);
    setAutoFillBackground(true);
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
