#pragma once

#include <QImage>
#include <QSize>

// Memory for decoded pictures. Big pictures get a mapping of their own, aligned to huge pages, which a
// thread beside the decoder maps in ahead of it (populate), so that the decoder itself takes no page
// faults.
class PictureBuffer
{
public:
    // The kind of pages a picture's memory is mapped in with. Plain 4 KiB pages: over eight rounds of
    // fresh-process loads on the 2-core build machine, the median load took 1.18 and 1.07 times the plain
    // JPEG decode (100 and 250 MP) in plain pages, against 1.21 and 1.10 in huge pages, which are cheap only
    // when the kernel has free 2 MiB blocks at hand: when it must first compact memory they cost up to 3.8
    // times as much (555 against 147 ms for 400 MiB). Huge pages stay, for measuring.
    enum class Pages { Plain, Huge };
    static void setPages(Pages pages); // for measuring one kind against the other
    static Pages pages();

    // A picture of `size` in a 32-bit `format`, uninitialised; null when the memory cannot be had.
    static QImage allocate(QSize size, QImage::Format format);
    // Has the kernel map the memory of `length` bytes from `start` now, so that whoever writes there
    // later takes no page faults. Does nothing where the kernel cannot (before Linux 5.14).
    static void populate(const uchar* start, qsizetype length);

    static constexpr qsizetype hugePageBytes = qsizetype(2) << 20;
};
