#include "twips.h"

#include "checkedmath.h"

#include <algorithm>

namespace
{
constexpr double TwipsPerInch = 1440.0;

float perPixel(double dpi)
{
    return float(TwipsPerInch / (dpi > 0 ? dpi : 96.0));
}

int edge(double twips, float perPixel)
{
    return int(RoundHalfEven(twips / perPixel));
}
} // namespace

TwipsMapping TwipsMapping::forDpi(double dpiX, double dpiY)
{
    return TwipsMapping(perPixel(dpiX), perPixel(dpiY));
}

TwipsMapping TwipsMapping::scaled(double fx, double fy) const
{
    return TwipsMapping(float(m_x / fx), float(m_y / fy));
}

int32_t TwipsMapping::wholeTwipsX(int pixels) const
{
    return RoundToInt32(double(m_x) * pixels);
}

int32_t TwipsMapping::wholeTwipsY(int pixels) const
{
    return RoundToInt32(double(m_y) * pixels);
}

QRect TwipsMapping::toPixels(double left, double top, double width, double height) const
{
    const int x0 = edge(left, m_x), x1 = edge(left + width, m_x);
    const int y0 = edge(top, m_y), y1 = edge(top + height, m_y);
    return QRect(x0, y0, std::max(0, x1 - x0), std::max(0, y1 - y0));
}
