#pragma once

#include "numbertext.h"

#include <QString>
#include <cstdint>

// The texts of one readout refresh.
struct TripMeterTexts {
    QString Text7; // primary distance
    QString Text8; // secondary distance
    QString Text5; // the stroke's sample count (hidden diagnostics field)
};

// The trip meter readouts: route length in the primary and the secondary unit, with none to three decimals
// chosen by the length of the latest segment, so that a slow trace shows thousandths and a fast sweep
// whole units. A pure function of its inputs; constant work per call.
class TripMeterReadout
{
public:
    // Shown in a meter whose value cannot be computed from the inputs (a unit length or unit factor that
    // is not a positive number): never "inf", "nan" or a negative number.
    static inline const QString NoValue = QStringLiteral("    ---");

    // The format for a step of t meter units; every comparison is strict (0.7 itself gives tenths).
    static ReadoutFormat formatFor(double t);

    // segment: the last segment added, unzoomed view units (0 when none was);
    // RouteLength: unzoomed view units; UnitLength: unzoomed view units per primary unit;
    // UnitFactor: size of one secondary unit in primary units; sep: the decimal separator to show.
    static TripMeterTexts refresh(double segment, double RouteLength, double UnitLength, double UnitFactor,
                                  int16_t SampleCount, const QString& sep);

    // The secondary value: route length in secondary units, cut (not rounded) to thousandths.
    static double secondaryValue(double RouteLength, double UnitLength, double UnitFactor);
};
