#include "module3.h"

#include "module1.h"

#include <QGuiApplication>
#include <QScreen>

namespace
{
const WorkAreaSource* g_source = nullptr;

QScreen* primary()
{
    return qobject_cast<QGuiApplication*>(QCoreApplication::instance()) ? QGuiApplication::primaryScreen()
                                                                        : nullptr;
}

float twipsPerPixel(qreal logicalDpi)
{
    // 96 logical dots to the inch gives 15 twips per pixel; a screen that reports nothing is taken as 96.
    return logicalDpi > 0 ? float(1440.0 / logicalDpi) : 15.0f;
}
} // namespace

QRect QtWorkAreaSource::workArea() const
{
    QScreen* s = primary();
    return s ? s->availableGeometry() : QRect();
}

QRect QtWorkAreaSource::screenArea() const
{
    QScreen* s = primary();
    return s ? s->geometry() : QRect();
}

float QtWorkAreaSource::twipsPerPixelX() const
{
    QScreen* s = primary();
    return twipsPerPixel(s ? s->logicalDotsPerInchX() : 0);
}

float QtWorkAreaSource::twipsPerPixelY() const
{
    QScreen* s = primary();
    return twipsPerPixel(s ? s->logicalDotsPerInchY() : 0);
}

void SetWorkAreaSource(const WorkAreaSource* source)
{
    g_source = source;
}

const WorkAreaSource& CurrentWorkAreaSource()
{
    static const QtWorkAreaSource screen;
    return g_source ? *g_source : screen;
}

float TwipsPerPixelX()
{
    return CurrentWorkAreaSource().twipsPerPixelX();
}
float TwipsPerPixelY()
{
    return CurrentWorkAreaSource().twipsPerPixelY();
}

void GetWorkArea(int32_t& left, int32_t& top, int32_t& width, int32_t& height, int16_t inTwips)
{
    GetWorkArea(CurrentWorkAreaSource(), left, top, width, height, inTwips);
}

void GetWorkArea(const WorkAreaSource& src, int32_t& left, int32_t& top, int32_t& width, int32_t& height,
                 int16_t inTwips)
{
    QRect area = src.workArea();
    if (area.isEmpty())
        area = src.screenArea();
    if (area.isEmpty())
        area = QRect(0, 0, DesignWorkAreaWidth, DesignWorkAreaHeight);

    // Edges as the system reports them: right and bottom just outside the area.
    int32_t l = area.left(), t = area.top();
    int32_t r = CheckedAdd32(l, area.width()), b = CheckedAdd32(t, area.height());
    if (inTwips != 0) {
        const double tx = src.twipsPerPixelX(), ty = src.twipsPerPixelY();
        l = RoundToInt32(tx * l);
        t = RoundToInt32(ty * t);
        r = RoundToInt32(tx * r);
        b = RoundToInt32(ty * b);
    }
    left = l;
    top = t;
    width = CheckedSub32(r, l);
    height = CheckedSub32(b, t);
}
