#pragma once

#include "mappicture.h"

#include <QWidget>

class PointerSink;

// Image1: shows the map picture inside Frame1 and passes the pointer on to the measuring code, in twips
// relative to the image's own top-left corner. The widget covers the image's rectangle rounded out to
// whole pixels; the picture is placed inside it with sub-pixel precision. Only what Frame1 exposes of it
// is ever painted.
class Image1Widget : public QWidget
{
    Q_OBJECT
public:
    Image1Widget(QWidget* frame, PointerSink* sink);

    void setPicture(MapPicturePtr picture);
    const MapPicturePtr& picture() const { return m_picture; }

    // The image's rectangle in Frame1's logical pixels (fractional), and the twips per pixel that turn
    // pointer positions into twips.
    void setPlacement(const QRectF& inFrame, float twipsPerPixelX, float twipsPerPixelY);
    QRectF placement() const { return m_placement; }

    // Pointer position (logical pixels, relative to this widget) in twips relative to the image.
    QPointF toImageTwips(const QPointF& local) const;

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    PointerSink* m_sink;
    MapPicturePtr m_picture;
    QRectF m_placement;
    float m_tppX = 15, m_tppY = 15;
};

// Qt's button and modifier sets in the event codes the measuring code expects.
int PointerButtonCode(Qt::MouseButtons buttons);       // 1 left, 2 right, 4 middle, summed
int PointerShiftCode(Qt::KeyboardModifiers modifiers); // 1 shift, 2 ctrl, 4 alt, summed
