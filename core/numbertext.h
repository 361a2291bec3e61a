#pragma once

#include <QString>
#include <optional>

// Number-to-text forms. "sep" is the decimal separator to show: the user's for display
// (UserDecimalPoint), a point for the settings store.

QString UserDecimalPoint();

// General number form: up to 7 significant digits for single precision, 15 for double, no leading blank,
// no trailing zeros, exponent form outside the fixed range (1E+07, 6.21371192237334E-07).
QString GeneralNumber(float v, const QString& sep);
QString GeneralNumber(double v, const QString& sep);

// Up to 7 significant digits of v with a point, as the general form gives them, but never in exponent form:
// 5E-05 is 0.00005, 1.234568E+07 is 12345680. v is finite.
QString PlainNumber(float v);

// Text of v with exactly `decimals` decimals (rounded), at least one integer digit and as many as needed,
// no thousands separator: the "#0.00" and "##0.000" family.
QString FixedNumber(double v, int decimals, const QString& sep);

// The four seven-character trip meter formats: "##0    ", "##0.0  ", "##0.00 ", "##0.000".
enum class ReadoutFormat { Whole, Tenths, Hundredths, Thousandths };

// v is first converted by the double-precision general form (15 significant digits), then formatted.
QString FormatReadout(double v, ReadoutFormat format, const QString& sep);

// Number texts as the settings store keeps them: "." as the decimal point, optional exponent, surrounding
// blanks ignored. Nothing when the text is not a finite number of the precision, or is out of its range.
std::optional<float> ParseStoredSingle(const QString& text);
std::optional<double> ParseStoredDouble(const QString& text);
