#pragma once

#include <QFrame>

class PointerSink;

// Frame1: the borderless viewport that clips Image1; releases and moves over its uncovered area go to the
// Frame1 handlers, positions in twips relative to the frame.
class Frame1Widget : public QFrame
{
    Q_OBJECT
public:
    Frame1Widget(QWidget* parent, PointerSink* sink);
    void setTwipsPerPixel(float x, float y);

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    PointerSink* m_sink;
    float m_tppX = 15, m_tppY = 15;
};
