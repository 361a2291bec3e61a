#include "viewnavigation.h"

ViewNavigation NavigationForKey(int key, Qt::KeyboardModifiers modifiers)
{
    // Keys with Ctrl or Alt belong to the menus' shortcuts.
    if (modifiers & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier))
        return {};
    switch (key) {
    case Qt::Key_Left:
        return {ViewNavigation::Scroll, Qt::Horizontal, -1, false};
    case Qt::Key_Right:
        return {ViewNavigation::Scroll, Qt::Horizontal, 1, false};
    case Qt::Key_Up:
        return {ViewNavigation::Scroll, Qt::Vertical, -1, false};
    case Qt::Key_Down:
        return {ViewNavigation::Scroll, Qt::Vertical, 1, false};
    case Qt::Key_PageUp:
        return {ViewNavigation::Scroll, Qt::Vertical, -1, true};
    case Qt::Key_PageDown:
        return {ViewNavigation::Scroll, Qt::Vertical, 1, true};
    default:
        return {};
    }
}

ViewNavigation WheelNotches::turn(QPoint angleDelta, Qt::KeyboardModifiers modifiers, int linesPerNotch)
{
    // Shift turns the wheel's vertical turn into a horizontal one, as in most desktop programs.
    int dx = angleDelta.x(), dy = angleDelta.y();
    if ((modifiers & Qt::ShiftModifier) && dx == 0) {
        dx = dy;
        dy = 0;
    }
    // A turn the other way drops what was left of a notch in the first direction.
    if ((dx < 0) != (m_x < 0))
        m_x = 0;
    if ((dy < 0) != (m_y < 0))
        m_y = 0;
    m_x += dx;
    m_y += dy;
    const int notchesX = m_x / Notch, notchesY = m_y / Notch;
    m_x -= notchesX * Notch;
    m_y -= notchesY * Notch;

    if (modifiers & Qt::ControlModifier) {
        // One zoom command a call, whatever the turn: each runs as the menu command does.
        const int notches = notchesY != 0 ? notchesY : notchesX;
        if (notches == 0)
            return {};
        return {notches > 0 ? ViewNavigation::ZoomIn : ViewNavigation::ZoomOut, Qt::Vertical, 0, false};
    }
    // The wheel turned away from the user (a positive delta) shows what lies above or to the left.
    if (notchesY != 0)
        return {ViewNavigation::Scroll, Qt::Vertical, -notchesY * linesPerNotch, false};
    if (notchesX != 0)
        return {ViewNavigation::Scroll, Qt::Horizontal, -notchesX * linesPerNotch, false};
    return {};
}
