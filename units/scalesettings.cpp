#include "scalesettings.h"

#include "numbertext.h"
#include "settingskeys.h"

#include <charconv>
#include <cmath>
#include <system_error>

namespace
{
template <class T> std::optional<T> parseStored(const QString& text)
{
    const QByteArray bytes = text.trimmed().toLatin1();
    if (bytes.isEmpty())
        return std::nullopt;
    T v{};
    const char* first = bytes.constData();
    const char* last = first + bytes.size();
    // from_chars ignores the locale: the store's texts always carry a point.
    const auto [end, ec] = std::from_chars(first, last, v, std::chars_format::general);
    if (ec != std::errc() || end != last || !std::isfinite(v))
        return std::nullopt;
    return v;
}

QString stored(const SettingsStore& store, const char* key)
{
    return store.value(QString::fromLatin1(key)).value_or(QString());
}
} // namespace

std::optional<float> ParseStoredSingle(const QString& text)
{
    return parseStored<float>(text);
}

std::optional<double> ParseStoredDouble(const QString& text)
{
    return parseStored<double>(text);
}

bool ScaleSettings(const QString& Mode, ScaleFactors& DefaultFactors, SettingsStore& store,
                   const std::function<void(int16_t)>& RaiseFatal)
{
    if (Mode == QLatin1String("Read")) {
        const QString unit1 = stored(store, SettingsKey::Unit1);
        const QString unit2 = stored(store, SettingsKey::Unit2);
        const QString c = stored(store, SettingsKey::CalFact);
        const QString u = stored(store, SettingsKey::UnitFact);
        const QString abbrev = stored(store, SettingsKey::Abbrev);
        const std::optional<float> calFactor = ParseStoredSingle(c);
        const std::optional<double> unitFactor = ParseStoredDouble(u);
        // A factor that is no usable number counts as missing: the calibration divides by CalFactor and
        // the second trip meter by UnitFactor, so neither may be zero or negative.
        const bool whole = !unit1.isEmpty() && !unit2.isEmpty() && !abbrev.isEmpty() && calFactor &&
                           *calFactor > 0.0f && unitFactor && *unitFactor > 0.0;
        if (whole) {
            DefaultFactors.setUnit1(unit1);
            DefaultFactors.setUnit2(unit2);
            DefaultFactors.setAbbrev(abbrev);
            DefaultFactors.setCalFactor(*calFactor);
            DefaultFactors.setUnitFactor(*unitFactor);
        } else {
            // One missing entry brings back all five built-in defaults, also those that were stored.
            Equalise(DefaultFactors, ScaleFactors::builtInDefaults());
        }
        return true;
    }
    if (Mode == QLatin1String("Write")) {
        const QString point = QStringLiteral(".");
        return store.setValues({
            {QString::fromLatin1(SettingsKey::Unit1), DefaultFactors.Unit1()},
            {QString::fromLatin1(SettingsKey::Unit2), DefaultFactors.Unit2()},
            {QString::fromLatin1(SettingsKey::CalFact), GeneralNumber(DefaultFactors.CalFactor(), point)},
            {QString::fromLatin1(SettingsKey::UnitFact), GeneralNumber(DefaultFactors.UnitFactor(), point)},
            {QString::fromLatin1(SettingsKey::Abbrev), DefaultFactors.Abbrev()},
        });
    }
    RaiseFatal(ScaleSettingsModeError);
    return false;
}

bool ReadFirstRun(const SettingsStore& store)
{
    for (const char* key : {SettingsKey::Unit1, SettingsKey::Unit2, SettingsKey::CalFact,
                            SettingsKey::UnitFact, SettingsKey::Abbrev}) {
        if (!stored(store, key).isEmpty())
            return false;
    }
    return true;
}
