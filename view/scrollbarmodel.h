#pragma once

#include <cstdint>
#include <functional>

// A scroll bar's settings: Min 0, Max 100, the position Value, the page size LargeChange and Visible.
// The change handler runs exactly when Value changes, whether the user or the program set it; assigning
// the current value raises nothing.
class ScrollBarModel
{
public:
    static constexpr int16_t Min = 0;
    static constexpr int16_t Max = 100;
    static constexpr int16_t SmallChange = 1; // the arrow step

    int16_t Value() const { return m_value; }
    int16_t LargeChange() const { return m_largeChange; }
    bool Visible() const { return m_visible; }

    void setValue(int16_t v);
    void setLargeChange(int16_t v) { m_largeChange = v; }
    void setVisible(bool v) { m_visible = v; }

    void setChangeHandler(std::function<void()> handler) { m_change = std::move(handler); }

private:
    int16_t m_value = 0;
    int16_t m_largeChange = 1;
    bool m_visible = true; // both bars are shown until the first layout
    std::function<void()> m_change;
};
