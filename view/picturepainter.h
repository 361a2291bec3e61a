#pragma once

#include "mappicture.h"

#include <QRectF>

class QPainter;

// Draws the part of a map picture that falls inside an exposed rectangle. The picture is stretched over
// `target` (painter coordinates, fractional); only the pixels under `exposed` are read, from the pre-shrunk
// copy that fits the device scale, through a view onto the copy's memory, so neither the memory nor the
// time grows with the zoom factor and source coordinates stay small.
class PicturePainter
{
public:
    // Below this many device pixels per picture pixel the picture is filtered smoothly; above it each
    // picture pixel is drawn as a sharp block.
    static constexpr double SharpFromScale = 1.0;

    static void paint(QPainter& painter, const MapPicture& picture, const QRectF& target,
                      const QRectF& exposed, qreal devicePixelRatio);

    // Where `rows` of a picture of `size` go when the whole picture is fitted into `box` and centred.
    static QRectF fittedPart(const QSizeF& box, const QSize& size, const QRect& rows);
};
