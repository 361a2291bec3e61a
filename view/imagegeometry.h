#pragma once

// The state of the map image control Image1: where it stands inside the viewport Frame1 and how large it
// is, in single-precision twips relative to Frame1's top-left corner. Like a control that keeps whole
// device units, it keeps whole twips: every assignment is stored as single precision and then rounded to
// the nearest whole twip, halves to even. A fitted picture therefore never overshoots its viewport by a
// fraction of a twip.
class ImageGeometry
{
public:
    bool Stretch = false; // off: the control takes the picture's own size
    bool Visible = true;

    float Left() const { return m_left; }
    float Top() const { return m_top; }
    float Width() const { return m_width; }
    float Height() const { return m_height; }

    void setLeft(double v) { m_left = whole(v); }
    void setTop(double v) { m_top = whole(v); }
    void setWidth(double v) { m_width = whole(v); }
    void setHeight(double v) { m_height = whole(v); }

    // v as the property stores it: single precision, then whole twips rounded half to even.
    static float whole(double v);

private:
    float m_left = 0, m_top = 0, m_width = 0, m_height = 0;
};
