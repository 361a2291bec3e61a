#pragma once

#include "mappicture.h"

#include <QImage>
#include <QString>
#include <algorithm>
#include <atomic>
#include <functional>

// What a load tells its owner as it goes, and how the owner stops it.
struct LoadHooks {
    std::function<void(int percent)> progress; // from the loading thread, rising, ends at 100
    // Rows [first, end) of `sketch`, a small shrunk copy of the map (see Sketch), are finished and stay as
    // they are; the rest are being written. From whichever thread shrank them.
    std::function<void(const QImage& sketch, int first, int end)> sketchRows;
    const std::atomic<bool>* stop = nullptr; // set by the owner to abandon the load
};

// Passes on only rising whole percentages, so the receiver's queue stays short.
class Progress
{
public:
    explicit Progress(const LoadHooks& hooks) : m_hooks(hooks) {}
    void report(int percent)
    {
        percent = std::clamp(percent, 0, 100);
        if (percent <= m_last)
            return;
        m_last = percent;
        if (m_hooks.progress)
            m_hooks.progress(percent);
    }
    bool stopped() const { return m_hooks.stop && m_hooks.stop->load(std::memory_order_relaxed); }

private:
    const LoadHooks& m_hooks;
    int m_last = -1;
};

// Says why a load failed, in the user's words: `return fail(text);` gives the null picture.
struct Failure {
    QString* error;
    MapPicturePtr operator()(const QString& text) const
    {
        if (error)
            *error = text;
        return nullptr;
    }
};

// Decoding reaches these percentages; shrinking the last bands takes the rest.
constexpr int directDecodedPercent = 97;
constexpr int qtDecodedPercent = 85;
