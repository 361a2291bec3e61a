#pragma once

#include "mappicture.h"
#include "twips.h"

#include <QWidget>

// Image1: shows the map picture inside Frame1 and reports the pointer in twips relative to the image's own
// top-left corner (single precision, the sub-pixel part kept). Moves and the release of a drag begun on it
// reach it (pointer capture), also outside it. The widget covers the image's rectangle rounded out to
// whole pixels; the picture is placed inside it with sub-pixel precision. Only what Frame1 exposes of it
// is ever painted.
class Image1Widget : public QWidget
{
    Q_OBJECT
public:
    explicit Image1Widget(QWidget* frame);
    ~Image1Widget() override;

    void setPicture(MapPicturePtr picture);
    const MapPicturePtr& picture() const { return m_picture; }

    // The image's rectangle in Frame1's logical pixels (fractional), and the mapping that turns pointer
    // positions into twips.
    void setPlacement(const QRectF& inFrame, TwipsMapping twips);

signals:
    // Button: 1 left, 2 right, 4 middle (for a move, the held set as a sum); Shift: 1 shift, 2 ctrl, 4 alt.
    void Image1_MouseDown(int Button, int Shift, float X, float Y);
    void Image1_MouseMove(int Button, int Shift, float X, float Y);
    void Image1_MouseUp(int Button, int Shift, float X, float Y);
    // The release of a left press on the map will not come here: a menu or a modal window took the
    // pointer, or the button was seen up elsewhere.
    void Image1_DragLost();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    QPointF toImageTwips(const QPointF& local) const;
    void watchDrag(bool on);

    MapPicturePtr m_picture;
    QRectF m_placement;
    TwipsMapping m_twips;
    bool m_watching = false; // a left press is down: every event of the application is watched for its loss
};

// Qt's button and modifier sets in the event codes the measuring code expects.
int PointerButtonCode(Qt::MouseButtons buttons);       // 1 left, 2 right, 4 middle, summed
int PointerShiftCode(Qt::KeyboardModifiers modifiers); // 1 shift, 2 ctrl, 4 alt, summed
