#pragma once

#include <QPointF>
#include <QRect>
#include <QRectF>
#include <cstdint>

// The one mapping between twips (1440 to the inch) and logical pixels, for every window and widget.
// Pointer positions go to twips with their sub-pixel part; layout rectangles go to whole pixels with each
// edge rounded half to even, so that rectangles adjoining in twips adjoin in pixels.
class TwipsMapping
{
public:
    TwipsMapping() = default; // 96 logical dots to the inch
    TwipsMapping(float perPixelX, float perPixelY) : m_x(perPixelX), m_y(perPixelY) {}
    // 1440 / dpi twips per pixel; a screen that reports no resolution counts as 96 dots to the inch.
    static TwipsMapping forDpi(double dpiX, double dpiY);

    float perPixelX() const { return m_x; }
    float perPixelY() const { return m_y; }
    // The same mapping with each twip drawn `fx`, `fy` times as large (a layout scaled with its font).
    TwipsMapping scaled(double fx, double fy) const;

    QPointF toTwips(const QPointF& pixels) const { return {pixels.x() * m_x, pixels.y() * m_y}; }
    // Whole pixels to whole twips, half to even (OverflowError past 32 bits).
    int32_t wholeTwipsX(int pixels) const;
    int32_t wholeTwipsY(int pixels) const;
    QRectF toPixelsF(double left, double top, double width, double height) const
    {
        return {left / m_x, top / m_y, width / m_x, height / m_y};
    }
    QRect toPixels(double left, double top, double width, double height) const;

private:
    float m_x = 15.0f;
    float m_y = 15.0f;
};
