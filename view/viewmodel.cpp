#include "viewmodel.h"

#include "checkedmath.h"
#include "numbertext.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>

ViewModel::ViewModel(ViewFields& fields) : m_fields(fields), m_sep(UserDecimalPoint())
{
    m_h.setChangeHandler([this] { HScroll1_Change(); });
    m_v.setChangeHandler([this] { VScroll1_Change(); });
}

void ViewModel::setFrameSize(float width, float height)
{
    m_frameWidth = width;
    m_frameHeight = height;
}

void ViewModel::loadNaturalSize(double widthTwips, double heightTwips)
{
    m_image.Stretch = false;
    m_image.setWidth(widthTwips);
    m_image.setHeight(heightTwips);
    m_fields.NaturalWidth = RoundToInt32(m_image.Width());
    m_fields.NaturalHeight = RoundToInt32(m_image.Height());
}

// Products and quotients are formed in double precision from the single-precision properties; each
// property stores its result back in single precision (whole twips for the image control).

void ViewModel::ZoomIn()
{
    m_image.Stretch = true;
    const float z = float(double(m_fields.ZoomFactor) * 1.1);
    m_fields.ZoomFactor = z;
    if (z < MaxZoom) {
        m_image.Visible = false;
        m_image.setWidth(double(m_image.Width()) * 1.1);
        m_image.setHeight(double(m_image.Height()) * 1.1);
        m_image.setLeft(double(m_frameWidth) * (-0.1) / 2 + double(m_image.Left()) * 1.1);
        m_image.setTop(double(m_frameHeight) * (-0.1) / 2 + double(m_image.Top()) * 1.1);
        LayoutScrollBars();
        ShowViewReadout();
        m_image.Visible = true;
    } else {
        m_fields.ZoomFactor = float(double(z) / 1.1);
    }
}

void ViewModel::ZoomOut()
{
    const float z = float(double(m_fields.ZoomFactor) / 1.1);
    if (z < MinZoom)
        return; // refused silently; factor and image stay as they are
    m_fields.ZoomFactor = z;
    m_image.Stretch = true;
    m_image.Visible = false;
    m_image.setWidth(double(m_image.Width()) / 1.1);
    m_image.setHeight(double(m_image.Height()) / 1.1);
    m_image.setLeft(double(m_frameWidth) / 22 + double(m_image.Left()) / 1.1);
    m_image.setTop(double(m_frameHeight) / 22 + double(m_image.Top()) / 1.1);
    LayoutScrollBars();
    ShowViewReadout();
    m_image.Visible = true;
}

void ViewModel::ZoomToFit()
{
    if (m_fields.NaturalWidth <= 0 || m_fields.NaturalHeight <= 0)
        return; // no picture: nothing to fit, and the factor must not become infinite
    m_image.Visible = false;
    m_image.Stretch = true;
    const double rx = double(m_frameWidth) / m_fields.NaturalWidth;
    const double ry = double(m_frameHeight) / m_fields.NaturalHeight;
    m_fields.ZoomFactor = float(MinOf(rx, ry));
    m_image.setWidth(double(m_fields.ZoomFactor) * m_fields.NaturalWidth);
    m_image.setHeight(double(m_fields.ZoomFactor) * m_fields.NaturalHeight);
    m_image.setLeft((double(m_frameWidth) - double(m_image.Width())) / 2);
    m_image.setTop((double(m_frameHeight) - double(m_image.Height())) / 2);
    LayoutScrollBars();
    ShowViewReadout();
    m_image.Visible = true;
}

void ViewModel::HScroll1_Change()
{
    m_image.setLeft(float(m_frameWidth - m_image.Width()) * (double(m_h.Value()) / ScrollBarModel::Max));
    ShowViewReadout();
}

void ViewModel::VScroll1_Change()
{
    m_image.setTop(float(m_frameHeight - m_image.Height()) * (double(m_v.Value()) / ScrollBarModel::Max));
    LayoutScrollBars();
    ShowViewReadout();
}

void ViewModel::LayoutScrollBars()
{
    // The far edges are taken once, on entry; the rest is read afresh for each bar, because setting the
    // horizontal bar's position may already have moved the image.
    const float right = m_image.Left() + m_image.Width();
    const float bottom = m_image.Top() + m_image.Height();
    layoutAxis(m_h, {m_image.Left(), m_image.Width(), m_frameWidth, right});
    layoutAxis(m_v, {m_image.Top(), m_image.Height(), m_frameHeight, bottom});
}

void ViewModel::layoutAxis(ScrollBarModel& bar, const Axis& a)
{
    constexpr float M = ScrollBarModel::Max;
    // Page sizes in single precision, capped before rounding; a page that rounds to 0 becomes 1, the
    // smallest the bar accepts.
    auto setPage = [&bar](float page) {
        const int16_t p = RoundToInt16(MinOf(int16_t(32767), page));
        bar.setLargeChange(p < 1 ? int16_t(1) : p);
    };
    const float N = a.near, Z = a.size, S = a.view, F = a.far;
    if (F < 0) { // wholly before the viewport: the smallest thumb, at the end that brings it back
        setPage(1);
        bar.setValue(ScrollBarModel::Max);
        bar.setVisible(true);
    } else if (N < 0 && F <= S) { // overflows before
        setPage(M * F / (-N));
        bar.setValue(ScrollBarModel::Max);
        bar.setVisible(true);
    } else if (N >= 0 && N < S && F <= S) { // fits
        bar.setVisible(false);
    } else if (N >= 0 && N < S && F > S) { // overflows after
        const float f = (S - N) / Z;
        setPage(M * f / (1 - f));
        bar.setValue(0);
        bar.setVisible(true);
    } else if (N >= S) { // wholly after
        setPage(1);
        bar.setValue(0);
        bar.setVisible(true);
    } else { // overflows both ways
        setPage(M * S / (Z - S));
        bar.setValue(RoundToInt16(-N * M / (Z - S)));
        bar.setVisible(true);
    }
}

QString ViewModel::ZoomReadoutText(float factor, const QString& sep)
{
    // The factor's 7-digit text, then two decimals rounded half away from zero as the "#0.00" format
    // does with that text. The nudge cannot cross a rounding step: the 7-digit text of a factor below
    // 100 has at most five decimals.
    char buf[32];
    std::snprintf(buf, sizeof buf, "%.7G", double(factor));
    const double shown = std::strtod(buf, nullptr);
    const double hundredths = std::floor(std::fabs(shown) * 100 + 0.5 + 1e-7);
    return FixedNumber(std::copysign(hundredths / 100, shown), 2, sep) + QStringLiteral(":1");
}

void ViewModel::ShowViewReadout()
{
    m_caption = ZoomReadoutText(m_fields.ZoomFactor, m_sep);
}
