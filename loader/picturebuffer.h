#pragma once

#include <QImage>
#include <QSize>

// Memory for decoded pictures. Big pictures get a mapping of their own, aligned to huge pages, which a
// thread beside the decoder maps in ahead of it (populate), so that the decoder itself takes no page
// faults.
class PictureBuffer
{
public:
    // The kind of pages a picture's memory is mapped in with. Neither wins everywhere: on the 2-core build
    // machine, in fresh processes, mapping 400 MiB in took 105 to 143 ms in huge pages against 131 to
    // 174 ms in plain 4 KiB pages on one day (and a decode into huge pages used an eighth less processor
    // time), while on another the huge pages cost 3.8 times as much (555 against 147 ms): they are cheap
    // when the kernel has free 2 MiB blocks at hand and dear when it must first compact memory for them.
    // So by default (Probe) the mapping thread maps a few chunks each way at the start of every load and
    // keeps the faster kind for the rest; it loses nothing by it, as those chunks are needed anyway.
    enum class Pages { Probe, Plain, Huge };
    static void setPages(Pages pages); // for measuring one kind against the other
    static Pages pages();

    // A picture of `size` in a 32-bit `format`, uninitialised; null when the memory cannot be had.
    static QImage allocate(QSize size, QImage::Format format);
    // Asks for `kind` of pages (Plain or Huge) for the memory of a big picture from `start`, `length`
    // bytes, before it is mapped in; memory not of a picture's own mapping is left alone.
    static void choose(const uchar* start, qsizetype length, Pages kind);
    // Has the kernel map the memory of `length` bytes from `start` now, so that whoever writes there
    // later takes no page faults. Does nothing where the kernel cannot (before Linux 5.14).
    static void populate(const uchar* start, qsizetype length);
    // Bytes of picture memory handed out so far in this process (never decreases).
    static qint64 totalAllocated();

    static constexpr qsizetype hugePageBytes = qsizetype(2) << 20;
};
