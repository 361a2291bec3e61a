#pragma once

#include "measurehost.h"
#include "recordingmessageboxes.h"

// Stands in for the main window: a settable zoom and record, message boxes answered at once, and the
// readout texts and pop-up requests kept for the test to read.
class FakeMeasureHost : public MeasureHost
{
public:
    float ZoomFactor() const override { return zoom; }
    const ScaleFactors& CurrentFactors() const override { return factors; }
    MessageBoxes& messageBoxes() override { return boxes; }
    void setReadouts(const QString& t7, const QString& t8, const QString& t5) override
    {
        Text7 = t7;
        Text8 = t8;
        Text5 = t5;
        ++readoutWrites;
    }
    void showPopUp() override { ++popUps; }
    void calibrationPromptClosed() override { ++promptsClosed; }

    float zoom = 1.0f;
    ScaleFactors factors = ScaleFactors::builtInDefaults();
    RecordingMessageBoxes boxes;
    QString Text7 = QStringLiteral("0.000"); // a new window's texts
    QString Text8 = QStringLiteral("0.000");
    QString Text5 = QStringLiteral("Text5");
    int readoutWrites = 0;
    int popUps = 0;
    int promptsClosed = 0;
};
