#include "tripmeterreadout.h"

#include "checkedmath.h"

#include <cmath>

namespace
{
// A meter value is shown only when it is a finite number not below zero.
QString meterText(double value, ReadoutFormat format, const QString& sep)
{
    if (!std::isfinite(value) || value < 0.0)
        return TripMeterReadout::NoValue;
    return FormatReadout(value, format, sep);
}
} // namespace

ReadoutFormat TripMeterReadout::formatFor(double t)
{
    if (t > 0.7)
        return ReadoutFormat::Whole;
    if (t > 0.07)
        return ReadoutFormat::Tenths;
    if (t > 0.007)
        return ReadoutFormat::Hundredths;
    return ReadoutFormat::Thousandths;
}

double TripMeterReadout::secondaryValue(double RouteLength, double UnitLength, double UnitFactor)
{
    return std::trunc((RouteLength * 1000.0) / (UnitLength * UnitFactor)) * 0.001;
}

TripMeterTexts TripMeterReadout::refresh(double segment, double RouteLength, double UnitLength,
                                         double UnitFactor, int16_t SampleCount, const QString& sep)
{
    TripMeterTexts texts;
    if (isPositiveNumber(UnitLength)) {
        const double t1 = segment / UnitLength; // primary units
        texts.Text7 = meterText(RouteLength / UnitLength, formatFor(t1), sep);
        if (isPositiveNumber(UnitFactor)) {
            const double t2 = t1 / UnitFactor; // secondary units
            texts.Text8 = meterText(secondaryValue(RouteLength, UnitLength, UnitFactor), formatFor(t2), sep);
        } else {
            texts.Text8 = NoValue;
        }
    } else {
        texts.Text7 = NoValue;
        texts.Text8 = NoValue;
    }
    texts.Text5 = QString::number(SampleCount);
    return texts;
}
