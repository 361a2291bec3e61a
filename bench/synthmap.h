#pragma once

#include <QImage>
#include <QSize>

// A picture that looks to a decoder like a scanned topographic sheet: paper tint with a gradient and
// scanner noise, a kilometre grid, contour lines, roads, rivers and text labels. Flat colour would
// compress unrealistically well, so every pixel carries some noise. Same seed, same picture.
QImage makeSyntheticMap(QSize size, quint32 seed);

// Writes `image` as a GIF (one frame, 256-colour fixed palette, LZW), since Qt can read GIF but not
// write it. Returns false when the file cannot be written.
bool writeGif(const QImage& image, const QString& path);
