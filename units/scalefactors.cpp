#include "scalefactors.h"

#include "unitcatalogue.h"

ScaleFactors ScaleFactors::builtInDefaults()
{
    ScaleFactors f;
    f.setUnit1(QString::fromLatin1(DefaultScale::Unit1));
    f.setUnit2(QString::fromLatin1(DefaultScale::Unit2));
    f.setUnitFactor(DefaultScale::UnitFactor);
    f.setAbbrev(QString::fromLatin1(DefaultScale::Abbrev));
    f.setCalFactor(DefaultScale::CalFactor);
    return f;
}

ScaleFactors ScaleFactors::forUnits(int primary, int secondary, float calFactor)
{
    ScaleFactors f;
    f.setUnit1(UnitName(primary));
    f.setUnit2(UnitName(secondary));
    f.setUnitFactor(UnitFactorFor(primary, secondary));
    f.setAbbrev(UnitAbbrev(primary));
    f.setCalFactor(calFactor);
    return f;
}

void Equalise(ScaleFactors& Young, const ScaleFactors& Old)
{
    if (&Young == &Old)
        return;
    Young.setUnit1(Old.Unit1());
    Young.setUnit2(Old.Unit2());
    Young.setCalFactor(Old.CalFactor());
    Young.setUnitFactor(Old.UnitFactor());
    Young.setAbbrev(Old.Abbrev());
}
