#pragma once

#include "levelbuilder.h"
#include "loadprogress.h"

#include <QImage>
#include <algorithm>

// Tells the hooks which rows of the sketch each finished band has filled.
class Sketch
{
public:
    // The sketch is the smallest of the shrunk copies with a side of more than this many pixels.
    static constexpr int side = 256;

    Sketch(const LevelBuilder& levels, const LoadHooks& hooks) : m_levels(levels), m_hooks(hooks)
    {
        const std::vector<QImage>& copies = levels.levels();
        for (size_t k = 0; k < copies.size(); ++k)
            if (k == 0 || std::max(copies[k].width(), copies[k].height()) > side)
                m_level = k;
        if (m_level < copies.size())
            m_image = copies[m_level];
    }
    void bandDone(int band) const
    {
        if (m_image.isNull() || !m_hooks.sketchRows)
            return;
        const auto [first, end] = m_levels.levelRows(m_level, band);
        if (first < end)
            m_hooks.sketchRows(m_image, first, end);
    }

private:
    const LevelBuilder& m_levels;
    const LoadHooks& m_hooks;
    size_t m_level = 0;
    QImage m_image; // shares the copy's memory; only read
};
