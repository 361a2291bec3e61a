#include "module3.h"

#include "module1.h"

#include <QGuiApplication>
#include <QScreen>

namespace
{
QScreen* primary()
{
    return qobject_cast<QGuiApplication*>(QCoreApplication::instance()) ? QGuiApplication::primaryScreen()
                                                                        : nullptr;
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

TwipsMapping QtWorkAreaSource::twips() const
{
    QScreen* s = primary();
    return s ? TwipsMapping::forDpi(s->logicalDotsPerInchX(), s->logicalDotsPerInchY()) : TwipsMapping();
}

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
