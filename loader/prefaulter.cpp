#include "prefaulter.h"

#include "picturebuffer.h"

#include <algorithm>
#include <chrono>
#include <sys/resource.h>
#include <unistd.h>

void Prefaulter::waitForDecoder(qsizetype at) const
{
    while (m_decoded && !m_quit && at > m_decoded->load(std::memory_order_relaxed) + ahead)
        std::this_thread::sleep_for(std::chrono::microseconds(500));
}

void YieldToDecoder()
{
    // Once a thread: a helper pool's thread runs many bands.
    static thread_local bool lowered = false;
    if (!lowered)
        lowered = setpriority(PRIO_PROCESS, pid_t(gettid()), 10) == 0;
}

void Prefaulter::run()
{
    YieldToDecoder();
    const Span& picture = m_spans[0];
    qsizetype at = 0;
    // The copies are filled in step with the picture, so each is mapped in the same proportion.
    std::vector<qsizetype> copyAt(m_spans.size(), 0);
    while (at < picture.length && !m_quit) {
        waitForDecoder(at);
        const qsizetype length = std::min(step, picture.length - at);
        populate(picture, at, length);
        at += length;
        for (size_t i = 1; i < m_spans.size(); ++i) {
            const qsizetype to = qsizetype(double(m_spans[i].length) * double(at) / double(picture.length));
            populate(m_spans[i], copyAt[i], to - copyAt[i]);
            copyAt[i] = to;
        }
    }
    // What rounding left of the copies; all of them when the reader makes a picture of its own.
    for (size_t i = 1; i < m_spans.size() && !m_quit; ++i)
        populate(m_spans[i], copyAt[i], m_spans[i].length - copyAt[i]);
}

void Prefaulter::populate(const Span& span, qsizetype at, qsizetype length) const
{
    PictureBuffer::populate(span.start + (m_fromEnd ? span.length - at - length : at), length);
}
