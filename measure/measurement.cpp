#include "measurement.h"

#include "checkedmath.h"
#include "numbertext.h"

namespace
{
constexpr int LeftButton = 1;

const QString PromptTitle = QStringLiteral("Calibration Procedure");

int32_t rounded(float v)
{
    return RoundToInt32(double(v));
}

bool usable(const ScaleFactors& f)
{
    return isPositiveNumber(double(f.CalFactor())) && isPositiveNumber(f.UnitFactor());
}

// Mean of `count` consecutive entries from `first`: the sum first, then one division; each coordinate is
// then held in single precision.
template <class Entries> void meanOf(const Entries& entries, int first, int count, float& x, float& y)
{
    double sx = 0.0;
    double sy = 0.0;
    for (int i = first; i < first + count; ++i) {
        sx += entries[i].X;
        sy += entries[i].Y;
    }
    x = float(sx / count);
    y = float(sy / count);
}
} // namespace

MeasureOutcome Measurement::calibrate(const ScaleFactors& factors)
{
    m_Tracing = false;
    m_calPressDown = false;
    m_Calibrated = false;
    MeasureOutcome out;
    // A record from the settings store is taken as stored; a calibration distance or unit factor that is
    // not a positive number would make the meters divide by zero or show nonsense, so no calibration starts.
    m_Calibrating = usable(factors);
    if (!m_Calibrating) {
        const QString why =
            isPositiveNumber(double(factors.CalFactor()))
                ? QStringLiteral(
                      "The size of the secondary unit is not a positive number, so the meters "
                      "cannot count.\rPlease choose the two units again under Tools, Scale Factors.")
                : QStringLiteral("The calibration distance is not a positive number, so the map cannot be "
                                 "calibrated.\rPlease enter the distance again under Tools, Scale Factors.");
        out.prompts.append({QStringLiteral("Calibration Refused"), why, MessageIcon::Warning});
        return out;
    }
    const QChar cr(13);
    out.prompts.append({PromptTitle,
                        QStringLiteral("Zoom in, then click & drag from one point to another ") + cr +
                            GeneralNumber(factors.CalFactor(), UserDecimalPoint()) + QLatin1Char(' ') +
                            factors.Abbrev() + QStringLiteral(" away (eg between gridlines), then release") +
                            cr + cr +
                            QStringLiteral("HINT: only the position of the two end points is important"),
                        MessageIcon::Information});
    out.calibrationPrompted = true;
    return out;
}

MeasureOutcome Measurement::Reset()
{
    m_RouteLength = 0.0;
    m_SampleCount = 0;
    MeasureOutcome out;
    out.readouts = TripMeterTexts{QStringLiteral("0.000"), QStringLiteral("0.000"), QStringLiteral("0")};
    return out;
}

double Measurement::measureTo(float px, float py, float zoom)
{
    const int32_t x = rounded(px);
    const int32_t y = rounded(py);
    // The window keeps the zoom positive; should it ever not be, nothing is measured rather than infinity.
    const double segment =
        isPositiveNumber(double(zoom)) ? PixelDistance(m_LastX, x, m_LastY, y) / double(zoom) : 0.0;
    m_RouteLength += segment;
    m_LastX = x;
    m_LastY = y;
    return segment;
}

TripMeterTexts Measurement::UpdateTripMeters(float X, float Y, bool Final, const MeasureContext& context)
{
    double segment = 0.0;
    float sx = 0.0f;
    float sy = 0.0f;
    if (!Final) {
        const int16_t k = m_SampleCount;
        if (k < MaxSampleCount)
            m_SampleCount = int16_t(k + 1);
        const SamplePoint sample{double(X), double(Y)};
        if (k < 4) {
            m_RecentSamples[k] = sample;
        } else {
            m_RecentSamples[0] = m_RecentSamples[1];
            m_RecentSamples[1] = m_RecentSamples[2];
            m_RecentSamples[2] = m_RecentSamples[3];
            m_RecentSamples[3] = sample;
        }
        meanOf(m_RecentSamples, 0, k < 4 ? k + 1 : 4, sx, sy);
        segment = measureTo(sx, sy, context.ZoomFactor);
    } else {
        // The tail: the average runs out over the last samples and ends exactly at the last one.
        const int16_t n = m_SampleCount;
        const int last = n >= 4 ? 3 : n - 1; // index of the newest entry
        for (int count = MinOf(int(n), 4) - 1; count >= 1; --count) {
            meanOf(m_RecentSamples, last - count + 1, count, sx, sy);
            segment = measureTo(sx, sy, context.ZoomFactor);
        }
    }
    return TripMeterReadout::refresh(segment, m_RouteLength, m_UnitLength, context.factors.UnitFactor(),
                                     m_SampleCount, UserDecimalPoint());
}

