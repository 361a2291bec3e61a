#include "checkedmath.h"

#include <cmath>
#include <limits>

double RoundHalfEven(double v)
{
    // nearbyint follows the current rounding mode; the program never leaves round-to-nearest-even.
    return std::nearbyint(v);
}

namespace
{
template <class I> I roundInto(double v)
{
    const double r = RoundHalfEven(v);
    if (!(r >= double(std::numeric_limits<I>::min()) && r <= double(std::numeric_limits<I>::max())))
        throw OverflowError("overflow");
    return static_cast<I>(r);
}
} // namespace

int32_t RoundToInt32(double v)
{
    return roundInto<int32_t>(v);
}

int16_t RoundToInt16(double v)
{
    return roundInto<int16_t>(v);
}

int32_t CheckedSub32(int32_t a, int32_t b)
{
    int32_t r;
    if (__builtin_sub_overflow(a, b, &r))
        throw OverflowError("overflow");
    return r;
}

int32_t CheckedAdd32(int32_t a, int32_t b)
{
    int32_t r;
    if (__builtin_add_overflow(a, b, &r))
        throw OverflowError("overflow");
    return r;
}

double PixelDistance(int32_t X1, int32_t X2, int32_t Y1, int32_t Y2)
{
    const double dx = CheckedSub32(X1, X2);
    const double dy = CheckedSub32(Y1, Y2);
    return std::sqrt(dx * dx + dy * dy);
}

bool isPositiveNumber(double v)
{
    return std::isfinite(v) && v > 0.0;
}
