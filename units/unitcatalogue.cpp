#include "unitcatalogue.h"

QString UnitName(int index)
{
    return QString::fromLatin1(UnitCatalogue.at(index).name);
}

QString UnitAbbrev(int index)
{
    return QString::fromLatin1(UnitCatalogue.at(index).abbrev);
}

double UnitSize(int index)
{
    return UnitCatalogue.at(index).sizeMm;
}

int UnitIndexOf(const QString& name)
{
    for (int i = 0; i < UnitCount; ++i) {
        if (name == QLatin1String(UnitCatalogue[i].name))
            return i;
    }
    return -1;
}

double UnitFactorFor(int primary, int secondary)
{
    return UnitSize(secondary) / UnitSize(primary);
}
