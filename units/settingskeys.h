#pragma once

#include <QString>

// Every key the program keeps in its settings store, in one place. All live in the one section
// "Mapwheel" of the application "Holloway".
namespace SettingsKey
{
inline constexpr const char* Application = "Holloway";
inline constexpr const char* Section = "Mapwheel";

// The saved defaults of the scale factors.
inline constexpr const char* Unit1 = "Unit1";
inline constexpr const char* Unit2 = "Unit2";
inline constexpr const char* CalFact = "CalFact";
inline constexpr const char* UnitFact = "UnitFact";
inline constexpr const char* Abbrev = "Abbrev";

// The recent maps, "File1" (the newest) to "File9".
inline constexpr int MaxRecentFiles = 9;
inline QString File(int position)
{
    return QStringLiteral("File%1").arg(position);
}
} // namespace SettingsKey
