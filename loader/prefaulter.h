#pragma once

#include "levelbuilder.h"

#include <QImage>
#include <atomic>
#include <thread>
#include <vector>

// Lowers the calling thread's priority below the decoder's: a helper beside the decoder (mapping memory in,
// shrinking bands) must not take its core. On a 2-core machine helpers of equal priority did often enough
// to make a 100 MP load a fifth slower; once lowered they still keep up, on the other core.
void YieldToDecoder();

// Maps the memory of the picture and its copies in, a chunk at a time, on a thread of its own, so that
// the decoder and the shrinking find it ready rather than take the page faults themselves. When told how
// far the decoder has got, it keeps only a little ahead of it: fresh pages are zeroed by the kernel, and
// zeroing the whole picture at once filled the memory bus and slowed the decoder on the other core,
// where pages zeroed just before the decoder writes them are still in the cache.
class Prefaulter
{
public:
    // Takes the addresses now, on the calling thread: a reader that replaces the picture it was given
    // then leaves this thread mapping memory nobody uses, which is harmless.
    // `decoded`: how many bytes of the picture the decoder has written. `fromEnd`: the decoder starts at
    // the picture's last row.
    Prefaulter(const QImage& full, const LevelBuilder& levels,
               const std::atomic<qsizetype>* decoded = nullptr, bool fromEnd = false)
        : m_decoded(decoded), m_fromEnd(fromEnd)
    {
        m_spans.push_back({full.constBits(), full.sizeInBytes()});
        for (const QImage& level : levels.levels())
            m_spans.push_back({level.constBits(), level.sizeInBytes()});
        m_thread = std::thread([this] { run(); });
    }
    ~Prefaulter() { finish(); }
    void finish()
    {
        m_quit = true;
        if (m_thread.joinable())
            m_thread.join();
    }

private:
    struct Span {
        const uchar* start;
        qsizetype length;
    };
    // How far ahead of the decoder, and in what steps: the fastest of those tried on a 2-core machine
    // (4 to 32 MiB ahead, steps of 1 to 8 MiB, against the whole picture at once).
    static constexpr qsizetype ahead = qsizetype(16) << 20;
    static constexpr qsizetype step = qsizetype(4) << 20;

    // Waits until the decoder is within `ahead` bytes of `at` in the picture.
    void waitForDecoder(qsizetype at) const;
    void run();

    // `length` bytes of `span`, `at` bytes from where the decoder starts.
    void populate(const Span& span, qsizetype at, qsizetype length) const;

    std::vector<Span> m_spans;
    const std::atomic<qsizetype>* m_decoded;
    bool m_fromEnd;
    std::atomic<bool> m_quit{false};
    std::thread m_thread;
};
