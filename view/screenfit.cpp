#include "screenfit.h"

#include "checkedmath.h"

ScreenFitLayout FitToScreenLayout(int32_t W, int32_t H)
{
    ScreenFitLayout l;
    l.VScrollLeft = CheckedSub32(W, 252);
    l.VScrollHeight = CheckedSub32(CheckedSub32(CheckedSub32(H, 282), 600), 600);
    l.HScrollTop = CheckedSub32(CheckedSub32(H, 252), 600);
    l.HScrollWidth = CheckedSub32(CheckedSub32(W, 282), 120);
    l.FrameWidth = CheckedSub32(CheckedSub32(W, 282), 120);
    l.FrameHeight = CheckedSub32(CheckedSub32(CheckedSub32(H, 282), 600), 600);
    return l;
}
