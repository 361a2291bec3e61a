#pragma once

#include <cstdint>

// Where the viewport and its scroll bars go in a window of width W and height H twips, the height counted
// with 600 twips of title and menu bar above the client area. Frame1 stands at left 120, top 600; the bars
// are 252 twips thick and stand 30 twips clear of it. Checked 32-bit arithmetic (OverflowError).
struct ScreenFitLayout {
    int32_t VScrollLeft = 0;   // W - 252
    int32_t VScrollHeight = 0; // H - 1482
    int32_t HScrollTop = 0;    // H - 852
    int32_t HScrollWidth = 0;  // W - 402
    int32_t FrameWidth = 0;    // W - 402
    int32_t FrameHeight = 0;   // H - 1482
};

constexpr int32_t FrameLeft = 120;        // twips
constexpr int32_t FrameTop = 600;         // twips, at the toolbar strip's lower edge
constexpr int32_t BarThickness = 252;     // twips
constexpr int32_t CaptionAllowance = 600; // twips of title and menu bar inside a maximized window's height

ScreenFitLayout FitToScreenLayout(int32_t W, int32_t H);
