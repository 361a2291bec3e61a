#include "shellpictures.h"

#include <QPainter>
#include <QSvgRenderer>

// Outside any namespace, as Q_INIT_RESOURCE requires.
static void initIconsResource()
{
    Q_INIT_RESOURCE(icons);
}

void InitShellPictures()
{
    static const bool done = (initIconsResource(), true);
    Q_UNUSED(done);
}

QIcon ShellIcon(const char* resourcePath)
{
    InitShellPictures();
    return QIcon(QString::fromLatin1(resourcePath));
}

QPixmap ShellPixmap(const char* resourcePath, const QSize& size, qreal devicePixelRatio)
{
    InitShellPictures();
    QSvgRenderer svg(QString::fromLatin1(resourcePath));
    QPixmap pixmap(size * devicePixelRatio);
    pixmap.fill(Qt::transparent);
    if (svg.isValid()) {
        QPainter painter(&pixmap);
        svg.render(&painter);
    }
    pixmap.setDevicePixelRatio(devicePixelRatio);
    return pixmap;
}
