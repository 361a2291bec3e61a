#pragma once

#include <QImage>

// A picture that looks like a scanned topographic sheet: paper tint with a slow gradient and scanner
// noise, contour lines, a grid, roads, rivers and names. Deterministic for a given size and seed.
QImage GenerateScannedMap(int width, int height, quint32 seed = 1);
