#pragma once

#include "messageboxes.h"
#include "scalefactors.h"

#include <QString>

// What the measurement needs from the window that shows the map and the trip meters.
class MeasureHost
{
public:
    virtual ~MeasureHost() = default;
    virtual float ZoomFactor() const = 0;                   // current view magnification, > 0
    virtual const ScaleFactors& CurrentFactors() const = 0; // read at the moment of use, never cached
    virtual MessageBoxes& messageBoxes() = 0;               // modal prompts
    virtual void setReadouts(const QString& Text7, const QString& Text8, const QString& Text5) = 0;
    virtual void showPopUp() = 0;               // mnuPopUp at the pointer
    virtual void calibrationPromptClosed() = 0; // the window sets FreshStart = False
};
