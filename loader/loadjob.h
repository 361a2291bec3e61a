#pragma once

#include "loadlimits.h"
#include "mappicture.h"

#include <QString>
#include <atomic>
#include <functional>

// One load of one map file, run on the calling thread with one helper thread beside it. JPEG files are
// decoded here, band by band, into the program's own buffer while the helper shrinks finished bands
// (and first makes a reduced preview); other kinds go through Qt's readers, then both threads shrink.
class LoadJob
{
public:
    struct Hooks {
        std::function<void(int percent)> progress;          // from the calling thread, rising, ends at 100
        std::function<void(MapPicturePtr reduced)> preview; // from the helper thread, at most once
        const std::atomic<bool>* stop = nullptr;            // set by the owner to abandon the load
        qint64 previewFromPixels = 0; // JPEG pictures with at least this many pixels get a preview
    };

    static MapPicturePtr run(const QString& path, const LoadLimits& limits, const Hooks& hooks,
                             QString* error);

    static constexpr int previewDivisor = 8;
};
