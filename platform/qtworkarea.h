#pragma once

#include "workarea.h"

// The primary QScreen: available geometry, and its logical resolution.
class QtWorkAreaSource : public WorkAreaSource
{
public:
    QRect workArea() const override;
    QRect screenArea() const override;
    TwipsMapping twips() const override;
};
