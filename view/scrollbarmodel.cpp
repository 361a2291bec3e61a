#include "scrollbarmodel.h"

#include <algorithm>

void ScrollBarModel::setValue(int16_t v)
{
    v = std::clamp(v, Min, Max);
    if (v == m_value)
        return;
    m_value = v;
    if (m_change)
        m_change();
}
