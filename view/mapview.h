#pragma once

#include "frame1widget.h"
#include "image1widget.h"
#include "mappicture.h"
#include "workarea.h"
#include "screenfit.h"
#include "viewfields.h"
#include "viewmodel.h"

#include <QLabel>
#include <QObject>
#include <QPointer>
#include <QRectF>
#include <QScrollBar>

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
// The caller owns it (the main window keeps it as a member); it deletes the controls it made. The pointer
// over Image1 and Frame1 comes out of its signals, in twips.
class MapView : public QObject
{
    Q_OBJECT
public:
    MapView(ViewFields& fields, QWidget* client, const WorkAreaSource& screen);
    ~MapView() override;

    // Sizes Frame1 and the bars to the screen's work area. Once the client area has a real size (the
    // window is shown) the layout uses that instead, so that everything lies inside it; and it follows
    // every later resize of the client area.
    void FitToScreen();
    // Image1 takes the picture's natural size (stretching off), then NaturalWidth / NaturalHeight.
    void loadPicture(MapPicturePtr picture);
    void ZoomIn();
    void ZoomOut();
    void ZoomToFit();
    // Moves a shown bar by single positions or pages, through the bars' own rules; a hidden bar stays.
    void scrollBy(Qt::Orientation orientation, int steps, bool page);
    // Gives the map the keyboard focus; and where on screen a pop-up asked for by keyboard opens.
    void focusMap();
    QPoint popUpPoint() const;
    QWidget* viewport() const { return m_frame; } // Frame1, where the focus stands for the map

signals:
    // Button: 1 left, 2 right, 4 middle (for a move, the held set as a sum); Shift: 1 shift, 2 ctrl, 4 alt.
    void Image1_MouseDown(int Button, int Shift, float X, float Y);
    void Image1_MouseMove(int Button, int Shift, float X, float Y);
    void Image1_MouseUp(int Button, int Shift, float X, float Y);
    void Image1_DragLost(); // a left press's release will not reach the map
    void Frame1_MouseUp(int Button, int Shift, float X, float Y);
    void Frame1_MouseMove(int Button, int Shift, float X, float Y);
    // A key or the wheel over the map asks for a scroll or a zoom; the owner runs it when it may.
    void navigationRequested(const ViewNavigation& navigation);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    ScreenFitLayout clientLayout() const;
    bool clientSizeKnown() const;
    void applyLayout(const ScreenFitLayout& layout);
    void followClientResize();
    void userScrolled(ScrollBarModel& bar, int value);
    void sync(); // shows the model in the widgets

    ViewModel m_model;
    const WorkAreaSource& m_screen;
    TwipsMapping m_twips;
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
    bool m_laidOut = false;
    // True from loadPicture until the viewport is first painted or the user zooms or scrolls: while it
    // holds, a resize of the client area fits the map again, so that a map loaded into a window that is
    // still taking its maximized size is shown fitted, bars hidden. Later resizes keep the zoom.
    bool m_refitOnResize = false;
    bool m_syncing = false;
};
