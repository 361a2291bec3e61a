#pragma once

#include "frame1widget.h"
#include "image1widget.h"
#include "mappicture.h"
#include "screenfit.h"
#include "viewfields.h"
#include "viewmodel.h"

#include <QLabel>
#include <QObject>
#include <QPointer>
#include <QRectF>
#include <QScrollBar>

class PointerSink;

// The viewport controls of one load of the main window and the zoom and scroll operations on them.
//
// | control  | what it is                                                                  |
// |----------|-----------------------------------------------------------------------------|
// | Frame1   | the borderless viewport that clips the map, left 120 top 600 twips           |
// | Image1   | the map picture (accessible name "Map"), moved and stretched inside Frame1  |
// | Label1   | the zoom readout, "#0.00:1", in Frame1's top-left corner                    |
// | HScroll1 | the horizontal bar under Frame1, 252 twips high                              |
// | VScroll1 | the vertical bar right of Frame1, 252 twips wide                             |
//
// The twips of the layout are measured from the top-left corner of `client`, the main window's area
// below its menu bar. The widgets only show a ViewModel, which holds the arithmetic.
// The caller owns it (the main window keeps it as a member); it deletes the controls it made.
class MapView : public QObject
{
    Q_OBJECT
public:
    MapView(ViewFields& fields, QWidget* client, PointerSink* sink);
    ~MapView() override;

    // Sizes Frame1 and the bars to the screen's work area. Once the client area has a real size (the
    // window is shown) the layout uses that instead, so that everything lies inside it; and it follows
    // every later resize of the client area. Always true.
    bool FitToScreen();
    // Image1 takes the picture's natural size (stretching off), then NaturalWidth / NaturalHeight.
    void loadPicture(MapPicturePtr picture);
    void ZoomIn();
    void ZoomOut();
    void ZoomToFit();

    // For tests and for the main window's own use.
    ViewModel& model() { return m_model; }
    const ViewModel& model() const { return m_model; }
    // The layout last computed from the work area (the screen's arithmetic, before the client area).
    const ScreenFitLayout& workAreaLayout() const { return m_workAreaLayout; }
    // The layout in force.
    const ScreenFitLayout& layout() const { return m_layout; }
    float twipsPerPixelX() const { return m_tppX; }
    float twipsPerPixelY() const { return m_tppY; }
    Frame1Widget* frame1() const { return m_frame; }
    Image1Widget* image1() const { return m_image; }
    QLabel* label1() const { return m_label; }
    QScrollBar* hscroll1() const { return m_hbar; }
    QScrollBar* vscroll1() const { return m_vbar; }
    // True from loadPicture until the viewport is first painted or the user zooms or scrolls: while it
    // holds, a resize of the client area fits the map again, so that a map loaded into a window that is
    // still taking its maximized size is shown fitted, bars hidden. Later resizes keep the zoom.
    bool refitsOnResize() const { return m_refitOnResize; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    ScreenFitLayout clientLayout() const;
    bool clientSizeKnown() const;
    void applyLayout(const ScreenFitLayout& layout);
    void followClientResize();
    void userScrolled(ScrollBarModel& bar, int value);
    QRect toPixels(double left, double top, double width, double height) const;
    void sync(); // shows the model in the widgets

    ViewModel m_model;
    QPointer<QWidget> m_client;
    QPointer<Frame1Widget> m_frame;
    QPointer<Image1Widget> m_image;
    QPointer<QLabel> m_label;
    QPointer<QScrollBar> m_hbar, m_vbar;
    // The watched widgets by identity only: the filter also sees their last events while they are being
    // destroyed, when they are no longer of their own class.
    const QObject* m_clientId = nullptr;
    const QObject* m_frameId = nullptr;
    const QObject* m_imageId = nullptr;
    ScreenFitLayout m_workAreaLayout, m_layout;
    float m_tppX = 15, m_tppY = 15;
    bool m_laidOut = false;
    bool m_refitOnResize = false;
    bool m_syncing = false;
};
