#pragma once

#include "messageboxes.h"
#include "scalefactors.h"
#include "tripmeterreadout.h"

#include <QList>
#include <QString>
#include <array>
#include <cstdint>
#include <optional>

// What a measurement reads at the moment of use, never cached: the view's magnification (> 0) and the
// current scale factors.
struct MeasureContext {
    float ZoomFactor = 1.0f;
    const ScaleFactors& factors;
};

// A modal box the window raises for the measurement.
struct Prompt {
    QString title;
    QString text;
    MessageIcon icon = MessageIcon::Information;
};

// What the window shows after a pointer event or a command, in this order: the readouts, the prompts one
// after another, the pop-up menu.
struct MeasureOutcome {
    std::optional<TripMeterTexts> readouts;
    QList<Prompt> prompts;
    bool calibrationPrompted = false; // the calibration prompt is among the prompts: a calibration has begun
    bool popUp = false;
};

// Calibration from one drag, route tracing with a four-sample moving average, and the trip meter refresh
// after every sample. One object lives as long as the main window form and keeps its fields across maps;
// it never calls out: every call returns what the window is to show.
//
// Positions are twips relative to Image1 (single precision, sub-pixel). Lengths are kept in unzoomed view
// units (a distance between pointer positions divided by the zoom at that moment), so a zoom change between
// calibration and tracing, or between strokes, changes nothing. Positions are stored rounded half to even;
// a position beyond 32 bits raises OverflowError.
class Measurement
{
public:
    // Starts (or restarts) the calibration: state Awaiting calibration drag, then the prompt. A record
    // whose calibration distance or unit factor is not a positive number is refused instead, with a
    // message, and the state becomes Uncalibrated.
    MeasureOutcome calibrate(const ScaleFactors& factors);
    // Clears the route length and the readouts; the flags and the calibration stay as they are.
    MeasureOutcome Reset();

    // Button: 1 left, 2 right, 4 middle; for a move the held set as a sum.
    MeasureOutcome Image1_MouseDown(int Button, float X, float Y, const MeasureContext& context);
    MeasureOutcome Image1_MouseMove(int Button, float X, float Y, const MeasureContext& context);
    MeasureOutcome Image1_MouseUp(int Button, float X, float Y, const MeasureContext& context);

    // A stroke or a calibration drag is under way (the window refuses to zoom then: the positions already
    // stored are in the old zoom's view units).
    bool leftDragInProgress() const { return m_Tracing || m_calPressDown; }
    // The drag's release will never come: a menu or another window took the pointer, or the left button
    // was seen up without a release. A stroke is closed as a release would close it; a calibration drag
    // is dropped, and the calibration waits for a new one.
    MeasureOutcome endDrag(const MeasureContext& context);

    // The count stops here rather than overflow; every count of 4 or more smooths alike.
    static constexpr int16_t MaxSampleCount = 32767;

private:
    // Final false: (X, Y) is a new sample of the current stroke. Final true: closes the stroke through the
    // tail of the moving average; X and Y are not used.
    TripMeterTexts UpdateTripMeters(float X, float Y, bool Final, const MeasureContext& context);
    double measureTo(float px, float py, float zoom);

    struct SamplePoint {
        double X = 0.0;
        double Y = 0.0;
    };

    bool m_Calibrating = false;
    bool m_Tracing = false;
    bool m_Calibrated = false;
    int32_t m_CalStartX = 0;
    int32_t m_CalEndX = 0;
    int32_t m_CalStartY = 0;
    int32_t m_CalEndY = 0;
    double m_UnitLength = 0.0;  // unzoomed view units per primary unit
    double m_RouteLength = 0.0; // unzoomed view units
    int32_t m_LastX = 0;
    int32_t m_LastY = 0;
    int16_t m_SampleCount = 0;
    std::array<SamplePoint, 4> m_RecentSamples{}; // the stroke's latest raw samples, the oldest first

    // The left press of the current calibration was seen and its button is still down. Without it a left
    // release while calibrating (the release of the press that opened the prompt) is ignored.
    bool m_calPressDown = false;
};