MeasureOutcome Measurement::endDrag(const MeasureContext& context)
{
    MeasureOutcome out;
    m_calPressDown = false;
    if (m_Tracing) {
        out.readouts = UpdateTripMeters(0.0f, 0.0f, true, context);
        m_Tracing = false;
    }
    return out;
}

MeasureOutcome Measurement::Image1_MouseDown(int Button, float X, float Y, const MeasureContext& context)
{
    MeasureOutcome out;
    if (Button != LeftButton)
        return out;
    if (leftDragInProgress())
        endDrag(context); // the last drag's release was missed: it ends before this one begins
    if (m_Calibrating) {
        m_CalStartX = rounded(X);
        m_CalStartY = rounded(Y);
        m_calPressDown = true;
    } else if (m_Calibrated) {
        m_LastX = rounded(X);
        m_LastY = rounded(Y);
        m_SampleCount = 0;
        m_Tracing = true;
        out.readouts = UpdateTripMeters(X, Y, false, context);
    } else {
        out = calibrate(context.factors); // the press itself is not recorded: the drag starts with the next
    }
    return out;
}

MeasureOutcome Measurement::Image1_MouseMove(int Button, float X, float Y, const MeasureContext& context)
{
    MeasureOutcome out;
    if (Button == LeftButton && m_Tracing) {
        out.readouts = UpdateTripMeters(X, Y, false, context);
    } else if (!(Button & LeftButton) && leftDragInProgress()) {
        out = endDrag(context); // the left button is up, its release went elsewhere
    }
    return out;
}

MeasureOutcome Measurement::Image1_MouseUp(int Button, float X, float Y, const MeasureContext& context)
{
    MeasureOutcome out;
    if (Button != LeftButton) {
        out = endDrag(context); // the pop-up takes the pointer: the left release will go to it
        out.popUp = true;
        return out;
    }
    if (m_Calibrating) {
        if (!m_calPressDown)
            return out; // not the end of this calibration's drag
        m_calPressDown = false;
        m_CalEndX = rounded(X);
        m_CalEndY = rounded(Y);
        if (!usable(context.factors))
            return calibrate(context.factors); // the record changed since the prompt: refused with a message
        const double divisor = double(context.ZoomFactor) * double(context.factors.CalFactor());
        if (!isPositiveNumber(divisor))
            return out; // no positive zoom: nothing sound to measure against
        m_UnitLength = PixelDistance(m_CalEndX, m_CalStartX, m_CalEndY, m_CalStartY) / divisor;
        if (m_UnitLength == 0.0) {
            out.prompts.append({QStringLiteral("Calibration Void"),
                                QStringLiteral("Calibration distance must not be zero - please re-calibrate"),
                                MessageIcon::Warning});
            const MeasureOutcome again = calibrate(context.factors);
            out.prompts += again.prompts;
            out.calibrationPrompted = again.calibrationPrompted;
        } else {
            m_Calibrating = false;
            m_Calibrated = true;
            out = Reset();
            out.prompts.append({PromptTitle, QStringLiteral("Now you can click & drag to measure distances"),
                                MessageIcon::Information});
        }
    } else if (m_Tracing) {
        out.readouts = UpdateTripMeters(X, Y, true, context);
        m_Tracing = false;
    }
    return out;
}
