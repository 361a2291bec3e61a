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
    QString distanceText; // Text1, with the user's decimal separator or a point
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
    struct Result {
        std::optional<Refusal> refused;
        ScaleFactors factors; // when accepted
    };

    // The option that shows a calibration distance: the fixed one equal to it in single precision, else 4.
    static int optionFor(float calFactor);
    // Checks in the order the user is told of them: the distance, the first unit, the second unit.
    // decimalPoint is the user's separator; a point is read as one in every locale.
    static Result accept(const ScaleFactorsChoice& choice, const QString& decimalPoint);
};
