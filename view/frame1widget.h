#pragma once

#include "twips.h"

#include <QFrame>

// Frame1: the borderless viewport that clips Image1; releases and moves over its uncovered area are
// reported in twips relative to the frame.
class Frame1Widget : public QFrame
{
    Q_OBJECT
public:
    explicit Frame1Widget(QWidget* parent);
    void setTwips(TwipsMapping twips) { m_twips = twips; }

signals:
    void Frame1_MouseUp(int Button, int Shift, float X, float Y);
    void Frame1_MouseMove(int Button, int Shift, float X, float Y);

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    TwipsMapping m_twips;
};
