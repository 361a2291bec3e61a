#pragma once

#include "twips.h"

#include <QRect>
#include <cstdint>

// The screen's work area (the screen less the task bar and other desktop bars) and its twips per pixel.
// The program passes its one source to whatever lays out windows; tests stand in any screen.
class WorkAreaSource
{
public:
    virtual ~WorkAreaSource() = default;
    // Pixels; right and bottom lie just outside the area. An empty rectangle means the query failed.
    virtual QRect workArea() const = 0;
    // The whole screen in pixels, the fallback when the work area is empty; empty when there is no screen.
    virtual QRect screenArea() const = 0;
    // Twips, 1440 to the inch, per logical pixel of the screen.
    virtual TwipsMapping twips() const = 0;
};

// Work-area size without a screen at all: the main window's design size, in pixels.
constexpr int DesignWorkAreaWidth = 800;
constexpr int DesignWorkAreaHeight = 600;

// The work area's left, top, width and height; in twips when inTwips is non-zero, else in pixels. Each
// edge is converted separately (double product, rounded half to even), width and height are then checked
// 32-bit differences: an out-of-range value raises OverflowError. A failed query falls back to the whole
// screen, and without a screen to the design size.
void GetWorkArea(const WorkAreaSource& source, int32_t& left, int32_t& top, int32_t& width, int32_t& height,
                 int16_t inTwips);
