#include "picturebuffer.h"

#include <atomic>
#include <sys/mman.h>

namespace
{

std::atomic<qint64> allocatedBytes{0};
std::atomic<PictureBuffer::Pages> pageKind{PictureBuffer::Pages::Plain};

constexpr qsizetype hugePage = qsizetype(2) << 20; // bytes
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
        QImage img(size, format);
        if (!img.isNull())
            allocatedBytes += img.sizeInBytes();
        return img;
    }
    const size_t length = size_t((bytes + hugePage - 1) / hugePage * hugePage);
    void* address = mmap(nullptr, length, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (address == MAP_FAILED)
        return {};
    // Said either way, so that a system set to give every mapping huge pages does not override it.
    madvise(address, length, pageKind == Pages::Huge ? MADV_HUGEPAGE : MADV_NOHUGEPAGE);
    allocatedBytes += qint64(length);
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

qint64 PictureBuffer::totalAllocated()
{
    return allocatedBytes.load();
}
