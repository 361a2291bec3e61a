#include "numbertext.h"

#include <QLocale>
#include <cmath>
#include <cstdio>
#include <cstdlib>

QString UserDecimalPoint()
{
    return QLocale().decimalPoint();
}

namespace
{
QString generalForm(double v, int digits, const QString& sep)
{
    if (std::isnan(v))
        return QStringLiteral("NaN");
    if (std::isinf(v))
        return v > 0 ? QStringLiteral("Infinity") : QStringLiteral("-Infinity");
    if (v == 0.0)
        return QStringLiteral("0");
    char buf[64];
    // %G keeps `digits` significant digits, drops trailing zeros, and switches to the exponent form
    // below 1E-4 and from 10^digits up, with a signed two-digit exponent.
    std::snprintf(buf, sizeof buf, "%.*G", digits, v);
    QString s = QString::fromLatin1(buf);
    if (sep != QLatin1String("."))
        s.replace(QLatin1Char('.'), sep);
    return s;
}
} // namespace

QString GeneralNumber(float v, const QString& sep)
{
    return generalForm(double(v), 7, sep);
}

QString GeneralNumber(double v, const QString& sep)
{
    return generalForm(v, 15, sep);
}

QString FixedNumber(double v, int decimals, const QString& sep)
{
    char buf[400];
    std::snprintf(buf, sizeof buf, "%.*f", decimals, v);
    QString s = QString::fromLatin1(buf);
    if (s.startsWith(QLatin1Char('-')) && std::strtod(buf, nullptr) == 0.0)
        s.remove(0, 1); // no "-0.000" for a value that rounds to zero
    if (sep != QLatin1String("."))
        s.replace(QLatin1Char('.'), sep);
    return s;
}

QString FormatReadout(double v, ReadoutFormat format, const QString& sep)
{
    // The value goes through its 15-digit text form first, as the readout does.
    char buf[64];
    std::snprintf(buf, sizeof buf, "%.15G", v);
    const double shown = std::strtod(buf, nullptr);
    switch (format) {
    case ReadoutFormat::Whole:
        return FixedNumber(shown, 0, sep) + QStringLiteral("    ");
    case ReadoutFormat::Tenths:
        return FixedNumber(shown, 1, sep) + QStringLiteral("  ");
    case ReadoutFormat::Hundredths:
        return FixedNumber(shown, 2, sep) + QStringLiteral(" ");
    case ReadoutFormat::Thousandths:
        break;
    }
    return FixedNumber(shown, 3, sep);
}
