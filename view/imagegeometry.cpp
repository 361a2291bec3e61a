#include "imagegeometry.h"

#include "module1.h"

float ImageGeometry::whole(double v)
{
    return float(RoundHalfEven(double(float(v))));
}
