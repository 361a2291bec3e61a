#pragma once

#include <QString>

// The chosen units and calibration distance. A plain record: no checks, no side effects.
// A new record holds empty strings and zeros; values move between records only through Equalise.
class ScaleFactors
{
public:
    void setCalFactor(float v) { m_calFactor = v; }
    float CalFactor() const { return m_calFactor; }
    void setAbbrev(const QString& v) { m_abbrev = v; }
    QString Abbrev() const { return m_abbrev; }
    void setUnitFactor(double v) { m_unitFactor = v; }
    double UnitFactor() const { return m_unitFactor; }
    void setUnit2(const QString& v) { m_unit2 = v; }
    QString Unit2() const { return m_unit2; }
    void setUnit1(const QString& v) { m_unit1 = v; }
    QString Unit1() const { return m_unit1; }

    // Kilometres and Miles, 1 km calibration distance.
    static ScaleFactors builtInDefaults();
    // The record for two catalogue units (by index) and a calibration distance in the first.
    static ScaleFactors forUnits(int primary, int secondary, float calFactor);

    bool operator==(const ScaleFactors&) const = default;

private:
    QString m_unit1;
    QString m_unit2;
    double m_unitFactor = 0.0; // size of one Unit2 in Unit1
    QString m_abbrev;
    float m_calFactor = 0.0f; // calibration distance in Unit1
};

// Built-in defaults, kept in one place for every reader.
namespace DefaultScale
{
inline constexpr const char* Unit1 = "Kilometres";
inline constexpr const char* Unit2 = "Miles";
inline constexpr double UnitFactor = 1.609344;
inline constexpr const char* Abbrev = "km";
inline constexpr float CalFactor = 1.0f;
} // namespace DefaultScale

// Copies Old into Young: Unit1, Unit2, CalFactor, UnitFactor, Abbrev, in that order.
void Equalise(ScaleFactors& Young, const ScaleFactors& Old);
