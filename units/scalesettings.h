#pragma once

#include "scalefactors.h"
#include "settingsstore.h"

#include <QString>
#include <cstdint>
#include <optional>

// The saved defaults of the scale factors in the settings store.
//
// "Read" fills DefaultFactors from the store: all five entries as stored, or, when any one is missing or
// a number is unusable, all five built-in defaults. "Write" saves the five entries of DefaultFactors,
// numbers as text in the general number form with a point whatever the user's locale. Any other mode is
// a program error, which the caller reports as fatal error ScaleSettingsModeError.
// NotWritten: the store could not be written; the entries already there stay.
enum class ScaleSettingsResult { Done, NotWritten, UnknownMode };
ScaleSettingsResult ScaleSettings(const QString& Mode, ScaleFactors& DefaultFactors, SettingsStore& store);

inline constexpr int16_t ScaleSettingsModeError = 419;

// The program runs for the first time on this computer while its store holds none of the five scale
// entries: the first-run setup of the Scale Factors dialog writes all five, which ends first-run mode
// for good. A store damaged beyond reading counts as never set up.
bool ReadFirstRun(const SettingsStore& store);
