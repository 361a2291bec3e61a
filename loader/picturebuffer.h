#pragma once

#include <QImage>
#include <QSize>

// Memory for decoded pictures. Big pictures get a mapping of their own, which a thread beside the decoder
// maps in ahead of it (populate), so that the decoder itself takes no page faults.
class PictureBuffer
{
public:
    // The kind of pages big pictures ask the kernel for: plain 4 KiB pages by default (bench_loader
    // compares both in fresh processes).
    enum class Pages { Plain, Huge };
    static void setPages(Pages pages);
    static Pages pages();

    // A picture of `size` in a 32-bit `format`, uninitialised; null when the memory cannot be had.
    static QImage allocate(QSize size, QImage::Format format);
    // Has the kernel map the memory of `length` bytes from `start` now, so that whoever writes there
    // later takes no page faults; a thread beside the decoder does this ahead of it. Does nothing where
    // the kernel cannot (before Linux 5.14).
    static void populate(const uchar* start, qsizetype length);
    // Bytes of picture memory handed out so far in this process (never decreases).
    static qint64 totalAllocated();
};
