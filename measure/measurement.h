#pragma once

#include "measurehost.h"

#include <QString>
#include <array>
#include <cstdint>

// One raw pointer sample of a stroke, view units (twips relative to Image1).
struct SamplePoint {
    double X = 0.0;
    double Y = 0.0;
};

// The program's own texts for calibration.
namespace CalibrationText
{
inline const QString PromptTitle = QStringLiteral("Calibration Procedure");
inline const QString PromptLead = QStringLiteral("Zoom in, then click & drag from one point to another ");
inline const QString PromptAway = QStringLiteral(" away (eg between gridlines), then release");
inline const QString PromptHint =
    QStringLiteral("HINT: only the position of the two end points is important");
inline const QString VoidTitle = QStringLiteral("Calibration Void");
inline const QString VoidText = QStringLiteral("Calibration distance must not be zero - please re-calibrate");
inline const QString DoneText = QStringLiteral("Now you can click & drag to measure distances");
inline const QString RefusedTitle = QStringLiteral("Calibration Refused");
inline const QString RefusedCalFactorText =
    QStringLiteral("The calibration distance is not a positive number, so the map cannot be calibrated.\r"
                   "Please enter the distance again under Tools, Scale Factors.");
inline const QString RefusedUnitFactorText =
    QStringLiteral("The size of the secondary unit is not a positive number, so the meters cannot count.\r"
                   "Please choose the two units again under Tools, Scale Factors.");
} // namespace CalibrationText

// The measurement fields of the main window and their procedures: calibration from one drag, route tracing
// with a four-sample moving average, and the trip meter refresh after every sample. It outlives the
// window's widgets: one object lives as long as the main window form and keeps its fields across maps.
//
// Lengths are kept in unzoomed view units (a distance between pointer positions divided by the zoom at
// that moment), so a zoom change between calibration and tracing, or between strokes, changes nothing.
// Positions are stored rounded half to even; a position beyond 32 bits raises OverflowError.
class Measurement
{
public:
    explicit Measurement(MeasureHost& host);

    // Starts (or restarts) the calibration: state Awaiting calibration drag, then the modal prompt.
    // A record whose calibration distance or unit factor is not a positive number is refused here with
    // a message instead of the prompt, and the state becomes Uncalibrated.
    void calibrate();
    // Clears the route length and the readouts; the flags and the calibration stay as they are.
    void Reset();
    // Final false: (X, Y) is a new sample of the current stroke. Final true: closes the stroke through the
    // tail of the moving average. On return X, Y hold the last point measured. Ends with the readout refresh.
    void UpdateTripMeters(float& X, float& Y, bool& Final);

    // Button: 1 left, 2 right, 4 middle; for a move the held set as a sum. X, Y: twips relative to Image1.
    void Image1_MouseDown(int Button, int Shift, float X, float Y);
    void Image1_MouseMove(int Button, int Shift, float X, float Y);
    void Image1_MouseUp(int Button, int Shift, float X, float Y);

    // A stroke or a calibration drag is under way (the window refuses to zoom then: the positions already
    // stored are in the old zoom's view units).
    bool leftDragInProgress() const { return m_Tracing || m_calPressDown; }

    bool Calibrating() const { return m_Calibrating; }
    bool Tracing() const { return m_Tracing; }
    bool Calibrated() const { return m_Calibrated; }
    int32_t CalStartX() const { return m_CalStartX; }
    int32_t CalEndX() const { return m_CalEndX; }
    int32_t CalStartY() const { return m_CalStartY; }
    int32_t CalEndY() const { return m_CalEndY; }
    double UnitLength() const { return m_UnitLength; }   // unzoomed view units per primary unit
    double RouteLength() const { return m_RouteLength; } // unzoomed view units
    int32_t LastX() const { return m_LastX; }
    int32_t LastY() const { return m_LastY; }
    int16_t SampleCount() const { return m_SampleCount; }
    // Entries 1 to 4 of the stroke's latest raw samples, entry 1 the oldest, at indexes 0 to 3.
    const std::array<SamplePoint, 4>& RecentSamples() const { return m_RecentSamples; }

    // The prompt text for a calibration distance and unit abbreviation, with the user's decimal separator.
    static QString promptText(float CalFactor, const QString& Abbrev);

    // The count stops here rather than overflow; every count of 4 or more smooths alike.
    static constexpr int16_t MaxSampleCount = 32767;

private:
    double measureTo(float px, float py);
    void refreshReadouts(double segment);

    MeasureHost& m_host;

    bool m_Calibrating = false;
    bool m_Tracing = false;
    bool m_Calibrated = false;
    int32_t m_CalStartX = 0;
    int32_t m_CalEndX = 0;
    int32_t m_CalStartY = 0;
    int32_t m_CalEndY = 0;
    double m_UnitLength = 0.0;
    double m_RouteLength = 0.0;
    int32_t m_LastX = 0;
    int32_t m_LastY = 0;
    int16_t m_SampleCount = 0;
    std::array<SamplePoint, 4> m_RecentSamples{};

    // The left press of the current calibration was seen and its button is still down. Without it a left
    // release while calibrating (the release of the press that opened the prompt) is ignored.
    bool m_calPressDown = false;
};
