#include "frame1widget.h"

#include "image1widget.h"
#include "pointersink.h"

#include <QMouseEvent>

Frame1Widget::Frame1Widget(QWidget* parent, PointerSink* sink) : QFrame(parent), m_sink(sink)
{
    setObjectName(QStringLiteral("Frame1"));
    setFrameShape(QFrame::NoFrame);
    setAutoFillBackground(true);
}

void Frame1Widget::setTwipsPerPixel(float x, float y)
{
    m_tppX = x;
    m_tppY = y;
}

// Taking the press keeps the release on this frame, which is where the measuring code expects it.
void Frame1Widget::mousePressEvent(QMouseEvent* event)
{
    event->accept();
}

void Frame1Widget::mouseMoveEvent(QMouseEvent* event)
{
    if (m_sink)
        m_sink->Frame1_MouseMove(PointerButtonCode(event->buttons()), PointerShiftCode(event->modifiers()),
                                 float(event->position().x() * m_tppX),
                                 float(event->position().y() * m_tppY));
}

void Frame1Widget::mouseReleaseEvent(QMouseEvent* event)
{
    if (m_sink)
        m_sink->Frame1_MouseUp(PointerButtonCode(event->button()), PointerShiftCode(event->modifiers()),
                               float(event->position().x() * m_tppX), float(event->position().y() * m_tppY));
}
