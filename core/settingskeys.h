#pragma once

#include <QString>
#include <array>

// Every key the program keeps in its settings store, in one place. All live in the one section
// "Mapwheel" of the application "Holloway".
namespace SettingsKey
{
inline constexpr const char* Application = "Holloway";
inline constexpr const char* Section = "Mapwheel";

// The saved defaults of the scale factors, in the order they are written.
inline constexpr const char* Unit1 = "Unit1";
inline constexpr const char* Unit2 = "Unit2";
inline constexpr const char* CalFact = "CalFact";
inline constexpr const char* UnitFact = "UnitFact";
inline constexpr const char* Abbrev = "Abbrev";
inline constexpr std::array<const char*, 5> ScaleKeys{Unit1, Unit2, CalFact, UnitFact, Abbrev};

// The recent maps, "File1" (the newest) to "File9": "File" and the position in decimal, no space.
inline constexpr int MaxRecentFiles = 9;
inline QString File(int position)
{
    return QStringLiteral("File") + QString::number(position);
}
} // namespace SettingsKey
