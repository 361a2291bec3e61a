#include "scalesettings.h"

#include "numbertext.h"
#include "settingskeys.h"

namespace
{
QString stored(const SettingsStore& store, const char* key)
{
    return store.value(QString::fromLatin1(key)).value_or(QString());
}
} // namespace

void ScaleSettings::Read(ScaleFactors& DefaultFactors, const SettingsStore& store)
{
    const QString unit1 = stored(store, SettingsKey::Unit1);
    const QString unit2 = stored(store, SettingsKey::Unit2);
    const QString abbrev = stored(store, SettingsKey::Abbrev);
    const std::optional<float> calFactor = ParseStoredSingle(stored(store, SettingsKey::CalFact));
    const std::optional<double> unitFactor = ParseStoredDouble(stored(store, SettingsKey::UnitFact));
    // A factor that is no usable number counts as missing: the calibration divides by CalFactor and the
    // second trip meter by UnitFactor, so neither may be zero or negative.
    if (unit1.isEmpty() || unit2.isEmpty() || abbrev.isEmpty() || !calFactor || !(*calFactor > 0.0f) ||
        !unitFactor || !(*unitFactor > 0.0)) {
        // One missing entry brings back all five built-in defaults, also those that were stored.
        Equalise(DefaultFactors, ScaleFactors::builtInDefaults());
        return;
    }
    DefaultFactors.setUnit1(unit1);
    DefaultFactors.setUnit2(unit2);
    DefaultFactors.setAbbrev(abbrev);
    DefaultFactors.setCalFactor(*calFactor);
    DefaultFactors.setUnitFactor(*unitFactor);
}

bool ScaleSettings::Write(const ScaleFactors& DefaultFactors, SettingsStore& store)
{
    const QString point = QStringLiteral(".");
    return store.setValues({
        {QString::fromLatin1(SettingsKey::Unit1), DefaultFactors.Unit1()},
        {QString::fromLatin1(SettingsKey::Unit2), DefaultFactors.Unit2()},
        {QString::fromLatin1(SettingsKey::CalFact), GeneralNumber(DefaultFactors.CalFactor(), point)},
        {QString::fromLatin1(SettingsKey::UnitFact), GeneralNumber(DefaultFactors.UnitFactor(), point)},
        {QString::fromLatin1(SettingsKey::Abbrev), DefaultFactors.Abbrev()},
    });
}

bool ReadFirstRun(const SettingsStore& store)
{
    for (const char* key : SettingsKey::ScaleKeys) {
        if (!stored(store, key).isEmpty())
            return false;
    }
    return true;
}
