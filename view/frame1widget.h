#pragma once

#include "twips.h"
#include "viewnavigation.h"

#include <QFrame>

// Frame1: the borderless viewport that clips Image1; releases and moves over its uncovered area are
// reported in twips relative to the frame. It takes the keyboard focus (by Tab or a click on the map) and
// the wheel over the map, and passes on what they ask of the view.
class Frame1Widget : public QFrame
{
    Q_OBJECT
public:
    explicit Frame1Widget(QWidget* parent);
    void setTwips(TwipsMapping twips) { m_twips = twips; }

signals:
    void Frame1_MouseUp(int Button, int Shift, float X, float Y);
    void Frame1_MouseMove(int Button, int Shift, float X, float Y);
    void navigationRequested(const ViewNavigation& navigation);

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    TwipsMapping m_twips;
    WheelNotches m_wheel;
};
