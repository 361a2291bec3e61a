#include "measurement.h"

#include "module1.h"
#include "numbertext.h"
#include "tripmeterreadout.h"

#include <cmath>

namespace
{
constexpr int LeftButton = 1;

bool isPositiveNumber(double v)
{
    return std::isfinite(v) && v > 0.0;
}

int32_t rounded(float v)
{
    return RoundToInt32(double(v));
}

// Mean of `count` consecutive entries from `first`: the sum first, then one division; each coordinate is
// then held in single precision.
void meanOf(const std::array<SamplePoint, 4>& entries, int first, int count, float& x, float& y)
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

Measurement::Measurement(MeasureHost& host) : m_host(host) {}

QString Measurement::promptText(float CalFactor, const QString& Abbrev)
{
    const QChar cr(13);
    return CalibrationText::PromptLead + cr + GeneralNumber(CalFactor, UserDecimalPoint()) +
           QLatin1Char(' ') + Abbrev + CalibrationText::PromptAway + cr + cr + CalibrationText::PromptHint;
}

void Measurement::calibrate()
{
    m_Tracing = false;
    m_calPressDown = false;

    const ScaleFactors& factors = m_host.CurrentFactors();
    const float calFactor = factors.CalFactor();
    // A record from the settings store is taken as stored; a calibration distance or unit factor that is
    // not a positive number would make the meters divide by zero or show nonsense, so no calibration starts.
    if (!isPositiveNumber(double(calFactor)) || !isPositiveNumber(factors.UnitFactor())) {
        m_Calibrating = false;
        m_Calibrated = false;
        m_host.messageBoxes().show(CalibrationText::RefusedTitle,
                                   isPositiveNumber(double(calFactor))
                                       ? CalibrationText::RefusedUnitFactorText
                                       : CalibrationText::RefusedCalFactorText,
                                   MessageIcon::Warning);
        return;
    }

    m_Calibrating = true;
    m_Calibrated = false;
    m_host.messageBoxes().show(CalibrationText::PromptTitle, promptText(calFactor, factors.Abbrev()),
                               MessageIcon::Information);
    m_host.calibrationPromptClosed();
}

void Measurement::Reset()
{
    m_RouteLength = 0.0;
    m_SampleCount = 0;
    m_host.setReadouts(QStringLiteral("0.000"), QStringLiteral("0.000"), QStringLiteral("0"));
}

double Measurement::measureTo(float px, float py)
{
    const int32_t x = rounded(px);
    const int32_t y = rounded(py);
    const double zoom = double(m_host.ZoomFactor());
    // The window keeps the zoom positive; should it ever not be, nothing is measured rather than infinity.
    const double segment = isPositiveNumber(zoom) ? PixelDistance(m_LastX, x, m_LastY, y) / zoom : 0.0;
    m_RouteLength += segment;
    m_LastX = x;
    m_LastY = y;
    return segment;
}

void Measurement::refreshReadouts(double segment)
{
    const TripMeterTexts texts =
        TripMeterReadout::refresh(segment, m_RouteLength, m_UnitLength, m_host.CurrentFactors().UnitFactor(),
                                  m_SampleCount, UserDecimalPoint());
    m_host.setReadouts(texts.Text7, texts.Text8, texts.Text5);
}

void Measurement::UpdateTripMeters(float& X, float& Y, bool& Final)
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
        segment = measureTo(sx, sy);
    } else {
        // The tail: the average runs out over the last samples and ends exactly at the last one.
        const int16_t n = m_SampleCount;
        const int last = n >= 4 ? 3 : n - 1; // index of the newest entry
        for (int count = MinOf(int(n), 4) - 1; count >= 1; --count) {
            meanOf(m_RecentSamples, last - count + 1, count, sx, sy);
            segment = measureTo(sx, sy);
        }
    }
    X = float(m_LastX);
    Y = float(m_LastY);
    refreshReadouts(segment);
}

void Measurement::Image1_MouseDown(int Button, int /*Shift*/, float X, float Y)
{
    if (Button != LeftButton)
        return;
    if (m_Calibrating) {
        m_CalStartX = rounded(X);
        m_CalStartY = rounded(Y);
        m_calPressDown = true;
    } else if (m_Calibrated) {
        m_LastX = rounded(X);
        m_LastY = rounded(Y);
        m_SampleCount = 0;
        m_Tracing = true;
        bool final = false;
        UpdateTripMeters(X, Y, final);
    } else {
        calibrate(); // the press itself is not recorded: the drag starts with the next press
    }
}

void Measurement::Image1_MouseMove(int Button, int /*Shift*/, float X, float Y)
{
    if (Button == LeftButton && m_Tracing) {
        bool final = false;
        UpdateTripMeters(X, Y, final);
    }
}

void Measurement::Image1_MouseUp(int Button, int /*Shift*/, float X, float Y)
{
    if (Button != LeftButton) {
        m_host.showPopUp();
        return;
    }
    if (m_Calibrating) {
        if (!m_calPressDown)
            return; // not the end of this calibration's drag
        m_calPressDown = false;
        m_CalEndX = rounded(X);
        m_CalEndY = rounded(Y);
        const float calFactor = m_host.CurrentFactors().CalFactor();
        if (!isPositiveNumber(double(calFactor)) || !isPositiveNumber(m_host.CurrentFactors().UnitFactor())) {
            calibrate(); // the record changed since the prompt; calibrate refuses it with a message
            return;
        }
        const double divisor = double(m_host.ZoomFactor()) * double(calFactor);
        if (!isPositiveNumber(divisor))
            return; // no positive zoom: nothing sound to measure against
        m_UnitLength = PixelDistance(m_CalEndX, m_CalStartX, m_CalEndY, m_CalStartY) / divisor;
        if (m_UnitLength == 0.0) {
            m_host.messageBoxes().show(CalibrationText::VoidTitle, CalibrationText::VoidText,
                                       MessageIcon::Warning);
            calibrate();
        } else {
            m_Calibrating = false;
            m_Calibrated = true;
            Reset();
            m_host.messageBoxes().show(CalibrationText::PromptTitle, CalibrationText::DoneText,
                                       MessageIcon::Information);
        }
    } else if (m_Tracing) {
        bool final = true;
        UpdateTripMeters(X, Y, final);
        m_Tracing = false;
    }
}
