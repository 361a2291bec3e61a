#include "numbertext.h"

#include <QLocale>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <system_error>

QString UserDecimalPoint()
{
    return QLocale().decimalPoint();
}

namespace
{
// %G keeps `digits` significant digits, drops trailing zeros, and switches to the exponent form below
// 1E-4 and from 10^digits up, with a signed two-digit exponent. v is finite.
QByteArray generalText(double v, int digits)
{
    char buf[64];
    std::snprintf(buf, sizeof buf, "%.*G", digits, v);
    return QByteArray(buf);
}

QString generalForm(double v, int digits, const QString& sep)
{
    if (std::isnan(v))
        return QStringLiteral("NaN");
    if (std::isinf(v))
        return v > 0 ? QStringLiteral("Infinity") : QStringLiteral("-Infinity");
    if (v == 0.0)
        return QStringLiteral("0");
    QString s = QString::fromLatin1(generalText(v, digits));
    if (sep != QLatin1String("."))
        s.replace(QLatin1Char('.'), sep);
    return s;
}

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
} // namespace

std::optional<float> ParseStoredSingle(const QString& text)
{
    return parseStored<float>(text);
}

std::optional<double> ParseStoredDouble(const QString& text)
{
    return parseStored<double>(text);
}

QString GeneralNumber(float v, const QString& sep)
{
    return generalForm(double(v), 7, sep);
}

QString GeneralNumber(double v, const QString& sep)
{
    return generalForm(v, 15, sep);
}

QString PlainNumber(float v)
{
    if (v == 0.0f || !std::isfinite(v))
        return generalForm(double(v), 7, QStringLiteral("."));
    char buf[32];
    std::snprintf(buf, sizeof buf, "%.6e", double(v)); // -d.dddddde+XX: the same seven digits as %.7G
    const bool negative = buf[0] == '-';
    const char* mantissa = buf + (negative ? 1 : 0);
    QByteArray digits = QByteArray(mantissa, 1) + QByteArray(mantissa + 2, 6);
    while (digits.size() > 1 && digits.endsWith('0'))
        digits.chop(1);
    const int before = std::atoi(std::strchr(mantissa, 'e') + 1) + 1; // digits before the point
    QByteArray text;
    if (before <= 0)
        text = "0." + QByteArray(-before, '0') + digits;
    else if (before >= digits.size())
        text = digits + QByteArray(before - digits.size(), '0');
    else
        text = digits.left(before) + '.' + digits.mid(before);
    return QString::fromLatin1(negative ? "-" + text : text);
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
    const double shown = std::isfinite(v) ? std::strtod(generalText(v, 15).constData(), nullptr) : v;
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
