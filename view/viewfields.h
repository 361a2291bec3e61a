#pragma once

#include <cstdint>

// The main window's view fields. They belong to the main window form and outlive its widgets, which are
// rebuilt for every map; each load sets them anew.
struct ViewFields {
    float ZoomFactor = 0.0f;   // displayed size / natural size; 0 until the first load
    int32_t NaturalWidth = 0;  // twips, the picture at its own size
    int32_t NaturalHeight = 0; // twips
};
