#include "workarea.h"

#include "checkedmath.h"

void GetWorkArea(const WorkAreaSource& source, int32_t& left, int32_t& top, int32_t& width, int32_t& height,
                 int16_t inTwips)
{
    QRect area = source.workArea();
    if (area.isEmpty())
        area = source.screenArea();
    if (area.isEmpty())
        area = QRect(0, 0, DesignWorkAreaWidth, DesignWorkAreaHeight);

    // Edges as the system reports them: right and bottom just outside the area.
    int32_t l = area.left(), t = area.top();
    int32_t r = CheckedAdd32(l, area.width()), b = CheckedAdd32(t, area.height());
    if (inTwips != 0) {
        const TwipsMapping twips = source.twips();
        l = twips.wholeTwipsX(l);
        t = twips.wholeTwipsY(t);
        r = twips.wholeTwipsX(r);
        b = twips.wholeTwipsY(b);
    }
    left = l;
    top = t;
    width = CheckedSub32(r, l);
    height = CheckedSub32(b, t);
}
