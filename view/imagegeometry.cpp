#include "imagegeometry.h"

#include "checkedmath.h"

float ImageGeometry::whole(double v)
{
    return float(RoundHalfEven(double(float(v))));
}
