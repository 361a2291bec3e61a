#pragma once

#include <cstdint>
#include <stdexcept>
#include <type_traits>

// Small numeric helpers shared by every layer.

// Raised where 16- or 32-bit arithmetic would overflow: such a result is never silently wrapped.
class OverflowError : public std::overflow_error
{
public:
    using std::overflow_error::overflow_error;
};

// Nearest whole number, halves to the even neighbour (2.5 gives 2, 3.5 gives 4).
double RoundHalfEven(double v);

// RoundHalfEven into a 32-bit or 16-bit signed integer; OverflowError when out of range or not a number.
int32_t RoundToInt32(double v);
int16_t RoundToInt16(double v);

// Checked 32-bit signed arithmetic.
int32_t CheckedSub32(int32_t a, int32_t b);
int32_t CheckedAdd32(int32_t a, int32_t b);

// A finite number above zero: what a divisor, a zoom or a scale factor must be.
bool isPositiveNumber(double v);

// Straight-line distance between two whole-number points. Note the order: both X values, then both Y.
double PixelDistance(int32_t X1, int32_t X2, int32_t Y1, int32_t Y2);

// A copy of a unless b compares less than a; on a tie the result is a.
template <class A, class B> std::common_type_t<A, B> MinOf(const A& a, const B& b)
{
    using R = std::common_type_t<A, B>;
    return (b < a) ? R(b) : R(a);
}
