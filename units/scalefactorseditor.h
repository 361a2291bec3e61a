#pragma once

#include "messageboxes.h"
#include "scalefactors.h"

#include <QString>
#include <array>
#include <optional>
#include <variant>

// What the Scale Factors dialog's controls hold when the user presses OK.
struct ScaleFactorsChoice {
    QString Unit1;        // Combo1, exactly as typed
    QString Unit2;        // Combo2, exactly as typed
    int option = 0;       // Option1: 0 to 3 the fixed distances, 4 user-defined
    QString distanceText; // Text1: digits and a decimal point, whatever the user's separator
};

// The rules of the dialog's OK, without a window: which distance option shows a record, and whether a
// choice is accepted, giving the new record, or refused, giving the message and the control to correct.
class ScaleFactorsEditor
{
public:
    static constexpr int UserDefined = 4;
    // The calibration distances of options 0 to 3, in the primary unit.
    static constexpr std::array<float, 4> OptionDistances{0.1f, 1.0f, 10.0f, 100.0f};

    enum class Field { Distance, Unit1, Unit2 };
    struct Refusal {
        Field field;
        QString text;
        MessageIcon icon;
    };

    // The option that shows a calibration distance: the fixed one equal to it in single precision, else 4.
    static int optionFor(float calFactor);
    // Checks in the order the user is told of them: the distance, the first unit, the second unit, each
    // writing its field into `edit`, the dialog's record, once it passes; a later refusal keeps what the
    // earlier checks wrote. When all pass, the unit factor and abbreviation follow the two units.
    static std::optional<Refusal> accept(const ScaleFactorsChoice& choice, ScaleFactors& edit);
    // How the user-defined box shows a distance: the general form's seven significant digits, but never
    // in exponent form and always with a point, so that an OK accepts what the box shows.
    static QString distanceText(float calFactor);
};
