#pragma once

#include <QPoint>
#include <Qt>

// What a key or a turn of the wheel over the map asks of the view. The main window decides whether it
// may happen now (never during a drag) and runs it.
struct ViewNavigation {
    enum Kind { None, ZoomIn, ZoomOut, Scroll };
    Kind kind = None;
    Qt::Orientation orientation = Qt::Vertical;
    int steps = 0;     // bar positions, signed: positive moves towards the bar's maximum (down, right)
    bool page = false; // steps count the bar's page size (LargeChange) instead of single positions

    friend bool operator==(const ViewNavigation&, const ViewNavigation&) = default;
};

// The arrow keys move a bar by one position, Page Up and Page Down by a page; other keys ask nothing.
ViewNavigation NavigationForKey(int key, Qt::KeyboardModifiers modifiers);

// Turns of the wheel, collected until they make whole notches (a fine-grained wheel or a touchpad sends
// fractions of one). A notch scrolls the vertical bar by linesPerNotch positions, with Shift (or a tilt
// of the wheel) the horizontal bar; with Ctrl it is one Zoom In (away from the user) or Zoom Out.
class WheelNotches
{
public:
    static constexpr int Notch = 120; // Qt's angle delta of one notch, eighths of a degree

    ViewNavigation turn(QPoint angleDelta, Qt::KeyboardModifiers modifiers, int linesPerNotch);

private:
    int m_x = 0, m_y = 0; // what is left over of a notch
};
