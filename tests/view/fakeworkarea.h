#pragma once

#include "module3.h"

// A screen of the test's choosing; installs itself for its lifetime.
class FakeWorkArea : public WorkAreaSource
{
public:
    FakeWorkArea(QRect work, float tpp, QRect screen = QRect())
        : work(work), screen(screen), tppX(tpp), tppY(tpp)
    {
        SetWorkAreaSource(this);
    }
    ~FakeWorkArea() override { SetWorkAreaSource(nullptr); }
    QRect workArea() const override { return work; }
    QRect screenArea() const override { return screen; }
    float twipsPerPixelX() const override { return tppX; }
    float twipsPerPixelY() const override { return tppY; }

    QRect work, screen;
    float tppX, tppY;
};
