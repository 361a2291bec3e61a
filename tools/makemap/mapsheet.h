#pragma once

#include <QImage>
#include <QList>
#include <QPoint>
#include <QString>

// A made-up walking map in the style of a 1:25,000 sheet: a 1 km grid, contours, woods, a river,
// roads, paths, names, and one marked route of known length.
struct SheetPlan {
    QString name;    // printed on the sheet
    QString village; // names on the map
    QString river;
    quint32 seed = 1;     // for the woods, hills and paths
    int firstEasting = 0; // grid numbers of the first vertical and horizontal lines
    int firstNorthing = 0;
    QList<QPoint> route; // vertices in pixels
    bool smooth = true;  // anti-aliased drawing; off for pictures of 256 colours at most
};

struct MapSheet {
    QImage image;
    double routeKm = 0.0;
};

inline constexpr int SheetWidth = 1500;  // pixels: 6 km
inline constexpr int MapHeight = 1000;   // pixels: 4 km of map
inline constexpr int SheetHeight = 1100; // the map and a margin below it for the legend
inline constexpr int PixelsPerKm = 250;  // 1:25,000 scanned at 254 dpi, rounded
inline constexpr int GridOrigin = 125;   // pixels from the left and top edges to the first grid lines
inline constexpr int GridLineWidth = 2;  // grid lines cover pixels GridOrigin + k * PixelsPerKm and the next

// Length of a route of straight pieces, in kilometres at PixelsPerKm.
double RouteKm(const QList<QPoint>& route);

MapSheet DrawSheet(const SheetPlan& plan);

// The picture in at most 256 colours, each kept exactly; a null picture when it has more.
QImage ToIndexed(const QImage& picture);
