#pragma once

#include "loadlimits.h"
#include "mappicture.h"

#include <QString>
#include <atomic>
#include <QImage>
#include <functional>

// One load of one map file, run on the calling thread with helper threads beside it. JPEG and most TIFF
// files are decoded here, band by band, into the program's own buffer while one helper shrinks finished
// bands and another maps memory in ahead of the decoder; other kinds go through Qt's readers, then both
// threads shrink.
class LoadJob
{
public:
    struct Hooks {
        std::function<void(int percent)> progress;          // from the calling thread, rising, ends at 100
        // Rows [first, end) of `sketch`, a small shrunk copy of the map (see sketchOf), are finished and
        // stay as they are; the rest are being written. From whichever thread shrank them.
        std::function<void(const QImage& sketch, int first, int end)> sketchRows;
        const std::atomic<bool>* stop = nullptr; // set by the owner to abandon the load
    };

    static MapPicturePtr run(const QString& path, const LoadLimits& limits, const Hooks& hooks,
                             QString* error);

    // Which of the shrunk copies is the sketch: the smallest with a side of more than this many pixels.
    static constexpr int sketchSide = 256;
};
