#pragma once

#include "messageboxes.h"
#include "scalefactors.h"
#include "settingsstore.h"

#include <QString>
#include <cstdint>
#include <functional>

// Everything the Scale Factors dialog works with beyond its own controls. The program passes its globals
// and the main window's operations; tests pass their own records and recorders.
struct ScalingServices {
    ScaleFactors& DefaultFactors;
    ScaleFactors& CurrentFactors;
    bool& FirstRun;
    SettingsStore& store;
    MessageBoxes& messages;
    std::function<void(const QString& Unit1, const QString& Unit2)> setMeterCaptions; // Text14 / Text15
    std::function<void()> calibrate; // starts a new calibration
    std::function<void(int16_t)> RaiseFatal;
};
