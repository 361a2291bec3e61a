#include "qtworkarea.h"

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
