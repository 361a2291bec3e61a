#pragma once

#include "scalefactors.h"
#include "settingsstore.h"

#include <QString>
#include <optional>

// The saved defaults of the scale factors in the settings store.
namespace ScaleSettings
{
// Fills DefaultFactors from the store: all five entries as stored, or, when any one is missing or a number
// is unusable, all five built-in defaults.
void Read(ScaleFactors& DefaultFactors, const SettingsStore& store);
// Saves the five entries, numbers as text in the general number form with a point whatever the user's
// locale. False when the store could not be written; the entries already there stay.
bool Write(const ScaleFactors& DefaultFactors, SettingsStore& store);
} // namespace ScaleSettings

// The program runs for the first time on this computer while its store holds none of the five scale
// entries: the first-run setup of the Scale Factors dialog writes all five, which ends first-run mode
// for good. A store damaged beyond reading counts as never set up.
bool ReadFirstRun(const SettingsStore& store);
