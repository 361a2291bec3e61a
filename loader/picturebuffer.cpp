#include "picturebuffer.h"

#include <atomic>
#include <sys/mman.h>

namespace
{

std::atomic<PictureBuffer::Pages> pageKind{PictureBuffer::Pages::Plain};

constexpr qsizetype hugePage = PictureBuffer::hugePageBytes;
constexpr qsizetype ownMappingFrom = qsizetype(8) << 20;

struct Mapping {
    void* address;
    size_t length;
};

void unmap(void* info)
{
    auto* m = static_cast<Mapping*>(info);
    munmap(m->address, m->length);
    delete m;
}

} // namespace

void PictureBuffer::setPages(Pages pages)
{
    pageKind = pages;
}

PictureBuffer::Pages PictureBuffer::pages()
{
    return pageKind;
}

QImage PictureBuffer::allocate(QSize size, QImage::Format format)
{
    if (size.isEmpty())
        return {};
    const qsizetype stride = qsizetype(size.width()) * 4;
    const qsizetype bytes = stride * size.height();
    if (bytes < ownMappingFrom) {
        return QImage(size, format);
    }
    // Aligned to huge pages, so that each 2 MiB of the picture can be one when that kind is chosen.
    const size_t length = size_t((bytes + hugePage - 1) / hugePage * hugePage);
    const size_t spare = size_t(hugePage);
    void* mapped = mmap(nullptr, length + spare, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (mapped == MAP_FAILED)
        return {};
    const quintptr start = reinterpret_cast<quintptr>(mapped);
    const quintptr aligned = (start + quintptr(hugePage) - 1) & ~quintptr(hugePage - 1);
    if (aligned > start)
        munmap(mapped, aligned - start);
    if (start + spare > aligned)
        munmap(reinterpret_cast<void*>(aligned + length), start + spare - aligned);
    void* address = reinterpret_cast<void*>(aligned);
    madvise(address, length, pageKind == Pages::Huge ? MADV_HUGEPAGE : MADV_NOHUGEPAGE);
    return QImage(static_cast<uchar*>(address), size.width(), size.height(), stride, format, unmap,
                  new Mapping{address, length});
}

void PictureBuffer::populate(const uchar* start, qsizetype length)
{
#ifdef MADV_POPULATE_WRITE
    constexpr quintptr page = 4096;
    const quintptr first = reinterpret_cast<quintptr>(start) & ~(page - 1);
    const quintptr end = reinterpret_cast<quintptr>(start) + quintptr(length);
    if (length > 0)
        madvise(reinterpret_cast<void*>(first), end - first, MADV_POPULATE_WRITE);
#else
    Q_UNUSED(start);
    Q_UNUSED(length);
#endif
}
