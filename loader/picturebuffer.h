#pragma once

#include <QImage>
#include <QSize>

// Memory for decoded pictures. Big pictures get their own mapping with transparent huge pages asked
// for: the decoder then takes one page fault per 2 MiB instead of one per 4 KiB, which on this kind of
// machine is a large part of what a plain load spends.
class PictureBuffer
{
public:
    // A picture of `size` in a 32-bit `format`, uninitialised; null when the memory cannot be had.
    static QImage allocate(QSize size, QImage::Format format);
    // Has the kernel map the memory of `length` bytes from `start` now, so that whoever writes there
    // later takes no page faults; a thread beside the decoder does this ahead of it. Does nothing where
    // the kernel cannot (before Linux 5.14).
    static void populate(const uchar* start, qsizetype length);
    // Bytes of picture memory handed out so far in this process (never decreases).
    static qint64 totalAllocated();
};
