#include "scalefactorseditor.h"

#include "numbertext.h"
#include "unitcatalogue.h"

namespace
{
using Field = ScaleFactorsEditor::Field;
using Refusal = ScaleFactorsEditor::Refusal;

enum class Refused { NoNumber, NotPositiveNumber, Zero, Unit1, Unit2 };

// Every input the OK refuses, with what the user is told.
Refusal refusal(Refused why)
{
    switch (why) {
    case Refused::NoNumber:
        return {Field::Distance, QStringLiteral("User-defined value must contain a number"),
                MessageIcon::Warning};
    case Refused::NotPositiveNumber:
        return {Field::Distance, QStringLiteral("User-defined value must be a positive number"),
                MessageIcon::Warning};
    case Refused::Zero:
        return {Field::Distance, QStringLiteral("User-defined value must be positive and non-zero"),
                MessageIcon::Warning};
    case Refused::Unit1:
        return {Field::Unit1, QStringLiteral("Please check entry for Calibration Units"), MessageIcon::None};
    case Refused::Unit2:
        return {Field::Unit2, QStringLiteral("Please check entry for Other Named Units"),
                MessageIcon::Warning};
    }
    return {};
}

// The user-defined distance: digits and at most one decimal point, a number above zero in single precision.
std::variant<float, Refused> userDistance(const QString& text)
{
    if (text.isEmpty())
        return Refused::NoNumber;
    int digits = 0;
    int points = 0;
    for (const QChar ch : text) {
        if (ch >= QLatin1Char('0') && ch <= QLatin1Char('9')) {
            ++digits;
        } else if (ch == QLatin1Char('.')) {
            ++points;
        } else {
            return Refused::NotPositiveNumber;
        }
    }
    if (digits == 0) // a point alone
        return Refused::NoNumber;
    if (points > 1)
        return Refused::NotPositiveNumber;
    const std::optional<float> value = ParseStoredSingle(text);
    if (!value) {
        // Out of single-precision range: too large is no usable number, too small is zero.
        const std::optional<double> wide = ParseStoredDouble(text);
        return wide && *wide < 1.0 ? Refused::Zero : Refused::NotPositiveNumber;
    }
    if (*value == 0.0f)
        return Refused::Zero;
    return *value;
}
} // namespace

int ScaleFactorsEditor::optionFor(float calFactor)
{
    for (int i = 0; i < int(OptionDistances.size()); ++i) {
        if (calFactor == OptionDistances[i])
            return i;
    }
    return UserDefined;
}

std::optional<ScaleFactorsEditor::Refusal> ScaleFactorsEditor::accept(const ScaleFactorsChoice& choice,
                                                                      ScaleFactors& edit)
{
    if (choice.option >= 0 && choice.option < UserDefined) {
        edit.setCalFactor(OptionDistances[choice.option]);
    } else {
        const std::variant<float, Refused> d = userDistance(choice.distanceText);
        if (const Refused* why = std::get_if<Refused>(&d))
            return refusal(*why);
        edit.setCalFactor(std::get<float>(d));
    }
    const int i1 = UnitIndexOf(choice.Unit1);
    if (i1 < 0)
        return refusal(Refused::Unit1);
    edit.setUnit1(choice.Unit1);
    const int i2 = UnitIndexOf(choice.Unit2);
    if (i2 < 0)
        return refusal(Refused::Unit2);
    edit.setUnit2(choice.Unit2);
    edit.setUnitFactor(UnitFactorFor(i1, i2));
    edit.setAbbrev(UnitAbbrev(i1));
    return std::nullopt;
}

QString ScaleFactorsEditor::distanceText(float calFactor)
{
    return PlainNumber(calFactor);
}
