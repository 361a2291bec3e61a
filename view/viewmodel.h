#pragma once

#include "imagegeometry.h"
#include "scrollbarmodel.h"
#include "viewfields.h"

#include <QString>

// Zoom, scrolling and the zoom readout of the map viewport, without any widget: the image control's
// geometry, the viewport's size and the two bars, all in twips. The widgets of MapView show this state.
class ViewModel
{
public:
    explicit ViewModel(ViewFields& fields);
    ViewModel(const ViewModel&) = delete;
    ViewModel& operator=(const ViewModel&) = delete;

    ViewFields& fields() { return m_fields; }
    const ViewFields& fields() const { return m_fields; }
    ImageGeometry& image() { return m_image; } // Image1
    const ImageGeometry& image() const { return m_image; }
    ScrollBarModel& HScroll1() { return m_h; }
    ScrollBarModel& VScroll1() { return m_v; }
    const ScrollBarModel& HScroll1() const { return m_h; }
    const ScrollBarModel& VScroll1() const { return m_v; }

    // Frame1's size, twips.
    float FrameWidth() const { return m_frameWidth; }
    float FrameHeight() const { return m_frameHeight; }
    void setFrameSize(float width, float height);

    // A picture is put into Image1 with stretching off: the control takes its natural size (twips), and
    // NaturalWidth / NaturalHeight record that size rounded half to even.
    void loadNaturalSize(double widthTwips, double heightTwips);

    // Steps of 1.1 about the viewport's centre. ZoomIn stops silently below 100:1 and ZoomOut above
    // 0.01:1 (lengths are divided by the factor, so it must stay well clear of zero).
    void ZoomIn();
    void ZoomOut();
    void ZoomToFit();

    void LayoutScrollBars();
    void HScroll1_Change();
    void VScroll1_Change();
    void ShowViewReadout();

    QString Label1Caption() const { return m_caption; }
    void setDecimalSeparator(const QString& sep) { m_sep = sep; }

    // The "#0.00:1" readout of a factor, from its single-precision text, with decimal separator sep.
    static QString ZoomReadoutText(float factor, const QString& sep);

    static constexpr float MaxZoom = 100.0f; // ZoomIn refuses this factor and above
    static constexpr float MinZoom = 0.01f;  // ZoomOut refuses factors below this

private:
    struct Axis {
        float near; // N
        float size; // Z
        float view; // S
        float far;  // F
    };
    static void layoutAxis(ScrollBarModel& bar, const Axis& a);

    ViewFields& m_fields;
    ImageGeometry m_image;
    ScrollBarModel m_h, m_v;
    float m_frameWidth = 0, m_frameHeight = 0;
    QString m_caption;
    QString m_sep;
};
