#pragma once

#include <QString>
#include <array>

// The eight length units the program knows, in their fixed order. The index is the position in both unit
// lists of the Scale Factors dialog; only ratios of sizes are ever used, the millimetre is just the base.
struct UnitInfo {
    const char* name;
    const char* abbrev;
    double sizeMm;
};

inline constexpr int UnitCount = 8;

inline constexpr std::array<UnitInfo, UnitCount> UnitCatalogue{{
    {"Millimetres", "mm", 1.0},
    {"Centimetres", "cm", 10.0},
    {"Inches", "in", 25.4},
    {"Feet", "ft", 304.8},
    {"Yards", "yd", 914.4},
    {"Metres", "m", 1000.0},
    {"Kilometres", "km", 1000000.0},
    {"Miles", "ml", 1609344.0},
}};

QString UnitName(int index);
QString UnitAbbrev(int index);
double UnitSize(int index);

// Catalogue index of a unit name, compared exactly and case-sensitively; -1 when no name is equal.
int UnitIndexOf(const QString& name);

// Size of one secondary unit expressed in the primary unit.
double UnitFactorFor(int primary, int secondary);
